// The software update against an in-process web service: version comparison and reading, the
// check and its question, postponing, the maintenance tool, the download with its progress
// window, a cancel and a failure, and the installer (script, rename, launch, refused names).
#include "FakeDirectorUi.h"
#include "common/private_runtime.h"
#include "common/qt_wait.h"
#include "support/HttpTestServer.h"

#include "app/ApiManager.h"
#include "app/DownloadTask.h"
#include "app/Installer.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace directortest;
using testsupport::HttpTestServer;
using testutil::spin;
using testutil::waitUntil;

namespace {

// Built when first used: the platform word is itself a static of another file.
QByteArray infoPath()
{
    return "/api/v1/software/ox/" + OrvixDirector::APP_DOWNLOAD_PLATFORM.toLatin1() + "/2.6/info";
}
QByteArray downloadPath()
{
    return "/api/v1/software/ox/" + OrvixDirector::APP_DOWNLOAD_PLATFORM.toLatin1() + "/2.6/download";
}

QJsonObject infoReply(int major, int minor, int fix, int build, const QString& installer)
{
    return QJsonObject{{"result", 1},
                       {"version", QJsonObject{{"major", major}, {"minor", minor}, {"fix", fix}, {"build", build}}},
                       {"release", QJsonObject{{"installer", installer}}}};
}

struct Launch {
    QString program;
    QStringList arguments;
};

// A director, a web service and a private temporary folder for the downloads; processes are
// recorded instead of started.
struct UpdateFixture {
    QTemporaryDir tmp{QCoreApplication::applicationDirPath() + "/update-test-XXXXXX"};
    testutil::PrivateRuntime runtime { tmp.path() };
    HttpTestServer server;
    Harness h;
    OrvixDirector* d = nullptr;
    QList<Launch> launches;
    bool launchResult = true;

    UpdateFixture()
    {
        API::setServiceBaseUrl(server.baseUrl());
        Installer::setLauncher([this](const QString& program, const QStringList& arguments) {
            launches << Launch{program, arguments};
            return launchResult;
        });
        d = h.create();
    }
    ~UpdateFixture()
    {
        h.director.reset();
        Installer::setLauncher(nullptr);
        API::setServiceBaseUrl(QUrl());
    }

    QString updateFolder() const { return QDir(runtime.run()).filePath("OrvixTools-Update"); }

    // Runs the check and waits until it has asked or given up.
    void check(int expectedInfoRequests = 2)
    {
        d->checkSoftwareUpdate();
        waitUntil([&] { return server.requestCount(infoPath()) >= expectedInfoRequests; }, 3000);
        spin(30);
    }
};

} // namespace

TEST(UpdateVersion, ComparedFieldByFieldInOrder)
{
    const DongleVersion local = OrvixDirector::appVersion();
    EXPECT_EQ(local, DongleVersion(2, 6, 2, 615));
    EXPECT_TRUE(OrvixDirector::isNewerVersion(DongleVersion(2, 6, 2, 616), local));
    EXPECT_FALSE(OrvixDirector::isNewerVersion(DongleVersion(2, 6, 2, 615), local));
    EXPECT_FALSE(OrvixDirector::isNewerVersion(DongleVersion(2, 6, 1, 999), local));
    EXPECT_TRUE(OrvixDirector::isNewerVersion(DongleVersion(3, 0, 0, 0), local));
    EXPECT_TRUE(OrvixDirector::isNewerVersion(DongleVersion(2, 7, 0, 0), local));
    EXPECT_FALSE(OrvixDirector::isNewerVersion(DongleVersion(1, 255, 255, 65535), local));
}

