#include "ui/firmware/DFUGetFirmwareForm.h"

#include "ui_DFUGetFirmwareForm.h"

#include "app/ApiManager.h"
#include "app/DownloadTask.h"
#include "app/OrvixDirector.h"
#include "protocol/Print.h"
#include "ui/firmware/CabledLink.h"
#include "ui/firmware/DFUFormDelegate.h"
#include "ui/firmware/FirmwareImage.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QJsonValue>
#include <QPixmap>
#include <QPointer>
#include <QSaveFile>
#include <QSignalBlocker>
#include <QStandardPaths>

#include <cmath>

namespace OX
{

const QString linkFirmwareUrlVersion = QStringLiteral("2.0");

namespace
{

const QString InfoIcon = QStringLiteral(":/icons/info");
const QString ErrorIcon = QStringLiteral(":/icons/error");
constexpr int PercentScale = 100;

QByteArray fileHash(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return QByteArray();
    return hash.result();
}

bool sameContents(const QString& a, const QString& b)
{
    if (QFileInfo(a).size() != QFileInfo(b).size())
        return false;
    const QByteArray hashA = fileHash(a);
    return !hashA.isEmpty() && hashA == fileHash(b);
}

// Puts the file at from into the store as target, whole or not at all: the store never holds a
// copy cut short, and a different file of that name (an earlier copy cut short) gives way to it.
bool storeWhole(const QString& from, const QString& target)
{
    if (QFileInfo::exists(target) && sameContents(from, target))
        return true;
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QSaveFile out(target);
    bool written = out.open(QIODevice::WriteOnly);
    qint64 copied = 0;
    while (written && !in.atEnd()) {
        const QByteArray chunk = in.read(64 * 1024);
        written = !chunk.isEmpty() && out.write(chunk) == chunk.size();
        copied += chunk.size();
    }
    if (!written || copied != in.size() || !out.commit()) {
        qWarning().noquote() << "Unable to store the firmware download as" << target << out.errorString();
        return false;
    }
    return true;
}

} // namespace

DFUGetFirmwareForm::DFUGetFirmwareForm(DFUFormDelegate& delegate, QWidget* parent)
    : DFUForm(delegate, parent)
    , m_ui(std::make_unique<::Ui::DFUGetFirmwareForm>())
    , m_api(new API::Manager(this))
{
    m_ui->setupUi(this);
    // The status line names files as they are called ("<b>fw.enc" is no markup).
    m_ui->downloadInfo->setTextFormat(Qt::PlainText);
    connect(m_ui->downloadButton, &QPushButton::clicked, this, &DFUGetFirmwareForm::onDownloadPressed);
    connect(m_ui->browseButton, &QPushButton::clicked, this, &DFUGetFirmwareForm::onBrowsePressed);
    connect(m_ui->customCheckBox, &QCheckBox::clicked, this, &DFUGetFirmwareForm::onOwnFirmwareToggled);
    connect(m_ui->firmwareComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
        [this](int index) { onStoredFirmwareChosen(m_ui->firmwareComboBox->itemText(index)); });
}

DFUGetFirmwareForm::~DFUGetFirmwareForm() = default;

QString DFUGetFirmwareForm::infoUrl() const
{
    return API::serviceUrl(QStringLiteral("/api/v1/firmware/link/%1/%2.%3/info")
                               .arg(linkFirmwareUrlVersion)
                               .arg(LinkHardwareMajor)
                               .arg(LinkHardwareMinor))
        .toString();
}

QString DFUGetFirmwareForm::downloadUrl() const
{
    return API::serviceUrl(QStringLiteral("/api/v1/firmware/link/%1/%2.%3/download")
                               .arg(linkFirmwareUrlVersion)
                               .arg(LinkHardwareMajor)
                               .arg(LinkHardwareMinor))
        .toString();
}

QString DFUGetFirmwareForm::firmwareFolderPath()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir::cleanPath(data + QStringLiteral("/LinkFirmwares"));
}

QString DFUGetFirmwareForm::fileNameFor(const DongleVersion& v)
{
    return QStringLiteral("Link_Firmware_%1.%2.%3(%4).enc").arg(v.major).arg(v.minor).arg(v.fix).arg(v.build);
}

void DFUGetFirmwareForm::setStatus(const QString& icon, const QString& text)
{
    m_ui->statusIcon->setPixmap(QPixmap(icon));
    m_ui->downloadInfo->setText(text);
}

void DFUGetFirmwareForm::setServiceStallMs(int ms)
{
    m_api->setStallMs(ms);
}

// ---- visit ----------------------------------------------------------------------------------

