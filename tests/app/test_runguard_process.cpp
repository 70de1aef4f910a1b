// The single-instance behaviour of the built executable: a second start pokes the running one
// with one byte and exits 0; a start after the running one was killed runs; the command line.
// Every run gets its own temporary folder, data folder, home and instance name.
#include "app/InstanceSignal.h"
#include "app/RunGuard.h"
#include "app/Settings.h"

#include "common/qt_wait.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUuid>
#include <gtest/gtest.h>

#include <memory>

namespace {

QString executablePath()
{
    const QString fromEnv = qEnvironmentVariable("ORVIXTOOLS_EXE");
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../orvixtools"));
}

class InstanceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        for (const char* sub : {"tmp", "data", "home", "config", "cache", "runtime"})
            ASSERT_TRUE(QDir(root.path()).mkdir(QString::fromLatin1(sub)));
        QFile::setPermissions(root.filePath(QStringLiteral("runtime")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        name = QStringLiteral("OrvixToolsTest-") + QUuid::createUuid().toString(QUuid::Id128);

        env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), root.filePath(QStringLiteral("tmp")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), root.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("HOME"), root.filePath(QStringLiteral("home")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), root.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), root.filePath(QStringLiteral("cache")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), root.filePath(QStringLiteral("runtime")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("ORVIXTOOLS_INSTANCE_NAME"), name);
        // In a sanitizer build the font and platform libraries keep allocations to process exit;
        // leak checking the children would only change their exit codes. This process is checked.
        const QString asan = env.value(QStringLiteral("ASAN_OPTIONS"));
        env.insert(QStringLiteral("ASAN_OPTIONS"), asan + (asan.isEmpty() ? "" : ":") + QStringLiteral("detect_leaks=0"));

        // This process shares the children's temporary folder, so that its own guard and
        // server meet theirs.
        savedTmp = qgetenv("TMPDIR");
        hadTmp = qEnvironmentVariableIsSet("TMPDIR");
        qputenv("TMPDIR", root.filePath(QStringLiteral("tmp")).toLocal8Bit());
        savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        hadRuntime = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", root.filePath(QStringLiteral("runtime")).toLocal8Bit());

        exe = executablePath();
        ASSERT_TRUE(QFileInfo(exe).isExecutable()) << "build the orvixtools target first: " << exe.toStdString();
    }

    void TearDown() override
    {
        for (auto& process : processes) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(testutil::scaled(3000));
            }
        }
        processes.clear();
        if (hadRuntime)
            qputenv("XDG_RUNTIME_DIR", savedRuntime);
        else
            qunsetenv("XDG_RUNTIME_DIR");
        if (hadTmp)
            qputenv("TMPDIR", savedTmp);
        else
            qunsetenv("TMPDIR");
    }

    QProcess* launch(const QStringList& args = {})
    {
        processes.push_back(std::make_unique<QProcess>());
        QProcess* process = processes.back().get();
        process->setProcessEnvironment(env);
        process->start(exe, args);
        return process;
    }

    // Runs the executable to its end; returns false when it did not end within timeoutMs.
    bool runToEnd(QProcess* process, int timeoutMs = 5000)
    {
        return testutil::waitUntil([process] { return process->state() == QProcess::NotRunning; }, timeoutMs);
    }

    // Waits until the process runs as the instance: its single-instance server answers.
    bool waitUntilListening(QProcess* process, int timeoutMs = 5000)
    {
        return testutil::waitUntil([&] {
            if (process->state() != QProcess::Running)
                return false;
            QLocalSocket socket;
            socket.connectToServer(InstanceSignal::socketPath(name));
            return socket.waitForConnected(50);
        }, timeoutMs) && process->state() == QProcess::Running;
    }

    // What the next client to connect sends before it disconnects; empty when none comes.
    static QByteArray receiveOne(QLocalServer& server)
    {
        QLocalSocket* client = nullptr;
        QByteArray received;
        const bool ended = testutil::waitUntil([&] {
            if (!client)
                client = server.nextPendingConnection();
            if (client)
                received += client->readAll();
            return client && client->state() == QLocalSocket::UnconnectedState;
        });
        if (ended)
            received += client->readAll();
        return ended ? received : QByteArray();
    }

    QTemporaryDir root;
    QString name;
    QString exe;
    QProcessEnvironment env;
    QByteArray savedTmp;
    bool hadTmp = false;
    QByteArray savedRuntime;
    bool hadRuntime = false;
    std::vector<std::unique_ptr<QProcess>> processes;
};