TEST(UpdateVersion, ReadFromTheReplyIntoItsFieldWidths)
{
    EXPECT_EQ(OrvixDirector::versionFromJson(QJsonObject{}), DongleVersion(0, 0, 0, 0));
    EXPECT_EQ(OrvixDirector::versionFromJson(infoReply(2, 262, 1, 70000, QString())), DongleVersion(2, 6, 1, 4464));
    QJsonObject odd{{"version", QJsonObject{{"major", "3"}, {"minor", 1e300}, {"fix", -1}, {"build", 7.9}}}};
    EXPECT_EQ(OrvixDirector::versionFromJson(odd), DongleVersion(0, 0, 0, 0)) << "no whole numbers";
    EXPECT_FALSE(OrvixDirector::isNewerVersion(OrvixDirector::versionFromJson(QJsonObject{}),
                                               OrvixDirector::appVersion()));
}

TEST(UpdateVersion, AddressesOfTheService)
{
    API::setServiceBaseUrl(QUrl("http://127.0.0.1:4321"));
    EXPECT_EQ(OrvixDirector::infoUrl(), "http://127.0.0.1:4321" + QString::fromLatin1(infoPath()));
    EXPECT_EQ(OrvixDirector::downloadUrl(), "http://127.0.0.1:4321" + QString::fromLatin1(downloadPath()));
    API::setServiceBaseUrl(QUrl());
    EXPECT_TRUE(OrvixDirector::infoUrl().startsWith(API::serviceBaseUrl().toString()));
}

TEST(UpdateCheck, NewerVersionIsOfferedAndPostponing)
{
    UpdateFixture f;
    f.server.route(infoPath(), HttpTestServer::Response::json(infoReply(2, 6, 2, 616, "OrvixTools.deb")));
    f.h.ui->questionAnswer = 1;
    LogCapture log;
    f.check();
    ASSERT_TRUE(waitUntil([&] { return f.h.ui->questions.size() == 1; }, 3000));
    const FakeDirectorUi::Question q = f.h.ui->questions.first();
    EXPECT_EQ(q.title, "Software update");
    EXPECT_EQ(q.text, "Software update to 2.6.2 (616) is available.<br>Do you want to update now?");
    EXPECT_EQ(q.buttons, (QStringList{"Update", "Not now"}));
    EXPECT_TRUE(log.contains("Checking software update at <" + OrvixDirector::infoUrl() + ">"));
    EXPECT_TRUE(log.contains("Remove version: 2.6.2 (616)"));
    EXPECT_TRUE(log.contains("Local version: 2.6.2 (615)"));
    EXPECT_TRUE(log.contains("Software update to 2.6.2 (616) postponed"));
    EXPECT_EQ(f.server.requestCount(downloadPath()), 0);
    EXPECT_EQ(f.h.quits, 0);

    // A box closed without a button counts as "Not now"; nothing was stored, so it asks again.
    f.h.ui->questionAnswer = -1;
    f.check(4);
    ASSERT_TRUE(waitUntil([&] { return f.h.ui->questions.size() == 2; }, 3000));
    EXPECT_EQ(log.count("postponed"), 2);
    EXPECT_EQ(f.server.requestCount(downloadPath()), 0);
}

TEST(UpdateCheck, NothingIsAskedWhenNotNewerUnreachableOrRefused)
{
    UpdateFixture f;
    LogCapture log;
    f.server.route(infoPath(), HttpTestServer::Response::json(infoReply(2, 6, 1, 999, "x.deb")));
    f.check();
    EXPECT_TRUE(log.contains("Software update, skipped: latest version installed."));

    f.server.route(infoPath(), HttpTestServer::Response::json(QJsonObject{{"result", 0},
                                                                         {"err", QJsonObject{{"message", "busy"}}}}));
    f.check(4);
    EXPECT_TRUE(log.contains("Software update failed: "));

    f.server.close();
    f.d->checkSoftwareUpdate();
    ASSERT_TRUE(waitUntil([&] { return log.contains("Software update not possible, the host is unreachable"); }, 3000));
    EXPECT_TRUE(f.h.ui->questions.isEmpty());
    EXPECT_TRUE(f.h.messages.isEmpty());
}

