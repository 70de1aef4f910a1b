// The director's software update: once per run it asks the web service for the newest
// version, asks the user, and downloads and installs it (or hands over to the maintenance tool).
#include "app/ApiManager.h"
#include "app/DirectorUi.h"
#include "app/DownloadTask.h"
#include "app/Installer.h"
#include "app/OrvixDirector.h"
#include "app/Settings.h"

#include <QDir>
#include <QJsonObject>
#include <QPointer>
#include <QtDebug>

#include <cmath>

#if defined(Q_OS_MACOS)
const QString OrvixDirector::APP_DOWNLOAD_PLATFORM = QStringLiteral("mac");
#elif defined(Q_OS_WIN)
const QString OrvixDirector::APP_DOWNLOAD_PLATFORM = QStringLiteral("win");
#else
const QString OrvixDirector::APP_DOWNLOAD_PLATFORM = QStringLiteral("linux");
#endif

namespace {

const char kServiceUrlOption[] = "service-url";

// The running application's version.
constexpr uchar kMajor = 2;
constexpr uchar kMinor = 6;
constexpr uchar kFix = 2;
constexpr quint16 kBuild = 615;

} // namespace

DongleVersion OrvixDirector::appVersion()
{
    return DongleVersion(kMajor, kMinor, kFix, kBuild);
}

bool OrvixDirector::isNewerVersion(const DongleVersion& remote, const DongleVersion& local)
{
    if (remote.major != local.major)
        return remote.major > local.major;
    if (remote.minor != local.minor)
        return remote.minor > local.minor;
    if (remote.fix != local.fix)
        return remote.fix > local.fix;
    return remote.build > local.build;
}

namespace
{

const char* const kVersionParts[] = { "major", "minor", "fix", "build" };

// A part of a version: a whole number from 0 to 4294967295.
bool isVersionNumber(const QJsonValue& value)
{
    const double n = value.toDouble(-1.0);
    return value.isDouble() && n >= 0.0 && n <= 4294967295.0 && std::floor(n) == n;
}

} // namespace

DongleVersion OrvixDirector::versionFromJson(const QJsonObject& reply)
{
    const QJsonObject version = reply.value(QLatin1String("version")).toObject();
    // A member that is missing or not a whole number from 0 to 4294967295 is no version and
    // counts as 0 (a fraction or a negative number never makes a version look newer).
    auto number = [&](const char* key) -> quint32 {
        const QJsonValue value = version.value(QLatin1String(key));
        return isVersionNumber(value) ? quint32(value.toDouble()) : 0;
    };
    return DongleVersion(uchar(number("major") & 0xFFu), uchar(number("minor") & 0xFFu),
                         uchar(number("fix") & 0xFFu), quint16(number("build") & 0xFFFFu));
}

bool OrvixDirector::hasVersion(const QJsonObject& reply)
{
    const QJsonValue member = reply.value(QLatin1String("version"));
    if (!member.isObject())
        return false;
    const QJsonObject version = member.toObject();
    bool anyPart = false;
    for (const char* part : kVersionParts) {
        const QJsonValue value = version.value(QLatin1String(part));
        if (value.isUndefined())
            continue; // a missing part is 0
        if (!isVersionNumber(value))
            return false;
        anyPart = true;
    }
    return anyPart;
}

QString OrvixDirector::infoUrl()
{
    return API::serviceUrl(QStringLiteral("/api/v1/software/ox/%1/%2.%3/info")
                               .arg(APP_DOWNLOAD_PLATFORM)
                               .arg(int(kMajor))
                               .arg(int(kMinor)))
        .toString();
}

QString OrvixDirector::downloadUrl()
{
    return API::serviceUrl(QStringLiteral("/api/v1/software/ox/%1/%2.%3/download")
                               .arg(APP_DOWNLOAD_PLATFORM)
                               .arg(int(kMajor))
                               .arg(int(kMinor)))
        .toString();
}

void OrvixDirector::configureUpdateService()
{
    // The command line first, then the settings; with neither nothing is asked of any service.
    QString configured;
    if (m_parser.optionNames().contains(QLatin1String(kServiceUrlOption)))
        configured = m_parser.value(QLatin1String(kServiceUrlOption));
    else
        configured = m_settings->serviceUrl();
    configured = configured.trimmed();
    if (configured.isEmpty())
        return;
    if (!API::setServiceBaseUrl(QUrl(configured)))
        qWarning().noquote() << "Update service address refused (https only, http only on this computer): "
                + configured;
}

void OrvixDirector::checkSoftwareUpdate()
{
    if (API::serviceBaseUrl().isEmpty()) {
        qInfo("Software update not possible, no update service is configured");
        return;
    }
    const QString url = infoUrl();
    qInfo().noquote() << "Checking software update at <" + url + ">";
    QPointer<OrvixDirector> self(this);
    m_apiManager->isReachable(QUrl(url), [self, url](bool reachable) {
        if (!self)
            return;
        if (!reachable) {
            qInfo("Software update not possible, the host is unreachable");
            return;
        }
        self->m_apiManager->apiGet(QUrl(url), [self](API::Result result, QJsonObject reply) {
            if (self)
                self->onUpdateInfo(result, reply);
        });
    });
}

