#include "app/Installer.h"

#include "app/DownloadTask.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QProcess>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <QtDebug>

#include <memory>

#ifdef Q_OS_MACOS
const char* const Installer::MaintenanceTool = "MaintenanceTool.app/Contents/MacOS/MaintenanceTool";
#else
const char* const Installer::MaintenanceTool = "maintenancetool";
#endif

namespace {

Installer::Launcher& launcherOverride()
{
    static Installer::Launcher launcher;
    return launcher;
}

int& openerWaitMs()
{
    static int ms = Installer::OpenerWaitMs;
    return ms;
}

// The openers still running. Each is freed once it has ended; one that runs on when the
// application quits stays here, never deleted, as deleting a process kills it.
QList<QProcess*>& runningOpeners()
{
    // Never destroyed either: it must still name them when the program has ended.
    static auto* openers = new QList<QProcess*>;
    return *openers;
}

bool fail(QString* error, const QString& message)
{
    qWarning().noquote() << message;
    if (error)
        *error = message;
    return false;
}

} // namespace

bool Installer::isMaintanable(QString& path)
{
    // Beside the executable only: the working directory (the home folder when started from a
    // desktop menu) may hold anything.
    return isMaintanable(path, QDir(QCoreApplication::applicationDirPath()));
}

bool Installer::isMaintanable(QString& path, const QDir& folder)
{
    const QFileInfo candidate(folder.absoluteFilePath(QString::fromLatin1(MaintenanceTool)));
    if (!candidate.exists() || !candidate.isFile() || !candidate.isExecutable())
        return false;
    path = candidate.absoluteFilePath();
    return true;
}

bool Installer::startMaintenance(const QString& path)
{
    return launch(path, QStringList{QString::fromLatin1(MaintenanceArgument)});
}

bool Installer::isValidInstallerName(const QString& installer)
{
    // Never a path of Qt's resources (":x"), never a way out of the folder.
    if (installer.isEmpty() || installer == QLatin1String(".") || installer.startsWith(QLatin1Char(':'))
        || installer.contains(QLatin1String("..")))
        return false;
    // A name no file system takes, or the script's own, could never become the package: the
    // download would be in vain.
    if (QFile::encodeName(installer).size() > MaxNameBytes
        || installer.compare(QLatin1String(ScriptFileName), Qt::CaseInsensitive) == 0)
        return false;
    for (const QChar c : installer) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char('"') || c == QLatin1Char('\'')
            || c == QLatin1Char('`'))
            return false;
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format
            || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            return false;
    }
    return true;
}

QByteArray Installer::scriptText(const QString& packagePath)
{
    QByteArray text;
    text += "tell application \"Finder\"\n";
    text += "\tset installer to POSIX file \"" + packagePath.toUtf8() + "\"\n";
    text += "\topen document file installer\n";
    text += "end tell\n";
    text += "\n";
    return text;
}

QStringList Installer::openCommand(const QString& packagePath, const QString& scriptPath)
{
#ifdef Q_OS_MACOS
    Q_UNUSED(packagePath);
    return QStringList{QStringLiteral("osascript"), scriptPath};
#else
    Q_UNUSED(scriptPath);
    // The desktop's handler for the package's type.
    const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!xdgOpen.isEmpty())
        return QStringList{xdgOpen, packagePath};
    const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
    if (!gio.isEmpty())
        return QStringList{gio, QStringLiteral("open"), packagePath};
    // Neither is installed: the start below fails and says so.
    return QStringList{QStringLiteral("xdg-open"), packagePath};
#endif
}

bool Installer::start(API::DownloadTask* task, const QString& installer, QString* error, Opened opened)
{
    if (!task)
        return fail(error, QStringLiteral("Software update failed: no download!"));
    if (!start(task->filePath(), task->folder(), installer, error, std::move(opened)))
        return false;
    // The download may already bear the installer's name (the service redirected to the
    // package itself): then it was opened in place and must outlive the task.
    task->keepFile();
    return true;
}