void DFUGetFirmwareForm::retranslate()
{
    delegate.setFormTitle(tr("Select firmware"));
}

void DFUGetFirmwareForm::pageWillAppear()
{
    retranslate();
    // A revived LINK's firmware could not be read: what the wizard holds is an earlier LINK's.
    m_ui->currentVersion->setText(
        delegate.recoveryMode() ? tr("Unknown") : delegate.linkVersion().toString());
    m_ui->remoteVersion->setText(tr("Unknown"));
    delegate.setNextStepEnabled(this, false, tr("Upload"));
    delegate.setFormTitle(tr("Select firmware"));
    setStatus(InfoIcon, tr("Checking internet connection"));
    m_ui->firmwareComboBox->clear();
    m_ui->customCheckBox->setChecked(false);
    m_ui->customCheckBox->setEnabled(true);
    m_ui->browseButton->setEnabled(false);
    m_ui->firmwareComboBox->setEnabled(false);
    // An earlier visit's offer was for the LINK then (perhaps older than this one): only this
    // visit's check offers a download.
    m_ui->downloadButton->setEnabled(false);
    m_ui->progressBar->setValue(0);
    m_ui->estimationValue->clear();
}

void DFUGetFirmwareForm::pageDidAppear()
{
    DFUForm::pageDidAppear();
    const quint64 visit = this->visit();
    const QString folder = firmwareFolderPath();
    if (!QDir().mkpath(folder))
        delegate.stepFailed(this, tr("Unable to write Application folder."));
    if (!isVisit(visit))
        return; // the failed form took over

    const QStringList files = QDir(folder).entryList(
        { QStringLiteral("*.enc"), QStringLiteral("*.ENC") }, QDir::Files, QDir::Unsorted);
    m_ui->firmwareComboBox->addItems(files);
    m_ui->firmwareComboBox->setCurrentIndex(-1);

    const QString url = infoUrl();
    if (url.isEmpty()) {
        // Nothing to ask: say so rather than check for good.
        qInfo().noquote() << "No update service is set, the online link firmware is not checked";
        setStatus(InfoIcon, tr("No update service is set"));
        return;
    }
    qInfo().noquote() << "Checking link firmware version at <" << url << ">";
    QPointer<DFUGetFirmwareForm> self(this);
    m_api->isReachable(QUrl(url), [self, visit](bool reachable) {
        if (self)
            self->onReachable(reachable, visit);
    });
}

void DFUGetFirmwareForm::onReachable(bool reachable, quint64 visit)
{
    if (!isVisit(visit))
        return;
    if (!reachable) {
        qInfo().noquote() << "Download link firmware is not possible, the host is unreachable";
        setStatus(ErrorIcon, tr("The update service cannot be reached"));
        return;
    }
    setStatus(InfoIcon, tr("Checking available firmware"));
    QPointer<DFUGetFirmwareForm> self(this);
    m_api->apiGet(QUrl(infoUrl()), [self, visit](API::Result result, QJsonObject reply) {
        if (self)
            self->onInfo(result, reply, visit);
    });
}

void DFUGetFirmwareForm::onInfo(const API::Result& result, const QJsonObject& reply, quint64 visit)
{
    if (!isVisit(visit))
        return;
    // A reply naming no readable version has not said which firmware is the newest.
    if (result.code != API::Result::Ok || !OrvixDirector::hasVersion(reply)) {
        setStatus(ErrorIcon, tr("Error during firmware version check"));
        return;
    }
    const DongleVersion remote = OrvixDirector::versionFromJson(reply);
    m_remoteFileName = fileNameFor(remote);
    const DongleVersion local = delegate.recoveryMode() ? DongleVersion() : delegate.linkVersion();
    m_ui->remoteVersion->setText(remote.toString());
    qInfo().noquote() << "Remove version: " << remote.toString();
    qInfo().noquote() << "Local version: " << local.toString();
    if (OrvixDirector::isNewerVersion(remote, local)) {
        m_ui->downloadInfo->setText(tr("New Link firmware available"));
        m_ui->downloadButton->setEnabled(isChoosing());
    } else {
        m_ui->downloadInfo->setText(tr("There is no new Link firmware available"));
    }
}

// ---- download -------------------------------------------------------------------------------