void OrvixDirector::onUpdateInfo(const API::Result& result, const QJsonObject& reply)
{
    if (result.code != API::Result::Ok) {
        qWarning().noquote() << "Software update failed: " + result.toStringHelper();
        return;
    }
    // Without a version the reply has not said which is the newest: never "latest installed".
    if (!hasVersion(reply)) {
        qWarning("Software update failed: the reply names no version");
        return;
    }
    const DongleVersion remote = versionFromJson(reply);
    const QString installer =
        reply.value(QLatin1String("release")).toObject().value(QLatin1String("installer")).toString();
    qInfo().noquote() << "Remove version: " + remote.toStringHelper();
    qInfo().noquote() << "Local version: " + appVersion().toStringHelper();

    if (!isNewerVersion(remote, appVersion())) {
        qInfo("Software update, skipped: latest version installed.");
        return;
    }
    // Without the maintenance tool the package's name is needed: a reply that names none
    // it may use is a failed check, not a question whose download could never be installed.
    QString tool;
    if (!findMaintenanceTool(tool) && !Installer::isValidInstallerName(installer)) {
        qWarning().noquote() << "Software update failed: invalid installer name!";
        return;
    }

    DirectorUi::Box box;
    box.title = tr("Software update");
    box.text = tr("Software update to %1 is available.<br>Do you want to update now?").arg(remote.toStringHelper());
    box.buttons = QStringList{tr("Update"), tr("Not now")};
    QPointer<OrvixDirector> self(this);
    m_ui->ask(box, [self, remote, installer](int answer) {
        if (self)
            self->onUpdateAnswered(remote, installer, answer);
    });
}

void OrvixDirector::onUpdateAnswered(const DongleVersion& remote, const QString& installer, int answer)
{
    if (answer != 0) {
        qInfo().noquote() << "Software update to " + remote.toStringHelper() + " postponed";
        return;
    }

    QString tool;
    if (findMaintenanceTool(tool)) {
        if (Installer::startMaintenance(tool)) {
            qInfo().noquote() << "Software update started: " + tool;
            onQuitApplication();
        } else {
            qWarning().noquote() << "Software update failed: unable to start " + tool + "!";
            emit showMessage(warning, tr("Software update"),
                tr("The software update could not be started. Please install the update manually."));
        }
        return;
    }
    installSoftwareUpdate(remote, installer);
}

bool OrvixDirector::findMaintenanceTool(QString& path) const
{
    return m_env.maintenanceDir.isEmpty() ? Installer::isMaintanable(path)
                                          : Installer::isMaintanable(path, QDir(m_env.maintenanceDir));
}

void OrvixDirector::installSoftwareUpdate(const DongleVersion& version, const QString& installer)
{
    m_ui->hideMainWindow();
    m_downloading = version.toStringHelper();
    m_ui->setProgress(0.0);
    m_ui->setProgressInfo(downloadInfo());
    m_ui->showProgressDialog();

    QPointer<OrvixDirector> self(this);
    API::DownloadTask* task = m_apiManager->download(
        QUrl(downloadUrl()),
        [self](API::DownloadTask*, double fraction, qint64) {
            if (self)
                self->m_ui->setProgress(fraction);
        },
        [self, installer](API::DownloadTask* finished, API::Result result) {
            if (self)
                self->onDownloadFinished(finished, result, installer);
        });
    // A download that could not start has already finished.
    if (task && task->status() == API::DownloadTask::InProgress) {
        QPointer<API::DownloadTask> guard(task);
        m_cancelConnection = connect(m_ui.get(), &DirectorUi::progressDialogClosed, task, [guard]() {
            if (guard)
                guard->cancel();
        });
    }
}

QString OrvixDirector::downloadInfo() const
{
    return tr("Downloading software update v %1. Installation will start automatically, please wait.")
        .arg(m_downloading);
}

void OrvixDirector::onDownloadFinished(API::DownloadTask* task, const API::Result& result, const QString& installer)
{
    disconnect(m_cancelConnection);
    m_downloading.clear();
    m_ui->hideProgressDialog();
    if (result.code == API::Result::Ok) {
        QString error;
        QPointer<OrvixDirector> self(this);
        if (Installer::start(task, installer, &error, [self](bool ok, const QString& why) {
                if (self)
                    self->onInstallerOpened(ok, why);
            }))
            return; // the opener's end decides
        onInstallerOpened(false, error);
        return;
    }
    m_ui->showMainWindow();
    if (result.code == API::Result::Aborted) {
        qInfo("Software update canceled (postponed)");
        return;
    }
    qWarning().noquote() << "Software update failed: " + result.toStringHelper() + "!";
    emit showMessage(warning, QString::fromLatin1(API::Result::ErrorDomain),
        QStringLiteral("<b>%1</b><br><br>%2")
            .arg(result.text.toHtmlEscaped(), result.detail.toHtmlEscaped()));
}

void OrvixDirector::onInstallerOpened(bool ok, const QString& error)
{
    if (ok) {
        qInfo("Software update started");
        // Quits as the tray's Quit does: a dongle gets its automatic zeroing back first, so
        // that the head mouse re-centres itself while the person goes through the installer.
        onQuitApplication();
        return;
    }
    // Nothing was installed: the application keeps running and says why.
    m_ui->showMainWindow();
    emit showMessage(warning, tr("Software update"),
        tr("The software update could not be installed.<br><br>%1").arg(error.toHtmlEscaped()));
}