bool Installer::start(
    const QString& downloaded, const QDir& folder, const QString& installer, QString* error, Opened opened)
{
    qInfo().noquote() << "Software donwload finished at " + downloaded;
    // The name comes from the network: it must name a file inside the folder and nothing else.
    if (!isValidInstallerName(installer))
        return fail(error, QStringLiteral("Software update failed: invalid installer name!"));

    // An empty download is no package (a service that answered without a body): opening it
    // would quit the application for an installer that never shows.
    const QFileInfo download(downloaded);
    if (download.exists() && download.size() == 0)
        return fail(error, QStringLiteral("Software update failed: package is empty!"));

    const QString package = folder.absoluteFilePath(installer);
    const QString script = folder.absoluteFilePath(QString::fromLatin1(ScriptFileName));

    // A download that bears the script's name would be written over by the script.
    if (QFileInfo(downloaded).absoluteFilePath() == QFileInfo(script).absoluteFilePath())
        return fail(error, QStringLiteral("Software update failed: unable to create install script!"));

    QFile file(script);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return fail(error, QStringLiteral("Software update failed: unable to create install script!"));
    const QByteArray text = scriptText(package);
    // The file is buffered: a full disk or a failing device shows only as the text goes out.
    const bool written = file.write(text) == text.size() && file.flush();
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        // A cut script is never left for anyone to open.
        file.remove();
        return fail(error, QStringLiteral("Software update failed: unable to create install script!"));
    }

    const bool moved = QFileInfo(downloaded).absoluteFilePath() != QFileInfo(package).absoluteFilePath();
    if (moved) {
        // The folder is emptied for every download: a file already bearing the package's
        // name (the script itself, say) makes the rename fail rather than be replaced.
        if (!QFile::rename(downloaded, package)) {
            file.remove();
            return fail(error, QStringLiteral("Software update failed: package not exists!"));
        }
    } else if (!QFileInfo::exists(package)) {
        file.remove();
        return fail(error, QStringLiteral("Software update failed: package not exists!"));
    }

    QStringList command = openCommand(package, script);
    const QString program = command.takeFirst();
    // An opener that ends in failure has opened nothing: its package and script go, and the
    // caller (which keeps the application running) is told.
    auto ended = [package, script, program, opened = std::move(opened)](bool ok, const QString& why) {
        QString message;
        if (!ok) {
            QFile::remove(script);
            QFile::remove(package);
            message = QStringLiteral("Software update failed: %1 %2!").arg(program, why);
            qWarning().noquote() << message;
        }
        if (opened)
            opened(ok, message);
    };
    if (!open(program, command, std::move(ended))) {
        // Nothing is left behind for an installer that never ran: the package goes back to the
        // download's name, which the download removes as it ends, and the script goes.
        file.remove();
        if (moved && !QFile::rename(package, downloaded))
            QFile::remove(package);
        return fail(error, QStringLiteral("Software update failed: unable to start %1!").arg(program));
    }
    return true;
}

void Installer::setLauncher(Launcher launcher)
{
    launcherOverride() = std::move(launcher);
}

void Installer::setOpenerWaitMs(int ms)
{
    openerWaitMs() = ms > 0 ? ms : OpenerWaitMs;
}

bool Installer::open(const QString& program, const QStringList& arguments, Opened ended)
{
    if (launcherOverride()) {
        if (!launcherOverride()(program, arguments))
            return false;
        QTimer::singleShot(0, [ended] { ended(true, QString()); });
        return true;
    }
    // Not detached: the opener's exit code is the only word of a desktop that has no handler
    // for the package, or of a script the Finder refused. It has no parent and is deleted only
    // once it has ended, so an opener that runs on (the installer in its foreground) is never
    // killed when the application quits.
    auto* process = new QProcess;
    runningOpeners().append(process);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setInputChannelMode(QProcess::ForwardedInputChannel);
    process->start(program, arguments);
    if (!process->waitForStarted()) {
        runningOpeners().removeOne(process);
        delete process;
        return false;
    }
    auto settled = std::make_shared<bool>(false);
    auto settle = [settled, ended](bool ok, const QString& why) {
        if (*settled)
            return;
        *settled = true;
        ended(ok, why);
    };
    QObject::connect(process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), process,
        [process, settle](int code, QProcess::ExitStatus status) {
            runningOpeners().removeOne(process);
            process->deleteLater();
            if (status == QProcess::NormalExit && code == 0)
                settle(true, QString());
            else if (status == QProcess::NormalExit)
                settle(false, QStringLiteral("exited with code %1").arg(code));
            else
                settle(false, QStringLiteral("crashed"));
        });
    QTimer::singleShot(openerWaitMs(), process, [settle] { settle(true, QString()); });
    return true;
}

bool Installer::launch(const QString& program, const QStringList& arguments)
{
    if (launcherOverride())
        return launcherOverride()(program, arguments);
    return QProcess::startDetached(program, arguments);
}
