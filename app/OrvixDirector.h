#pragma once
// The application's controller. It notices the dongle on the USB bus, opens its serial port,
// starts it and applies the selected mouse profile; it is the dongle's delegate and turns every
// dongle and headset event into one of its signals (or a message); it runs the tray icon, the
// windows' show and hide rules, the language, the single-instance server and the software
// update. One director lives for the whole run.
#include "app/DirectorEnvironment.h"
#include "async/Mailbox.h"
#include "device/DongleDelegate.h"
#include "protocol/DongleResult.h"
#include "protocol/Records.h"
#include "protocol/SerialLine.h"
#include "usb/UsbFilter.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QSerialPort>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QTranslator>

#include <memory>

// Headset* travels in the director's signals: with the class known, Qt sees a QObject pointer.
#include "device/Headset.h"

class DirectorUi;
class Dongle;
class QCommandLineParser;
class QLocalServer;
class QLocalSocket;
class QAction;
class QMenu;
class QUsbManager;
class Settings;

namespace API {
class DownloadTask;
class Manager;
class Result;
}

class OrvixDirector : public QObject, public DongleDelegate {
    Q_OBJECT
public:
    enum MessageType : int {
        information = 0,
        warning = 1,
        critical = 2,
    };
    Q_ENUM(MessageType)

    // The dongle's USB ids.
    static constexpr quint16 DongleVendorId = 0x2E15;
    static constexpr quint16 DongleProductId = 0x0003;
    // The dongle's serial port.
    static constexpr qint32 DongleBaudRate = 57600;
    // The platform word of the software-update addresses.
    static const QString APP_DOWNLOAD_PLATFORM;
    // The re-zeroing countdown: the profiles page sets whole seconds under a minute; a stored
    // interval outside 0 .. CountdownLimitMs - 1 counts the default instead.
    static constexpr int CountdownLimitMs = 60000;
    static constexpr int CountdownDefaultMs = 5000;
    // The countdown a profile's zero time interval gives.
    static constexpr int countdownMs(int zeroTimeIntervalMs)
    {
        return zeroTimeIntervalMs < 0 || zeroTimeIntervalMs >= CountdownLimitMs ? CountdownDefaultMs
                                                                                : zeroTimeIntervalMs;
    }

    // The application: the system's ports and USB bus, the native settings store.
    OrvixDirector(const QCommandLineParser& parser, std::unique_ptr<DirectorUi> ui, QObject* parent = nullptr);
    // The same with the world replaced where env says so (development executable, tests).
    OrvixDirector(const QCommandLineParser& parser, std::unique_ptr<DirectorUi> ui, DirectorEnvironment env,
                  QObject* parent = nullptr);
    ~OrvixDirector() override;

    // Brings the windows up; once the main window has been drawn, starts the watchers, the tray
    // icon and the software update check. Called once after construction.
    void start();
    // Watches the USB bus (a dongle already plugged in is connected from the event loop) and
    // listens for a second start. Part of start(); on its own for a director that is never
    // shown. Once only, and never after stop().
    void startWatchers();
    // Takes the windows and the dongle down; the destructor does the same.
    void stop();

    void showMainWindow(bool show);
    void showInfinityProgress(const QString& text);
    void hideIninityProgress();
    void loadLanguage(const QString& language);
    // Ends the run (the main window's quit action ends here).
    void quitApplication();

    // ---- what pages and windows read ----
    Settings* settings() const { return m_settings.get(); }
    // The connected, started dongle; null when none.
    Dongle* dongle() const { return m_dongle; }
    // The connected dongle's headset; null when none.
    Headset* headset() const;
    QSerialPort* serialPort() const { return m_serialPort; }
    // The language code last given to loadLanguage (the stored one from the start).
    QString currentLanguage() const { return m_language; }
    DirectorUi* ui() const { return m_ui.get(); }
    QUsbManager* usbManager() const { return m_usbManager.get(); }
    QSystemTrayIcon* trayIcon() const { return m_trayIcon; }
    API::Manager* apiManager() const { return m_apiManager.get(); }
    const QCommandLineParser& parser() const { return m_parser; }

    // A channel-map entry (or the device a headset controls) is this computer when address,
    // port (bits 0-6) and device type (preset's high nibble) equal those of own.
    static bool isThisComputer(const OrvixDevice& entry, const OrvixDevice& own);

    // ---- software update ----
    // The version of this application.
    static DongleVersion appVersion();
    // True when remote is greater in the order major, minor, fix, build.
    static bool isNewerVersion(const DongleVersion& remote, const DongleVersion& local);
    // The "version" object of the service's reply (the application's and the LINK firmware's). A
    // member that is missing or not a whole number from 0 to 4294967295 counts as 0; each is
    // then cut to its field's width.
    static DongleVersion versionFromJson(const QJsonObject& reply);
    // True when the reply's "version" is an object with at least one of its parts, and every
    // part it holds a whole number from 0 to 4294967295: a version the service really named.
    static bool hasVersion(const QJsonObject& reply);
    static QString infoUrl();
    static QString downloadUrl();
    void checkSoftwareUpdate();
    void installSoftwareUpdate(const DongleVersion& version, const QString& installer);