// A reply that says "result" 1 but whose version cannot be read has not told the newest
// version: the check failed, it never says the latest version is installed. Missing parts of a
// version are 0 all the same.
TEST(UpdateCheck, AReplyWithoutAReadableVersionIsAFailedCheckNotTheLatestVersion)
{
    UpdateFixture f;
    const QJsonObject release { { "installer", "x.deb" } };
    const QList<QJsonObject> unreadable {
        QJsonObject { { "result", 1 }, { "release", release } },
        QJsonObject { { "result", 1 }, { "version", "3.0.0" }, { "release", release } },
        QJsonObject { { "result", 1 }, { "version", QJsonObject {} }, { "release", release } },
        QJsonObject { { "result", 1 },
            { "version", QJsonObject { { "major", "3" }, { "minor", 0 }, { "fix", 0 }, { "build", 1 } } },
            { "release", release } },
        QJsonObject { { "result", 1 },
            { "version", QJsonObject { { "major", 2 }, { "minor", 6 }, { "fix", 2.5 }, { "build", 700 } } },
            { "release", release } },
    };
    int requests = 0;
    for (const QJsonObject& reply : unreadable) {
        LogCapture log;
        f.server.route(infoPath(), HttpTestServer::Response::json(reply));
        f.check(requests += 2);
        ASSERT_TRUE(waitUntil([&] { return log.contains("Software update failed: "); }, 3000))
            << QJsonDocument(reply).toJson().toStdString();
        EXPECT_FALSE(log.contains("latest version installed")) << QJsonDocument(reply).toJson().toStdString();
    }
    LogCapture log;
    f.server.route(infoPath(),
        HttpTestServer::Response::json(QJsonObject { { "result", 1 },
            { "version", QJsonObject { { "major", 2 }, { "minor", 6 } } }, { "release", release } }));
    f.check(requests += 2);
    ASSERT_TRUE(
        waitUntil([&] { return log.contains("Software update, skipped: latest version installed."); }, 3000));
    EXPECT_TRUE(log.contains("Remove version: 2.6.0 (0)"));
    EXPECT_TRUE(f.h.ui->questions.isEmpty());
    EXPECT_EQ(f.server.requestCount(downloadPath()), 0);
}

TEST(UpdateCheck, MaintenanceToolIsStartedInsteadOfADownload)
{
    UpdateFixture f;
    // The tool needs no package name.
    f.server.route(infoPath(), HttpTestServer::Response::json(infoReply(3, 0, 0, 0, QString())));
    QFile tool(QDir(f.h.dir.path()).filePath(QString::fromLatin1(Installer::MaintenanceTool)));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(tool).path()));
    ASSERT_TRUE(tool.open(QIODevice::WriteOnly));
    tool.write("#!/bin/sh\n");
    tool.close();
    tool.setPermissions(tool.permissions() | QFile::ExeOwner);
    f.h.ui->questionAnswer = 0;

    f.check();
    ASSERT_TRUE(waitUntil([&] { return f.h.quits == 1; }, 3000));
    EXPECT_EQ(f.h.ui->performed, QList<int> { DirectorUi::QuitAction }) << "quit as the tray's Quit";
    ASSERT_EQ(f.launches.size(), 1);
    EXPECT_EQ(f.launches.first().program, QFileInfo(tool).absoluteFilePath());
    EXPECT_EQ(f.launches.first().arguments, QStringList{"--updater"});
    EXPECT_EQ(f.server.requestCount(downloadPath()), 0);
    EXPECT_EQ(f.h.ui->progressShown, 0);
}

