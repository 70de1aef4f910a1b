#pragma once
// Step 3 of the firmware wizard: settles which firmware file the Upload step sends. The newest
// LINK firmware of the maker's service is offered when it is newer than the LINK's; a file of the
// local firmware store, or any file the user picks (first copied into the store), may be chosen
// instead. "Upload" restarts the LINK into its bootloader, except when it is being revived (it
// waits in its bootloader already). No way back.
//
// A web exchange that goes silent (the network lost on the way) fails after the service's
// limit on silence, as any failed exchange does, instead of checking or downloading for good.
//
// Web answers act only within the visit that asked: one that ends after the step was left, or
// after a later visit began, may still put a download into the store but never chooses the
// firmware or enables Next.
#include "ui/firmware/DFUForm.h"

#include "protocol/Records.h"

#include <QJsonObject>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

namespace API
{
class DownloadTask;
class Manager;
class Result;
} // namespace API

namespace Ui
{
class DFUGetFirmwareForm;
}

namespace OX
{

// The firmware family the service is asked about ("2.0"), the same for the whole process.
extern const QString linkFirmwareUrlVersion;

class DFUGetFirmwareForm : public DFUForm
{
    Q_OBJECT
public:
    // Asks the user for firmware files; an empty list when cancelled.
    using FilePicker = std::function<QStringList(QWidget* parent)>;

    // The hardware generation the service is asked about: 0.11.
    static constexpr int LinkHardwareMajor = 0;
    static constexpr int LinkHardwareMinor = 11;

    DFUGetFirmwareForm(DFUFormDelegate& delegate, QWidget* parent = nullptr);
    ~DFUGetFirmwareForm() override;

    void retranslate() override;
    void retranslateForm() override;
    // Shows the LINK's version, disables Next ("Upload") and Download, empties the list and clears
    // the box.
    void pageWillAppear() override;
    // Lists the store and asks the service for its newest firmware.
    void pageDidAppear() override;
    void prepareForNavigation(NavigationDirection direction, std::function<void()> done) override;

    // Connected in the constructor.
    void onDownloadPressed();
    void onBrowsePressed();
    void onOwnFirmwareToggled(bool checked);
    void onStoredFirmwareChosen(const QString& text);

    // Empty while no service is set.
    QString infoUrl() const;
    QString downloadUrl() const;
    // The local firmware store: the application data folder's "LinkFirmwares".
    static QString firmwareFolderPath();
    // "Link_Firmware_<major>.<minor>.<fix>(<build>).enc"
    static QString fileNameFor(const DongleVersion& version);

    // For tests: replaces the file dialog of Browse.
    void setFilePicker(FilePicker picker) { m_filePicker = std::move(picker); }
    // For tests: a shorter silence.
    void setServiceStallMs(int ms);

private:
    void onReachable(bool reachable, quint64 visit);
    void onInfo(const API::Result& result, const QJsonObject& reply, quint64 visit);
    void onDownloadFinished(
        API::DownloadTask* task, const API::Result& result, const QString& fileName, quint64 visit);
    // Copies a picked file into the store and selects it; a different file of the same name
    // already there is not replaced (warning box, selection unchanged).
    void addOwnFirmware(const QString& path);
    // Adds name to the list when missing and, with select, selects it; nothing is chosen through
    // the list by this.
    void putInList(const QString& name, bool select);
    // False once Upload was pressed in the step's visit: the firmware stays as the person chose it
    // while the LINK restarts into its bootloader.
    bool isChoosing() const { return !isVisit(m_settledIn); }
    void setStatus(const QString& icon, const QString& text);

    std::unique_ptr<::Ui::DFUGetFirmwareForm> m_ui;
    API::Manager* m_api; // owned (child)
    QString m_remoteFileName;
    // The last download begun, and the visit it now serves: one begun on an earlier visit goes on
    // for a later one that asks again, since a second download would empty the download folder
    // under it.
    QPointer<API::DownloadTask> m_download;
    quint64 m_downloadVisit = 0;
    // Choices made in the list, and their count when Download was last pressed: a file chosen
    // there after the press is the person's last word, which the finished download leaves chosen.
    quint64 m_listChoices = 0;
    quint64 m_listChoicesAtDownload = 0;
    FilePicker m_filePicker;
    quint64 m_settledIn = 0; // the visit in which Upload was pressed
};

} // namespace OX