    // ---- DongleDelegate ----
    void progressUpdate(const Progress::Context& context) override;
    void dongleUpdated(Dongle* dongle, DongleChangeMask mask) override;
    void headsetFound(Dongle* dongle, Headset* headset) override;
    void headsetLost(Dongle* dongle, Headset* headset) override;
    void headsetUpdated(Dongle* dongle, Headset* headset, HeadsetChangeMask mask) override;
    void deviceFound(Dongle* dongle, NPP const& npp) override;
    void headsetRssiUpdatede(Dongle* dongle, unsigned short rssi) override;
    void headsetChannelChanged(Dongle* dongle, Headset* headset, int previous, int current) override;
    void headsetStatusChanged(Dongle* dongle, Headset* headset, bool active, bool flag) override;
    void dongleError(Dongle* dongle, DongleResult result) override;
    DongleResult* lastError() override;
    void playAudioFeedback() override;

signals:
    void settingsChangedSignal(Settings* settings);
    void dongleConnectedSignal(Dongle* dongle);
    void dongleDisconnectedSignal(Dongle* dongle, DongleResult result);
    void dongleNotConnectedSignal(Dongle* dongle, DongleResult error);
    void dongleUpdatedSignal(Dongle* dongle, DongleChangeMask mask);
    void headsetUpdatedSignal(Headset* headset, HeadsetChangeMask mask);
    void deviceFoundSignal(Dongle* dongle, NPP const& device);
    void headsetChannelChangedSignal(Headset* headset, int channel);
    void headsetStatusChangedSignal(Headset* headset, bool active);
    void showMessage(OrvixDirector::MessageType type, const QString& title, const QString& message);
    void updateProgress(const Progress::Context* context);

public slots:
    void onUsbDeviceInserted(QtUsb::FilterList list);
    void onUsbDeviceRemoved(QtUsb::FilterList list);
    void onDongleConnected();
    void onDongleDisconnected();
    void onSettingsChanged();

    void onShowMainWindow();
    void onShowHideMainWindow();
    void onTrayIconActivated(QSystemTrayIcon::ActivationReason reason);
    void onQuitApplication();
    void onShowMessage(OrvixDirector::MessageType type, const QString& title, const QString& message);
    void onClientConnected();
    void onClientReadyToRead();
    void onClientDisconnected();

private:
    void construct();
    void setupTrayIcon();
    // The tray's texts in the current language.
    void retranslateTray();
    // The text of the download's window for the update being downloaded, in the current language.
    QString downloadInfo() const;
    bool isDongleFilter(const QtUsb::DeviceFilter& filter) const;
    // Connects the dongle once the connection delay has passed, unless a dongle leaves the bus
    // or a later attempt is scheduled meanwhile.
    void connectAfterDelay();
    // The dongle reporting is the connected one or the one being started.
    bool isOurs(Dongle* dongle) const;
    // Opens one listed port; the open port, or null (then it is closed and deleted).
    QSerialPort* openPort(const SerialPortEntry& entry);
    QList<SerialPortEntry> listPorts() const;
    // The entry carries the dongle's ids and names a serial device.
    static bool isDonglePort(const SerialPortEntry& entry);
    // The names of the listed serial ports that are the dongle's.
    QStringList donglePortNames() const;
    bool isDonglePortListed() const;
    // The running USB watcher saw the dongle on the bus at its last look.
    bool isDongleOnBus() const;
    // Without a USB watcher: connects a dongle port that has appeared since the last look.
    void onPortScan();
    // The port's line is gone (hung up, its device vanished, or failing for good): the
    // dongle's loss path, logged once with reason.
    void onLineGone(QSerialPort* port, const QString& reason);
    // After a lost line whose port is still listed, or while the bus lists a dongle whose port
    // is not there: the next attempt to connect, after a pause that doubles with each attempt;
    // past ReconnectAttempts the person is asked to re-plug the dongle (when its port is listed).
    // Nothing happens once neither the port nor the bus lists it.
    void scheduleReconnect();
    void endReconnect();
    // Watches the line of the port kept after a failed start again.
    void resumeKeptPort();
    // Tells the person that the dongle does not answer and is to be plugged in again.
    void askToReplugDongle();
    // The title and the text of that request.
    QStringList replugMessage() const;
    void onStartFinished(Dongle* dongle, quint64 generation, const DongleResult& result);
    void reportConnected(Dongle* dongle);
    // The title of the message that the selected profile could not be applied.
    QString profileNotAppliedTitle() const;
    void releasePort();
    void askHeadsetRetry(QPointer<QObject> headset, QPointer<Dongle> dongle);
    // The answer to "Do you want to try again?": retry clears the failure, anything else starts
    // the watchdog; nothing when the headset asked about is gone.
    void answerHeadsetRetry(QPointer<QObject> headset, QPointer<Dongle> dongle, bool retry);
    // The failed headset asked about while it and its dongle are still the director's, else null.
    Headset* askedHeadset(const QPointer<QObject>& headset, const QPointer<Dongle>& dongle) const;
    void runCountdown(Dongle* dongle, bool visual, int milliseconds);
    // Shows the message; closed is called once it has been closed. A message whose box is still
    // open is not shown a second time (closed is then never called).
    void present(MessageType type, const QString& title, const QString& message,
                 std::function<void()> closed);
    // Closes, unanswered, the open boxes of messages with that title (of any type and text).
    void withdrawMessages(const QString& title);
    static QString messageKey(MessageType type, const QString& title, const QString& message);
    void readClient(QLocalSocket* client);
    static constexpr qint64 kMaxClientBytes = 4096;
    // The update service's address from the command line ("--service-url") or the settings.
    void configureUpdateService();
    // Tells the user once about settings reset after damage, or that changes are not kept.
    void reportSettingsProblems();
    void onUpdateInfo(const API::Result& result, const QJsonObject& reply);
    // The person's answer to the update question (0: update now).
    void onUpdateAnswered(const DongleVersion& remote, const QString& installer, int answer);
    // The installer's opener has ended (ok: the installer is in front of the person).
    void onInstallerOpened(bool ok, const QString& error);
    // The maintenance tool beside the application (path set), if there is one.
    bool findMaintenanceTool(QString& path) const;
    void onDownloadFinished(API::DownloadTask* task, const API::Result& result, const QString& installer);