TEST(UpdateDownload, SucceedsInstallsAndQuits)
{
    UpdateFixture f;
    const QByteArray package(200 * 1024, 'p');
    f.server.route(infoPath(), HttpTestServer::Response::json(infoReply(2, 6, 3, 700, "OrvixTools-2.6.3.deb")));
    f.server.route(downloadPath(), HttpTestServer::Response::redirect("/files/package.bin"));
    f.server.route("/files/package.bin", HttpTestServer::Response::bytes(package).slow(32 * 1024, 5));
    f.h.ui->questionAnswer = 0;
    f.h.ui->mainVisible = true;

    f.check();
    ASSERT_TRUE(waitUntil([&] { return f.h.quits == 1; }, 5000));
    EXPECT_EQ(f.h.ui->performed, QList<int> { DirectorUi::QuitAction }) << "quit as the tray's Quit";
    EXPECT_FALSE(f.h.ui->mainVisible) << "the main window is hidden for the download";
    EXPECT_EQ(f.h.ui->progressInfo,
              "Downloading software update v 2.6.3 (700). Installation will start automatically, please wait.");
    ASSERT_FALSE(f.h.ui->progressValues.isEmpty());
    EXPECT_EQ(f.h.ui->progressValues.first(), 0.0);
    EXPECT_GT(f.h.ui->progressValues.size(), 2);
    EXPECT_EQ(f.h.ui->progressShown, 1);
    EXPECT_FALSE(f.h.ui->progressVisible);

    const QDir folder(f.updateFolder());
    const QString packagePath = folder.absoluteFilePath("OrvixTools-2.6.3.deb");
    QFile installed(packagePath);
    ASSERT_TRUE(installed.open(QIODevice::ReadOnly)) << "the package survives the task";
    EXPECT_EQ(installed.readAll(), package);
    EXPECT_FALSE(folder.exists("package.bin"));

    QFile script(folder.absoluteFilePath("install.scpt"));
    ASSERT_TRUE(script.open(QIODevice::ReadOnly));
    EXPECT_EQ(script.readAll(), "tell application \"Finder\"\n"
                                "\tset installer to POSIX file \"" + packagePath.toUtf8() + "\"\n"
                                "\topen document file installer\n"
                                "end tell\n"
                                "\n");

    ASSERT_EQ(f.launches.size(), 1);
    EXPECT_EQ(f.launches.first().arguments.last(), packagePath);
    EXPECT_TRUE(f.h.messages.isEmpty());
}

TEST(UpdateDownload, PackageAlreadyBearingTheInstallerNameSurvivesTheTask)
{
    // The service redirects to the package under its own name, which is the installer's: the
    // downloaded file is the package itself and must still be there for the desktop handler.
    UpdateFixture f;
    const QByteArray package(64 * 1024, 'q');
    f.server.route(infoPath(), HttpTestServer::Response::json(infoReply(2, 6, 3, 700, "OrvixTools-2.6.3.deb")));
    f.server.route(downloadPath(), HttpTestServer::Response::redirect("/files/OrvixTools-2.6.3.deb"));
    f.server.route("/files/OrvixTools-2.6.3.deb", HttpTestServer::Response::bytes(package));
    f.h.ui->questionAnswer = 0;

    f.check();
    ASSERT_TRUE(waitUntil([&] { return f.h.quits == 1; }, 5000));
    spin(30);
    const QString packagePath = QDir(f.updateFolder()).absoluteFilePath("OrvixTools-2.6.3.deb");
    QFile installed(packagePath);
    ASSERT_TRUE(installed.open(QIODevice::ReadOnly)) << "the package survives the task";
    EXPECT_EQ(installed.readAll(), package);
    ASSERT_EQ(f.launches.size(), 1);
    EXPECT_EQ(f.launches.first().arguments.last(), packagePath);
    EXPECT_TRUE(f.h.messages.isEmpty());
}

TEST(UpdateDownload, NotFoundShowsTheWindowAndAWarning)
{
    UpdateFixture f;
    f.server.route(infoPath(), HttpTestServer::Response::json(infoReply(2, 6, 3, 0, "a.deb")));
    f.h.ui->questionAnswer = 0;
    LogCapture log;
    f.check();
    ASSERT_TRUE(waitUntil([&] { return f.h.messages.size() == 1; }, 5000));
    EXPECT_EQ(f.h.messages.first().type, int(OrvixDirector::warning));
    EXPECT_EQ(f.h.messages.first().title, "hu.orvixtool.download.errorDomain");
    EXPECT_TRUE(f.h.messages.first().text.startsWith("<b>Failed</b><br><br>"));
    EXPECT_TRUE(f.h.ui->mainVisible);
    EXPECT_FALSE(f.h.ui->progressVisible);
    EXPECT_TRUE(log.contains("Software update failed: hu.orvixtool.download.errorDomain:1"));
    EXPECT_EQ(f.h.quits, 0);
    EXPECT_TRUE(f.launches.isEmpty());
}