TEST_F(InstanceTest, ServerListensForThisUserOnlyAndReplacesAStaleSocket)
{
    // A file left where the socket belongs, as a crashed instance leaves it.
    const QString socketPath = InstanceSignal::socketPath(name);
    EXPECT_EQ(socketPath, QDir(root.filePath(QStringLiteral("runtime"))).filePath(name));
    {
        QFile stale(socketPath);
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    }
    QLocalServer server;
    ASSERT_TRUE(InstanceSignal::listen(server, name));
    const QFileInfo info(socketPath);
    EXPECT_EQ(info.permissions() & (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
                                    | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther),
              QFileDevice::Permissions());

    // The sending side: exactly one byte 0x01.
    EXPECT_TRUE(InstanceSignal::send(name));
    EXPECT_EQ(receiveOne(server), QByteArray(1, '\x01'));
}

TEST_F(InstanceTest, SendingToNoServerFailsQuickly)
{
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(InstanceSignal::send(name));
    EXPECT_LT(timer.elapsed(), testutil::scaled(1000));
}

TEST_F(InstanceTest, SecondStartWhileTheFirstIsStillStartingIsHeard)
{
    // This process plays an instance that has won the guard but is not listening yet.
    RunGuard guard(name);
    ASSERT_TRUE(guard.tryToRun());
    QProcess* second = launch();
    QByteArray errors;
    ASSERT_TRUE(testutil::waitUntil([&] {
        errors += second->readAllStandardError();
        return errors.contains("OrvixTools already running, exiting ...");
    }));

    QLocalServer server;
    ASSERT_TRUE(InstanceSignal::listen(server, name));
    EXPECT_EQ(receiveOne(server), QByteArray(1, '\x01'));
    ASSERT_TRUE(runToEnd(second));
    EXPECT_EQ(second->exitCode(), 0);
}

// A start while the running copy quits: its signal is taken but not acted on; once the guard
// falls free, this start runs in the quitting copy's place.
TEST_F(InstanceTest, SecondStartWhileTheRunningCopyQuitsRunsOnceItHasGone)
{
    auto guard = std::make_unique<RunGuard>(name);
    ASSERT_TRUE(guard->tryToRun());
    auto server = std::make_unique<QLocalServer>();
    ASSERT_TRUE(InstanceSignal::listen(*server, name));
    QProcess* second = launch();
    QByteArray errors;
    ASSERT_TRUE(testutil::waitUntil([&] {
        errors += second->readAllStandardError();
        return errors.contains("OrvixTools already running, exiting ...");
    }));
    // The byte reaches a copy whose event loop has ended: nobody takes the connection.
    ASSERT_TRUE(testutil::waitUntil([&] { return server->hasPendingConnections(); }));
    server.reset();
    guard.reset();
    EXPECT_TRUE(waitUntilListening(second)) << "the start was lost";
}

TEST_F(InstanceTest, SecondStartSendsOneByteAndExitsZero)
{
    // This process plays the running instance.
    RunGuard guard(name);
    ASSERT_TRUE(guard.tryToRun());
    QLocalServer server;
    ASSERT_TRUE(InstanceSignal::listen(server, name));
    QList<QLocalSocket*> clients;
    QByteArray received;
    QObject::connect(&server, &QLocalServer::newConnection, [&] {
        while (QLocalSocket* c = server.nextPendingConnection())
            clients.append(c);
    });

    QProcess* second = launch();
    ASSERT_TRUE(runToEnd(second));
    testutil::waitUntil([&] {
        for (QLocalSocket* c : clients)
            received += c->readAll();
        return !clients.isEmpty() && clients.first()->state() == QLocalSocket::UnconnectedState;
    }, 2000);
    for (QLocalSocket* c : clients)
        received += c->readAll();

    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(clients.size(), 1);
    EXPECT_EQ(received, QByteArray(1, '\x01'));
    EXPECT_TRUE(second->readAllStandardError().contains("OrvixTools already running, exiting ..."));
    // The second instance writes no log file.
    EXPECT_FALSE(QFileInfo::exists(root.filePath(QStringLiteral("data/hu.brixeon.orvixtools/logs"))));
}

