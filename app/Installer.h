#pragma once
// Installs a downloaded software update: hands over to a maintenance tool that sits beside the
// application, or turns the finished download into the installer package, writes the install
// script next to it and opens the package with the desktop's handler.
#include <QDir>
#include <QString>
#include <QStringList>

#include <functional>

namespace API {
class DownloadTask;
}

class Installer {
public:
    // The maintenance tool, relative to the folder it is looked for in.
    static const char* const MaintenanceTool;
    static constexpr const char MaintenanceArgument[] = "--updater";
    // The install script, written into the download folder.
    static constexpr const char ScriptFileName[] = "install.scpt";
    // The longest file name, in bytes, that the file systems in use take.
    static constexpr int MaxNameBytes = 255;

    // Starts program with arguments as a detached process; true when it started.
    using Launcher = std::function<bool(const QString& program, const QStringList& arguments)>;
    // How the package's opener ended: ok when it exited with 0, or still runs after
    // OpenerWaitMs (then it shows the installer); otherwise error says why (already logged).
    using Opened = std::function<void(bool ok, const QString& error)>;
    // How long the opener is waited for before it counts as running.
    static constexpr int OpenerWaitMs = 20000;

    // True when the maintenance tool exists beside the application's executable (a regular,
    // executable file); path is then its absolute path, otherwise unchanged.
    static bool isMaintanable(QString& path);
    // The same, looked for in folder.
    static bool isMaintanable(QString& path, const QDir& folder);
    // Starts the maintenance tool at path with "--updater", without waiting for it.
    static bool startMaintenance(const QString& path);

    // Turns the task's finished download into the package named installer inside the task's
    // folder, writes the install script beside it and starts the installation. False, with
    // the reason in error (already logged), when any of it fails. When it returns true, opened
    // is called later, from the event loop, once the opener has ended or runs on; an opener
    // that fails leaves neither package nor script behind.
    static bool start(API::DownloadTask* task, const QString& installer, QString* error = nullptr,
                      Opened opened = nullptr);
    // The same for a downloaded file inside folder.
    static bool start(const QString& downloaded, const QDir& folder, const QString& installer,
                      QString* error = nullptr, Opened opened = nullptr);

    // An installer name is a plain file name: not empty, not ".", not starting with ":",
    // without "..", path separators, quotes or control characters, at most MaxNameBytes long
    // and not the install script's name.
    static bool isValidInstallerName(const QString& installer);
    // The install script's text for the package at packagePath.
    static QByteArray scriptText(const QString& packagePath);
    // The program and arguments that open the package on this platform.
    static QStringList openCommand(const QString& packagePath, const QString& scriptPath);

    // Test seam: replaces how processes are started (an empty launcher restores the real one).
    static void setLauncher(Launcher launcher);
    // Test seam: how long the opener is waited for (0 restores OpenerWaitMs).
    static void setOpenerWaitMs(int ms);

private:
    static bool launch(const QString& program, const QStringList& arguments);
    // Starts the opener and follows it until it ends or OpenerWaitMs pass; false when it
    // could not be started.
    static bool open(const QString& program, const QStringList& arguments, Opened ended);
};