TEST(UpdateDownload, ADownloadThatCannotStartIsAFailureNotACancel)
{
    UpdateFixture f;
    f.server.route(infoPath(), HttpTestServer::Response::json(infoReply(2, 6, 3, 0, "a.deb")));
    // The file name is longer than the file system takes.
    f.server.route(downloadPath(), HttpTestServer::Response::redirect("/" + QByteArray(300, 'n')));
    f.h.ui->questionAnswer = 0;
    LogCapture log;
    f.check();
    ASSERT_TRUE(waitUntil([&] { return f.h.messages.size() == 1; }, 5000));
    EXPECT_EQ(f.h.messages.first().type, int(OrvixDirector::warning));
    EXPECT_TRUE(f.h.messages.first().text.contains(QString(300, 'n')));
    EXPECT_FALSE(log.contains("canceled"));
    EXPECT_TRUE(f.h.ui->mainVisible);
}

TEST(UpdateDownload, CancelFromTheProgressWindow)
{
    UpdateFixture f;
    f.server.route(infoPath(), HttpTestServer::Response::json(infoReply(2, 6, 3, 0, "a.deb")));
    f.server.route(downloadPath(), HttpTestServer::Response::bytes(QByteArray(512 * 1024, 'x')).slow(4096, 20));
    f.h.ui->questionAnswer = 0;
    LogCapture log;
    f.check();
    ASSERT_TRUE(waitUntil([&] { return f.h.ui->progressValues.size() > 2; }, 5000));
    f.h.ui->cancelProgress();
    ASSERT_TRUE(waitUntil([&] { return log.contains("Software update canceled (postponed)"); }, 3000));
    EXPECT_TRUE(f.h.ui->mainVisible);
    EXPECT_FALSE(f.h.ui->progressVisible);
    EXPECT_TRUE(f.h.messages.isEmpty());
    EXPECT_EQ(f.h.quits, 0);
    // A cancel after the end changes nothing.
    f.h.ui->cancelProgress();
    spin(30);
    EXPECT_EQ(log.count("Software update canceled (postponed)"), 1);
}

TEST(UpdateDownload, RefusedInstallerNameOrFailedOpenerKeepsTheApplicationRunning)
{
    UpdateFixture f;
    f.server.route(downloadPath(), HttpTestServer::Response::bytes("data"));
    f.h.ui->questionAnswer = 0;
    LogCapture log;
    // A name that is no plain file name, or none, is a failed check: a download of it could
    // never be installed, so nothing is asked or downloaded.
    int infoRequests = 0;
    for (const QString& bad : { QString("../evil.sh"), QString(), QString(300, QLatin1Char('n')) }) {
        f.server.route(infoPath(), HttpTestServer::Response::json(infoReply(2, 6, 3, 0, bad)));
        f.check(infoRequests += 2);
        EXPECT_TRUE(waitUntil([&] { return log.count("Software update failed: invalid installer name!") == infoRequests / 2; }, 3000));
    }
    EXPECT_TRUE(f.h.ui->questions.isEmpty());
    EXPECT_EQ(f.server.requestCount(downloadPath()), 0);
    EXPECT_TRUE(f.h.messages.isEmpty());
    EXPECT_TRUE(f.launches.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(QDir(f.updateFolder()).absoluteFilePath("../evil.sh")));

    // A good name, but the desktop's opener fails: no "started", no quit, a warning.
    f.server.route(infoPath(), HttpTestServer::Response::json(infoReply(2, 6, 3, 0, "OrvixTools.deb")));
    f.launchResult = false;
    f.check(infoRequests + 2);
    ASSERT_TRUE(waitUntil([&] { return f.h.messages.size() == 1; }, 5000));
    EXPECT_EQ(f.h.messages.last().type, int(OrvixDirector::warning));
    EXPECT_EQ(f.launches.size(), 1);
    EXPECT_TRUE(f.h.ui->mainVisible);
    EXPECT_EQ(f.h.quits, 0);
    EXPECT_FALSE(log.contains("Software update started"));
    EXPECT_TRUE(waitUntil([&] { return QDir(f.updateFolder()).entryList(QDir::Files).isEmpty(); }, 5000))
        << "the package or the script of an installer that never ran is left";

    // An empty answer is no package: nothing is opened and the person is told.
    f.server.route(downloadPath(), HttpTestServer::Response::bytes(QByteArray()));
    f.check(infoRequests + 4);
    ASSERT_TRUE(waitUntil([&] { return f.h.messages.size() == 2; }, 5000));
    EXPECT_TRUE(f.h.messages.last().text.endsWith("Software update failed: package is empty!"));
    EXPECT_EQ(f.launches.size(), 1);
    EXPECT_EQ(f.h.quits, 0);
}