    // Headset fields read and written by the director.
    static DongleResult headsetError(Headset* headset);
    static void acknowledgeHeadsetError(Headset* headset);
    static void clearHeadsetError(Headset* headset);
    static void startHeadsetWatchdog(Headset* headset);
    // The headset, unfailed, actively controls this computer through that dongle.
    static bool controlsThisComputer(Headset* headset, Dongle* dongle);
    static OrvixDevice headsetDevice(Headset* headset);
    static ChannelMap headsetChannelMap(Headset* headset);
    static QObject* headsetObject(Headset* headset);
    static void registerHeadsetMetaType();

    const QCommandLineParser& m_parser;
    DirectorEnvironment m_env;
    std::unique_ptr<Settings> m_settings;
    // Owns the main window, sidebar, crosshair window, progress window and sound player.
    std::unique_ptr<DirectorUi> m_ui;
    Progress::Context m_progress;
    QTranslator m_translator;
    // Qt's own texts in the language in use; none for English.
    QTranslator m_qtTranslator;
    QString m_language;
    bool m_translatorInstalled = false;
    bool m_qtTranslatorInstalled = false;
    Dongle* m_dongle = nullptr;
    // Changes whenever a dongle leaves the bus or an attempt is scheduled, so that only the
    // latest attempt runs; the attempts still waiting for their delay.
    quint64 m_arrivalGeneration = 0;
    int m_pendingArrivals = 0;
    // The dongle being started (between its port opening and its start completion).
    Dongle* m_startingDongle = nullptr;
    // Changes whenever a start is abandoned, so that its late completion is ignored.
    quint64 m_startGeneration = 0;
    // Dongles that failed to start, waiting for their deletion by the event loop.
    QList<QPointer<Dongle>> m_failedDongles;
    DongleResult m_lastResult;
    QtUsb::DeviceFilter m_dongleFilter;
    // The watcher's reports, handed to this thread (declared before the watcher, which must
    // stop before its mailbox goes).
    Mailbox m_usbReports;
    std::unique_ptr<QUsbManager> m_usbManager;
    QSerialPort* m_serialPort = nullptr;
    // The port's loss is queued (its errors repeat until it is closed).
    bool m_lineLost = false;
    // Reads the port kept after a failed start again after a failure on its live line.
    SerialLine::ReadRetry m_keptPortRetry { this, [this] { resumeKeptPort(); } };
    // Attempts to connect again after a lost line (0: none under way), the pending one, and
    // since when the connected dongle works.
    static constexpr int ReconnectAttempts = 5;
    static constexpr qint64 ReconnectStableMs = 30000;
    int m_reconnectAttempts = 0;
    QTimer m_reconnect;
    // The dongle ports listed at the last look, while the USB watcher does not run.
    QTimer m_portScan;
    QStringList m_scannedPorts;
    QElapsedTimer m_connectedSince;
    QPointer<QSystemTrayIcon> m_trayIcon;
    // Since the last click on the tray icon.
    QElapsedTimer m_trayClick;
    QPointer<QMenu> m_trayMenu;
    QPointer<QAction> m_showAction;
    QPointer<QAction> m_quitAction;
    QLocalServer* m_localServer = nullptr;
    QList<QLocalSocket*> m_clients;
    std::unique_ptr<API::Manager> m_apiManager;
    QMetaObject::Connection m_cancelConnection;
    // The version being downloaded as its window names it; empty while no download runs.
    QString m_downloading;
    // The boxes of present() open now, by what they say: each closes unanswered once its object
    // is deleted.
    QHash<QString, QPointer<QObject>> m_openMessages;
    bool m_stopped = false;
    bool m_started = false;
};

Q_DECLARE_METATYPE(OrvixDirector::MessageType)