void DFUGetFirmwareForm::onDownloadPressed()
{
    m_ui->downloadButton->setEnabled(false);
    setStatus(InfoIcon, tr("Downloading firmware"));
    m_downloadVisit = visit();
    m_listChoicesAtDownload = m_listChoices;
    if (m_download && m_download->status() == API::DownloadTask::InProgress)
        return; // begun on an earlier visit: it now ends in this one
    const QString fileName = m_remoteFileName;
    QPointer<DFUGetFirmwareForm> self(this);
    m_download = m_api->download(
        QUrl(downloadUrl()),
        [self](API::DownloadTask*, double fraction, qint64 secondsLeft) {
            if (!self || !self->isVisit(self->m_downloadVisit))
                return;
            const double percent = qBound(0.0, fraction * PercentScale, double(PercentScale));
            self->m_ui->progressBar->setValue(int(percent));
            // -1: no estimate (nothing read yet, or a size the server did not tell): no time is
            // claimed, where "less than 1 minute" would be said for any download.
            self->m_ui->estimationValue->setText(
                secondsLeft < 0 ? QString() : Print::remainingTimeFromSec(secondsLeft));
        },
        [self, fileName](API::DownloadTask* task, API::Result result) {
            if (self)
                self->onDownloadFinished(task, result, fileName, self->m_downloadVisit);
        });
    // No LINK holds more: a service that sends more is cut off rather than left to fill the
    // disk, and the download fails.
    m_download->setMaxBytes(FirmwareImage::MaxBytes);
}

void DFUGetFirmwareForm::onDownloadFinished(
    API::DownloadTask* task, const API::Result& result, const QString& fileName, quint64 visit)
{
    // The download is put into the store whenever it came, so that it is not lost.
    const QString target = QDir(firmwareFolderPath()).filePath(fileName);
    bool stored = false;
    if (result.code == API::Result::Ok && task && !fileName.isEmpty()) {
        // What the service sent may be no firmware at all (an empty answer): it never goes into
        // the store, where it would take the place of a good file of its name.
        const QString problem = FirmwareImage::problemWith(task->filePath());
        if (!problem.isEmpty()) {
            qWarning().noquote() << "The firmware download is refused:" << problem;
        } else {
            QDir().mkpath(firmwareFolderPath());
            stored = storeWhole(task->filePath(), target);
        }
    }
    if (!isVisit(visit) || !isChoosing())
        return; // left, a later visit runs, or Upload was pressed: the firmware is chosen there
    m_ui->estimationValue->clear();
    if (!stored) {
        setStatus(ErrorIcon, tr("Error during firmware download"));
        return;
    }
    const QString problem = FirmwareImage::problemWith(target);
    if (!problem.isEmpty()) {
        setStatus(ErrorIcon, problem);
        return;
    }
    // A download of untold size reports no fraction: it ends at 0 % without this.
    m_ui->progressBar->setValue(m_ui->progressBar->maximum());
    const QString name = QFileInfo(target).fileName();
    if (fileName != m_remoteFileName) {
        // Begun for the version an earlier visit was offered: not the one offered now (perhaps
        // older than this LINK's). It waits in the list, and the offered one may be downloaded.
        putInList(name, false);
        setStatus(ErrorIcon, tr("The firmware downloaded is not the version offered; download it again"));
        m_ui->downloadButton->setEnabled(true);
        return;
    }
    if (m_listChoices != m_listChoicesAtDownload) {
        // A file was chosen in the list while this downloaded: it stays the one sent, and the
        // download waits in the list.
        putInList(name, false);
        setStatus(
            InfoIcon, tr("New firmware downloaded into the list; the firmware chosen there stays chosen"));
        return;
    }
    delegate.setFirmwarePath(target);
    delegate.setNextStepEnabled(this, true, tr("Upload"));
    // The list names the firmware that Upload sends, not one chosen there before.
    putInList(name, true);
    setStatus(InfoIcon, tr("New firmware succesfull downloaded"));
}

void DFUGetFirmwareForm::putInList(const QString& name, bool select)
{
    QComboBox* list = m_ui->firmwareComboBox;
    const QSignalBlocker quiet(list);
    const int shown = list->currentIndex();
    if (list->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
        list->addItem(name);
    list->setCurrentIndex(select ? list->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive) : shown);
}

// ---- own firmware ---------------------------------------------------------------------------

void DFUGetFirmwareForm::onOwnFirmwareToggled(bool checked)
{
    m_ui->browseButton->setEnabled(checked);
    m_ui->firmwareComboBox->setEnabled(checked);
}

void DFUGetFirmwareForm::onStoredFirmwareChosen(const QString& text)
{
    if (!m_ui->customCheckBox->isChecked() || !isChoosing())
        return;
    ++m_listChoices;
    if (text.isEmpty()) {
        // Nothing selected is no firmware: the chosen one stays, but Next waits for a choice.
        delegate.setNextStepEnabled(this, false, tr("Upload"));
        return;
    }
    const QString path = QDir(firmwareFolderPath()).filePath(text);
    const QString problem = FirmwareImage::problemWith(path);
    if (!problem.isEmpty()) {
        // Said beside the list; nothing is chosen and Next waits for another file.
        setStatus(ErrorIcon, problem);
        delegate.setNextStepEnabled(this, false, tr("Upload"));
        return;
    }
    delegate.setFirmwarePath(path);
    delegate.setNextStepEnabled(this, true, tr("Upload"));
}