TEST(UpdateDownload, TheOpenerEndingInAnErrorKeepsTheApplicationRunning)
{
#ifdef Q_OS_MACOS
    GTEST_SKIP() << "the opener is the script runner here";
#endif
    // The real opener, found first on the path: the desktop has no handler for the package.
    UpdateFixture f;
    Installer::setLauncher(nullptr);
    QTemporaryDir bin;
    const QString opener = QDir(bin.path()).filePath("xdg-open");
    auto writeOpener = [&](const QByteArray& body) {
        QFile file(opener);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("#!/bin/sh\n" + body + "\n");
        file.close();
        file.setPermissions(file.permissions() | QFile::ExeOwner);
    };
    writeOpener("exit 3");
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin.path()) + ":" + oldPath);
    f.server.route(infoPath(), HttpTestServer::Response::json(infoReply(2, 6, 3, 0, "OrvixTools.deb")));
    f.server.route(downloadPath(), HttpTestServer::Response::bytes("package"));
    f.h.ui->questionAnswer = 0;
    f.check();
    EXPECT_TRUE(waitUntil([&] { return f.h.messages.size() == 1; }, 5000));
    if (!f.h.messages.isEmpty()) {
        EXPECT_TRUE(f.h.messages.last().text.contains("exited with code 3")) << f.h.messages.last().text.toStdString();
    }
    EXPECT_EQ(f.h.quits, 0);
    EXPECT_TRUE(f.h.ui->mainVisible);
    EXPECT_TRUE(QDir(f.updateFolder()).entryList(QDir::Files).isEmpty()) << "package or script left";

    // One that runs on shows the installer: the application quits without waiting for it.
    writeOpener("sleep 3");
    Installer::setOpenerWaitMs(testutil::scaled(200));
    f.check(4);
    EXPECT_TRUE(waitUntil([&] { return f.h.quits == 1; }, 5000));
    EXPECT_EQ(f.h.messages.size(), 1);
    Installer::setOpenerWaitMs(0);
    qputenv("PATH", oldPath);
}

TEST(UpdateDownload, RedirectToAPlainHttpHostIsRefused)
{
    UpdateFixture f;
    f.server.route(infoPath(), HttpTestServer::Response::json(infoReply(2, 6, 3, 0, "OrvixTools.deb")));
    f.server.route(downloadPath(), HttpTestServer::Response::redirect("http://192.0.2.1/OrvixTools.deb"));
    f.h.ui->questionAnswer = 0;
    f.check();
    ASSERT_TRUE(waitUntil([&] { return f.h.messages.size() == 1; }, 5000));
    EXPECT_TRUE(
        f.h.messages.first().text.contains("Untrusted download address http://192.0.2.1/OrvixTools.deb"));
    EXPECT_TRUE(f.launches.isEmpty());
    EXPECT_EQ(f.h.quits, 0);
}