TEST_F(InstanceTest, SecondStartWithNobodyListeningStillExitsZero)
{
    RunGuard guard(name);
    ASSERT_TRUE(guard.tryToRun());
    QProcess* second = launch();
    // It asks for the running copy's server for three seconds before it gives up.
    ASSERT_TRUE(runToEnd(second, 8000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
}

TEST_F(InstanceTest, NoPrivateFolderOrAGuardNobodyHoldsIsAFailureNotASecondStart)
{
    // A folder at the guard's name: no copy holds it, and none can.
    const QString guardFile = RunGuard(name).guardFile();
    ASSERT_FALSE(guardFile.isEmpty());
    ASSERT_TRUE(QDir().mkpath(guardFile));
    QProcess* blocked = launch();
    ASSERT_TRUE(runToEnd(blocked));
    EXPECT_EQ(blocked->exitCode(), 1);
    QByteArray err = blocked->readAllStandardError();
    EXPECT_TRUE(err.contains("single-instance guard")) << err.toStdString();
    EXPECT_FALSE(err.contains("already running")) << err.toStdString();

    // Every candidate lies under a plain file: none can be made.
    const QString file = root.filePath(QStringLiteral("plain"));
    QFile plain(file);
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    for (const char* variable : { "XDG_RUNTIME_DIR", "TMPDIR", "XDG_CACHE_HOME" })
        env.insert(QString::fromLatin1(variable), file + QStringLiteral("/sub"));
    QProcess* start = launch();
    ASSERT_TRUE(runToEnd(start));
    EXPECT_EQ(start->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(start->exitCode(), 1);
    err = start->readAllStandardError();
    EXPECT_TRUE(err.contains("no private folder could be had")) << err.toStdString();
    EXPECT_FALSE(err.contains("already running")) << err.toStdString();
}

TEST_F(InstanceTest, RestartAfterTheFirstWasKilled)
{
    QProcess* first = launch();
    ASSERT_TRUE(waitUntilListening(first));
    first->kill();
    ASSERT_TRUE(first->waitForFinished(testutil::scaled(3000)));
    // The killed instance left its segment and its socket file behind.
    ASSERT_TRUE(QFileInfo::exists(InstanceSignal::socketPath(name)));

    QProcess* next = launch();
    ASSERT_TRUE(waitUntilListening(next));

    // A further start reaches it and ends with 0.
    QProcess* poke = launch();
    ASSERT_TRUE(runToEnd(poke));
    EXPECT_EQ(poke->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(poke->exitCode(), 0);
    EXPECT_EQ(next->state(), QProcess::Running);

    // A quit request ends it cleanly, and the guard is free again.
    next->terminate();
    ASSERT_TRUE(runToEnd(next));
    EXPECT_EQ(next->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(next->exitCode(), 0);
    RunGuard after(name);
    EXPECT_TRUE(after.tryToRun());

    // The run logged to a file of its own in the data folder, in the log line format.
    const QDir logs(root.filePath(QStringLiteral("data/hu.brixeon.orvixtools/logs")));
    const QStringList files = logs.entryList({QStringLiteral("*.log")}, QDir::Files, QDir::Time);
    ASSERT_FALSE(files.isEmpty());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{6}_\\d{6}\\.log$")).match(files.first()).hasMatch())
        << files.first().toStdString();
    QFile log(logs.filePath(files.first()));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(log.readAll());
    EXPECT_TRUE(text.contains(QRegularExpression(
        QStringLiteral("(^|\\n)\\d\\d:\\d\\d:\\d\\d\\.\\d{3} \\[Info\\]: Quit requested by a signal\\n"))))
        << text.toStdString();
    // The skin and the style sheet were found in the executable's resources.
    EXPECT_FALSE(text.contains(QStringLiteral("Couldn't open"))) << text.toStdString();
}

// The end of a session (a quit signal) quits as the tray's Quit does: with a profile that leaves
// the zeroing to this application, the dongle gets its automatic zeroing back before the run
// ends, so that the head mouse keeps re-centring itself without the application.
TEST_F(InstanceTest, AQuitSignalGivesTheDongleItsAutomaticZeroingBackFirst)
{
    exe = QDir(QCoreApplication::applicationDirPath())
              .absoluteFilePath(QStringLiteral("../tools/devapp/orvixtools-dev"));
    ASSERT_TRUE(QFileInfo(exe).isExecutable()) << exe.toStdString();
    const QString settings = root.filePath(QStringLiteral("settings.ini"));
    {
        Settings s(settings, nullptr);
        s.selectedProfile()->setAutoZeroEnable(false);
        s.sync();
    }
    QProcess* app = launch({ QStringLiteral("--trace"), QStringLiteral("--settings"), settings });
    QByteArray out;
    auto read = [&] { out += app->readAllStandardOutput() + app->readAllStandardError(); };
    // The profile switched the dongle's automatic zeroing off.
    ASSERT_TRUE(testutil::waitUntil(
        [&] { return read(), out.contains("<- app") && out.contains("[12 00 00]"); }, 15000))
        << out.toStdString();
    app->terminate();
    ASSERT_TRUE(runToEnd(app, 10000));
    read();
    EXPECT_TRUE(out.contains("[12 00 01]")) << out.toStdString();
}

TEST_F(InstanceTest, CommandLine)
{
    QProcess* version = launch({QStringLiteral("--version")});
    ASSERT_TRUE(runToEnd(version));
    EXPECT_EQ(version->exitCode(), 0);
    EXPECT_TRUE(QString::fromLocal8Bit(version->readAllStandardOutput())
                    .contains(QRegularExpression(QStringLiteral("^OrvixTools \\d+\\.\\d+\\.\\d+\\n$"))));

    QProcess* help = launch({QStringLiteral("--help")});
    ASSERT_TRUE(runToEnd(help));
    EXPECT_EQ(help->exitCode(), 0);
    const QByteArray helpText = help->readAllStandardOutput();
    EXPECT_TRUE(helpText.contains("Orvix tools command line")) << helpText.toStdString();
    EXPECT_TRUE(helpText.contains("-t, --turbo")) << helpText.toStdString();
    EXPECT_TRUE(helpText.contains("Turn on turbo mode")) << helpText.toStdString();

    QProcess* wrong = launch({QStringLiteral("--no-such-option")});
    ASSERT_TRUE(runToEnd(wrong));
    EXPECT_NE(wrong->exitCode(), 0);
    EXPECT_TRUE(wrong->readAllStandardError().contains("Unknown option")) ;

    // Printing and exiting gives the guard up.
    RunGuard after(name);
    EXPECT_TRUE(after.tryToRun());
}

TEST_F(InstanceTest, HelpAndVersionWhileAnInstanceRunsAndWithoutADisplay)
{
    RunGuard guard(name);
    ASSERT_TRUE(guard.tryToRun());
    QLocalServer server;
    ASSERT_TRUE(InstanceSignal::listen(server, name));
    int connections = 0;
    QObject::connect(&server, &QLocalServer::newConnection, [&] {
        while (QLocalSocket* c = server.nextPendingConnection()) {
            ++connections;
            c->deleteLater();
        }
    });
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));

    QProcess* version = launch({QStringLiteral("-v")});
    QProcess* help = launch({QStringLiteral("-h")});
    ASSERT_TRUE(runToEnd(version));
    ASSERT_TRUE(runToEnd(help));
    EXPECT_EQ(version->exitCode(), 0);
    EXPECT_TRUE(version->readAllStandardOutput().startsWith("OrvixTools "));
    EXPECT_EQ(help->exitCode(), 0);
    EXPECT_TRUE(help->readAllStandardOutput().contains("Turn on turbo mode"));
    testutil::spin(50);
    // Neither poked the running instance.
    EXPECT_EQ(connections, 0);
}

TEST_F(InstanceTest, AClosedStandardOutputDoesNotEndTheApplication)
{
    // Standard output piped into a process that ends at once: a pipe without a reader.
    processes.push_back(std::make_unique<QProcess>());
    QProcess* run = processes.back().get();
    QProcess reader;
    run->setProcessEnvironment(env);
    run->setStandardOutputProcess(&reader);
    reader.start(QStringLiteral("true"), QStringList());
    run->start(exe, QStringList());
    ASSERT_TRUE(reader.waitForFinished(testutil::scaled(3000)));
    ASSERT_TRUE(waitUntilListening(run));
    // The quit request is logged to standard output.
    run->terminate();
    ASSERT_TRUE(runToEnd(run));
    EXPECT_EQ(run->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run->exitCode(), 0);
}

TEST_F(InstanceTest, TurboBothNames)
{
    for (const QString& option : {QStringLiteral("-t"), QStringLiteral("--turbo")}) {
        QProcess* run = launch({option});
        ASSERT_TRUE(waitUntilListening(run)) << option.toStdString();
        run->terminate();
        ASSERT_TRUE(runToEnd(run));
        EXPECT_EQ(run->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(run->exitCode(), 0);
    }
}

} // namespace