void DFUGetFirmwareForm::onBrowsePressed()
{
    if (m_filePicker) {
        for (const QString& path : m_filePicker(this))
            addOwnFirmware(path);
        return;
    }
    auto* dialog = new QFileDialog(this, QString(), QString(), QString());
    dialog->setFileMode(QFileDialog::AnyFile);
    // Qt's own dialog: it wears the skin and speaks the application's language.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setNameFilter(QStringLiteral(" (*.enc)"));
    delegate.open(dialog, { this }, [this, dialog](int result) {
        if (result != QDialog::Accepted)
            return;
        for (const QString& path : dialog->selectedFiles())
            addOwnFirmware(path);
    });
}

void DFUGetFirmwareForm::addOwnFirmware(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    // The dialog's filter only hides other files: a name typed there may be of any kind, and the
    // store takes LINK firmware files (*.enc) only.
    if (!name.endsWith(QLatin1String(".enc"), Qt::CaseInsensitive)) {
        emit showError(tr("Firmware file"), tr("%1 is not a LINK firmware file (*.enc).").arg(name));
        return;
    }
    // Checked before anything reads it: copying a named pipe would wait for a writer for good.
    const QString problem = FirmwareImage::problemWith(path);
    if (!problem.isEmpty()) {
        emit showError(tr("Firmware file"), problem);
        return;
    }
    const QString target = QDir(firmwareFolderPath()).filePath(name);
    QComboBox* list = m_ui->firmwareComboBox;
    if (QFileInfo::exists(target)) {
        const bool same = QFileInfo(path).canonicalFilePath() == QFileInfo(target).canonicalFilePath()
            || sameContents(path, target);
        if (!same) {
            emit showError(tr("Firmware file"),
                tr("The firmware folder already holds a different file named %1. Rename your file and "
                   "select it again.")
                    .arg(name));
            return;
        }
    } else if (!QFile::copy(path, target)) {
        emit showError(tr("Firmware file"), tr("Unable to copy %1 into the firmware folder.").arg(name));
        return;
    }
    if (list->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
        list->addItem(name);
    list->setCurrentIndex(list->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

// ---- Next -----------------------------------------------------------------------------------

void DFUGetFirmwareForm::prepareForNavigation(NavigationDirection direction, std::function<void()> done)
{
    if (direction != Forward)
        return;
    // The chosen file may have gone from the store, or changed, since it was chosen: the LINK is
    // not restarted for an image that cannot be sent, and another may be chosen.
    const QString problem = FirmwareImage::problemWith(delegate.firmwarePath());
    if (!problem.isEmpty()) {
        setStatus(ErrorIcon, problem);
        delegate.setNextStepEnabled(this, false, tr("Upload"));
        return;
    }
    if (delegate.recoveryMode()) {
        done(); // the revived LINK waits in its bootloader already
        return;
    }
    delegate.setNextStepEnabled(this, false, tr("Upload"));
    // The LINK restarts for the firmware chosen now: nothing ending meanwhile (a download, a
    // change of the list) takes its place or enables Upload again.
    m_settledIn = visit();
    for (QWidget* control : std::initializer_list<QWidget*> {
             m_ui->downloadButton, m_ui->customCheckBox, m_ui->browseButton, m_ui->firmwareComboBox })
        control->setEnabled(false);
    Dongle* dongle = delegate.getDongle();
    if (!dongle) {
        delegate.stepFailed(this, tr("Dongle not connected or lost."));
        return;
    }
    QPointer<DFUGetFirmwareForm> self(this);
    const quint64 visit = this->visit();
    const QPointer<Link> link = makeCabledLink(*dongle);
    link->startBootloader([self, visit, link, done](DongleResult result) {
        releaseCabledLink(link);
        if (!self || !self->isVisit(visit))
            return;
        if (result.code != DongleResult::Ok)
            self->delegate.stepFailed(self, tr("Unable to start Link bootloader."));
        else
            done();
    });
}

void DFUGetFirmwareForm::retranslateForm()
{
    retranslateKeeping(
        *m_ui, { m_ui->downloadInfo, m_ui->currentVersion, m_ui->remoteVersion, m_ui->estimationValue });
}

} // namespace OX