TEST(UpdateCheck, WithoutAServiceNothingIsAsked)
{
    UpdateFixture f;
    API::setServiceBaseUrl(QUrl());
    LogCapture log;
    f.d->checkSoftwareUpdate();
    spin(30);
    EXPECT_EQ(log.count("no update service is configured"), 1);
    EXPECT_EQ(f.server.requestCount(), 0);
}

TEST(UpdateCheck, ServiceFromTheCommandLineOrTheSettings)
{
    UpdateFixture f;
    f.h.director.reset();
    API::setServiceBaseUrl(QUrl());
    f.h.parser.addOption(QCommandLineOption("service-url", QString(), "URL"));

    // The settings name a plain http host: refused, nothing is configured.
    QSettings(f.h.dir.filePath("settings.ini"), QSettings::IniFormat)
        .setValue("service/url", "http://example.org");
    ASSERT_TRUE(f.h.parser.parse(QStringList { "orvixtools" }));
    f.d = f.h.create();
    EXPECT_TRUE(API::serviceBaseUrl().isEmpty());

    // The command line wins over the settings.
    f.h.director.reset();
    ASSERT_TRUE(
        f.h.parser.parse(QStringList { "orvixtools", "--service-url", f.server.baseUrl().toString() }));
    f.d = f.h.create();
    EXPECT_EQ(API::serviceBaseUrl(), f.server.baseUrl());
}

TEST(UpdateCheck, AMaintenanceToolInTheWorkingDirectoryIsNeverRun)
{
    UpdateFixture f;
    f.h.director.reset();
    f.h.tweak = [](DirectorEnvironment& env) { env.maintenanceDir.clear(); };
    f.d = f.h.create();
    QTemporaryDir cwd;
    QFile tool(QDir(cwd.path()).filePath(QString::fromLatin1(Installer::MaintenanceTool)));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(tool).path()));
    ASSERT_TRUE(tool.open(QIODevice::WriteOnly));
    tool.close();
    tool.setPermissions(tool.permissions() | QFile::ExeOwner);
    const QString oldCwd = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(cwd.path()));
    f.server.route(infoPath(), HttpTestServer::Response::json(infoReply(3, 0, 0, 0, "x.deb")));
    f.server.route(downloadPath(), HttpTestServer::Response::bytes("package"));
    f.h.ui->questionAnswer = 0;
    f.check();
    ASSERT_TRUE(waitUntil([&] { return f.h.quits == 1; }, 5000));
    QDir::setCurrent(oldCwd);
    ASSERT_EQ(f.launches.size(), 1);
    EXPECT_NE(f.launches.first().program, QFileInfo(tool).absoluteFilePath());
    EXPECT_EQ(f.server.requestCount(downloadPath()), 1);
}

TEST(Installer, NamesFromTheNetwork)
{
    EXPECT_TRUE(Installer::isValidInstallerName("OrvixTools-2.6.3.deb"));
    EXPECT_TRUE(Installer::isValidInstallerName("Orvix Tools (2.6.3).pkg"));
    EXPECT_TRUE(Installer::isValidInstallerName(QString(125, QChar(0x00e9)) + ".pkg")); // 254 bytes
    // Longer than a file system takes, or the install script's own name.
    for (const QString& bad : { QString(256, 'a'), QString(126, QChar(0x00e9)) + ".pkg",
             QString("install.scpt"), QString("Install.SCPT") })
        EXPECT_FALSE(Installer::isValidInstallerName(bad)) << bad.toStdString();
    for (const QString& bad : { QString(), QString("."), QString(".."), QString("a/b"), QString("..\\x"),
             QString("a\"b"), QString("it's"), QString("a\nb"), QString("a\tb"), QString("x") + QChar(0x7f),
             QString("a") + QChar(0x2028) + "b", QString(":x"), QString(":/styles/global"), QString("a..b") })
        EXPECT_FALSE(Installer::isValidInstallerName(bad)) << bad.toStdString();
}

TEST(Installer, StartFailsCleanly)
{
    QTemporaryDir dir;
    const QDir folder(dir.path());
    QString error;
    // The downloaded file is missing: nothing to rename.
    EXPECT_FALSE(Installer::start(folder.absoluteFilePath("gone.bin"), folder, "OrvixTools.deb", &error));
    EXPECT_EQ(error, "Software update failed: package not exists!");
    // The script cannot be written: its name is taken by a folder.
    QFile downloaded(folder.absoluteFilePath("d.bin"));
    ASSERT_TRUE(downloaded.open(QIODevice::WriteOnly));
    downloaded.write("package bytes");
    downloaded.close();
    QFile::remove(folder.absoluteFilePath("install.scpt"));
    ASSERT_TRUE(folder.mkdir("install.scpt"));
    EXPECT_FALSE(Installer::start(downloaded.fileName(), folder, "OrvixTools.deb", &error));
    EXPECT_EQ(error, "Software update failed: unable to create install script!");
    // A full disk cuts the script short, which shows only as it goes out: nothing starts.
    ASSERT_TRUE(folder.rmdir("install.scpt"));
    ASSERT_TRUE(QFile::link("/dev/full", folder.absoluteFilePath("install.scpt")));
    Installer::setLauncher([](const QString&, const QStringList&) { return false; });
    EXPECT_FALSE(Installer::start(downloaded.fileName(), folder, "OrvixTools.deb", &error));
    EXPECT_EQ(error, "Software update failed: unable to create install script!");
    EXPECT_FALSE(QFileInfo(folder.absoluteFilePath("install.scpt")).isSymLink()) << "a cut script is left";
    // The launch fails: the package is back under the download's name (which the download
    // removes) and no script is left.
    EXPECT_FALSE(Installer::start(downloaded.fileName(), folder, "OrvixTools.deb", &error));
    EXPECT_TRUE(error.startsWith("Software update failed: unable to start "));
    Installer::setLauncher(nullptr);
    EXPECT_EQ(folder.entryList(QDir::Files), QStringList { "d.bin" });
    // The package's name is the script's: refused rather than overwritten.
    EXPECT_FALSE(Installer::start(downloaded.fileName(), folder, "install.scpt", &error));
    EXPECT_EQ(error, "Software update failed: invalid installer name!");
    EXPECT_TRUE(QFileInfo::exists(downloaded.fileName()));
    // The download itself bears the script's name: refused rather than written over.
    QFile named(folder.absoluteFilePath("install.scpt"));
    ASSERT_TRUE(named.open(QIODevice::WriteOnly));
    named.write("package bytes");
    named.close();
    int launches = 0;
    Installer::setLauncher([&launches](const QString&, const QStringList&) { return ++launches > 0; });
    EXPECT_FALSE(Installer::start(named.fileName(), folder, "OrvixTools.deb", &error));
    Installer::setLauncher(nullptr);
    EXPECT_EQ(error, "Software update failed: unable to create install script!");
    EXPECT_EQ(launches, 0);
    ASSERT_TRUE(named.open(QIODevice::ReadOnly));
    EXPECT_EQ(named.readAll(), "package bytes");
}

TEST(Installer, MaintenanceToolMustBeAnExecutableFile)
{
    QTemporaryDir dir;
    QString path = "unchanged";
    EXPECT_FALSE(Installer::isMaintanable(path, QDir(dir.path())));
    EXPECT_EQ(path, "unchanged");
    const QString tool = QDir(dir.path()).filePath(QString::fromLatin1(Installer::MaintenanceTool));
    ASSERT_TRUE(QDir().mkpath(tool)); // a folder of that name
    EXPECT_FALSE(Installer::isMaintanable(path, QDir(dir.path())));
    ASSERT_TRUE(QDir().rmdir(tool));
    QFile file(tool);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_FALSE(Installer::isMaintanable(path, QDir(dir.path()))) << "not executable";
    file.setPermissions(file.permissions() | QFile::ExeOwner);
    EXPECT_TRUE(Installer::isMaintanable(path, QDir(dir.path())));
    EXPECT_EQ(path, QFileInfo(tool).absoluteFilePath());
}
