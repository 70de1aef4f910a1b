#include "app/OrvixDirector.h"

#include "app/ApiManager.h"
#include "app/DirectorUi.h"
#include "app/InstanceSignal.h"
#include "app/Settings.h"
#include "device/Dongle.h"
#include "protocol/SerialLine.h"
#include "usb/QUsbManager.h"

#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLocale>
#include <QMenu>
#include <QMetaEnum>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QTimer>
#include <QtDebug>

#include <algorithm>

namespace {

constexpr char kLogoIcon[] = ":/icons/logo";
constexpr char kLanguageResource[] = ":/languages/%1";
constexpr char kQtTranslation[] = "qtbase_";
// The style of the download link in the revision-mismatch message.
constexpr char kLinkStyle[] = "color:lightBlue; text-decoration:none";

QString messageTypeName(OrvixDirector::MessageType type)
{
    const QMetaEnum e = QMetaEnum::fromType<OrvixDirector::MessageType>();
    const char* key = e.valueToKey(type);
    return key ? QString::fromLatin1(key) : QString::number(int(type));
}

} // namespace

QList<SerialPortEntry> SerialPortEntry::systemPorts()
{
    QList<SerialPortEntry> list;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports) {
        SerialPortEntry entry;
        entry.portName = info.portName();
        entry.description = info.description();
        entry.systemLocation = info.systemLocation();
        entry.hasVendorId = info.hasVendorIdentifier();
        entry.hasProductId = info.hasProductIdentifier();
        entry.vendorId = info.vendorIdentifier();
        entry.productId = info.productIdentifier();
        list.append(entry);
    }
    return list;
}

// ---- Construction ------------------------------------------------------------------------------

OrvixDirector::OrvixDirector(const QCommandLineParser& parser, std::unique_ptr<DirectorUi> ui, QObject* parent)
    : OrvixDirector(parser, std::move(ui), DirectorEnvironment(), parent)
{
}

OrvixDirector::OrvixDirector(const QCommandLineParser& parser, std::unique_ptr<DirectorUi> ui,
                             DirectorEnvironment env, QObject* parent)
    : QObject(parent)
    , m_parser(parser)
    , m_env(std::move(env))
    , m_ui(std::move(ui))
    , m_progress(this)
{
    construct();
}

void OrvixDirector::construct()
{
    // Members, in the order of their lifetime: settings, windows, translator, the last result,
    // the dongle's USB identity, the local server, the web service client (the USB watcher and
    // the server's listening come with startWatchers).
    if (m_env.settingsFile.isEmpty())
        m_settings = std::make_unique<Settings>(this);
    else
        m_settings = std::make_unique<Settings>(m_env.settingsFile, this);
    m_settings->setDongleProvider([this]() { return m_dongle; });
    m_settings->setLanguageLoader([this](const QString& language) { loadLanguage(language); });

    m_ui->create(this);

    m_lastResult = DongleResult(DongleResult::Ok);
    m_dongleFilter.pid = DongleProductId;
    m_dongleFilter.vid = DongleVendorId;

    QtUsb::registerMetaTypes();
    m_localServer = new QLocalServer(this);
    m_apiManager = std::make_unique<API::Manager>();

    qRegisterMetaType<OrvixDirector::MessageType>("MessageType");
    qRegisterMetaType<OrvixDirector::MessageType>("OrvixDirector::MessageType");
    qRegisterMetaType<Dongle*>("Dongle*");
    qRegisterMetaType<Settings*>("Settings*");
    qRegisterMetaType<NPP>("NPP");
    qRegisterMetaType<const Progress::Context*>("const Progress::Context*");
    registerHeadsetMetaType();

    m_reconnect.setSingleShot(true);
    connect(&m_reconnect, &QTimer::timeout, this, &OrvixDirector::onDongleConnected);

    loadLanguage(m_settings->language());

    connect(m_localServer, &QLocalServer::newConnection, this, &OrvixDirector::onClientConnected);

    connect(m_settings.get(), &Settings::settingsChangedSignal, this, &OrvixDirector::onSettingsChanged);

    connect(m_ui.get(), &DirectorUi::statusIconAction, this, &OrvixDirector::onShowHideMainWindow);
    // Boxes are asked for from the event loop, never from inside a dongle callback, where the
    // dongle may be in the middle of going away.
    connect(this, &OrvixDirector::showMessage, this, &OrvixDirector::onShowMessage, Qt::QueuedConnection);

    configureUpdateService();
    reportSettingsProblems();
}

OrvixDirector::~OrvixDirector()
{
    stop();
    for (QLocalSocket* client : qAsConst(m_clients))
        client->abort();
    m_localServer->close();
    m_apiManager.reset();
    delete m_trayIcon.data();
    delete m_trayMenu.data();
    m_usbManager.reset();
    m_ui.reset();
}

// ---- Start and stop ----------------------------------------------------------------------------

void OrvixDirector::start()
{
    if (m_started)
        return;
    m_started = true;
    // The main window first; what it does not need follows (the sounds are made on first use).
    m_ui->createSoundPlayer();
    m_ui->attachMainWindow();
    m_ui->showMainWindow();
    // The bus, the second start's signal, the tray icon (its image and the system's file types)
    // and the update check follow once the window has been drawn.
    m_ui->afterFirstSight([this] {
        if (m_stopped)
            return;
        startWatchers();
        if (m_env.trayIcon)
            setupTrayIcon();
        checkSoftwareUpdate();
    });
    m_ui->attachSidebar();
}

void OrvixDirector::startWatchers()
{
    if (m_usbManager || m_stopped)
        return;
    if (m_env.usbBackend)
        m_usbManager = std::make_unique<QUsbManager>(std::move(m_env.usbBackend), m_env.usbIntervalMs);
    else
        m_usbManager = std::make_unique<QUsbManager>();
    // The watcher reports from its own thread: the slots run on this one, each report handed
    // over through the mailbox in the order emitted. Connected before the presence check, so
    // that an arrival in between is not missed (a second connection attempt is harmless).
    connect(
        m_usbManager.get(), &QUsbManager::deviceInserted, this,
        [this](QtUsb::FilterList list) { m_usbReports.post([this, list] { onUsbDeviceInserted(list); }); },
        Qt::DirectConnection);
    connect(
        m_usbManager.get(), &QUsbManager::deviceRemoved, this,
        [this](QtUsb::FilterList list) { m_usbReports.post([this, list] { onUsbDeviceRemoved(list); }); },
        Qt::DirectConnection);
    // A dongle plugged in before the start is asked for from the event loop.
    QTimer::singleShot(0, this, [this]() {
        if (m_stopped || !m_usbManager->isPresent(m_dongleFilter))
            return;
        m_usbManager->addDevice(m_dongleFilter);
        connectAfterDelay();
    });

    if (!m_usbManager->isRunning()) {
        // The USB library could not be set up, and no plug would ever be heard of: the serial
        // ports are looked at instead, and a dongle port that appears is connected.
        qWarning("USB watcher not running: the serial ports are watched for the dongle instead");
        connect(&m_portScan, &QTimer::timeout, this, &OrvixDirector::onPortScan);
        m_portScan.start(qMax(1, m_env.portScanMs));
        QTimer::singleShot(0, this, &OrvixDirector::onPortScan);
    }

    const QString serverName = m_env.serverName.isEmpty() ? InstanceSignal::name() : m_env.serverName;
    if (!InstanceSignal::listen(*m_localServer, serverName))
        qDebug().noquote() << "Local server not listening:" << m_localServer->errorString();
}

void OrvixDirector::stop()
{
    if (m_stopped)
        return;
    m_stopped = true;
    m_ui->hideMainWindow();
    if (m_usbManager)
        m_usbManager->removeDevice(m_dongleFilter);
    endReconnect();
    m_portScan.stop();
    onDongleDisconnected();
    m_ui->detachMainWindow();
    m_ui->destroySoundPlayer();
}

void OrvixDirector::quitApplication()
{
    if (m_env.quit)
        m_env.quit();
    else
        QCoreApplication::quit();
}

// ---- USB arrival and removal -------------------------------------------------------------------

bool OrvixDirector::isDongleFilter(const QtUsb::DeviceFilter& filter) const
{
    return filter.pid == DongleProductId && filter.vid == DongleVendorId;
}

void OrvixDirector::onUsbDeviceInserted(QtUsb::FilterList list)
{
    qDebug("devices inserted");
    for (const QtUsb::DeviceFilter& filter : qAsConst(list)) {
        qDebug("-- V%04x:P%04x", filter.vid, filter.pid);
        if (!isDongleFilter(filter))
            continue;
        // A new arrival is connected as any other: an earlier line's retries end.
        endReconnect();
        m_progress.start(tr("Dongle\nconnected"), Progress::Infinite);
        emit updateProgress(&m_progress);
        qDebug("** wait: %d", m_env.connectDelayMs);
        connectAfterDelay();
    }
}

void OrvixDirector::connectAfterDelay()
{
    // The latest arrival counts its own delay: an earlier attempt would open a dongle plugged in
    // again before it can answer.
    const quint64 arrival = ++m_arrivalGeneration;
    ++m_pendingArrivals;
    QTimer::singleShot(m_env.connectDelayMs, this, [this, arrival]() {
        --m_pendingArrivals;
        if (arrival != m_arrivalGeneration) {
            qDebug("Dongle attempt replaced by a later arrival or removal, not opened");
            return;
        }
        onDongleConnected();
    });
}

void OrvixDirector::onUsbDeviceRemoved(QtUsb::FilterList list)
{
    qDebug("devices removed");
    for (const QtUsb::DeviceFilter& filter : qAsConst(list)) {
        qDebug("V%04x:P%04x", filter.vid, filter.pid);
        if (!isDongleFilter(filter))
            continue;
        endReconnect();
        // Attempts of earlier arrivals end here, and so does their busy indicator.
        ++m_arrivalGeneration;
        if (m_pendingArrivals > 0)
            emit updateProgress(nullptr);
        onDongleDisconnected();
        // The bus names dongles by their ids only: with two plugged in, this may have been the
        // other one. A dongle port still listed is connected after the delay.
        if (!m_stopped && isDonglePortListed()) {
            qDebug("A dongle port is still listed: connecting it in %d ms", m_env.connectDelayMs);
            connectAfterDelay();
        }
    }
}

// ---- Connection --------------------------------------------------------------------------------

QSerialPort* OrvixDirector::openPort(const SerialPortEntry& entry)
{
    auto* port = new QSerialPort();
    port->setPortName(entry.systemLocation.isEmpty() ? entry.portName : entry.systemLocation);
    port->setBaudRate(DongleBaudRate, QSerialPort::AllDirections);
    port->setDataBits(QSerialPort::Data8);
    port->setParity(QSerialPort::NoParity);
    port->setStopBits(QSerialPort::OneStop);
    port->setFlowControl(QSerialPort::NoFlowControl);
    if (!port->open(QIODevice::ReadWrite)) {
        qWarning().noquote() << "Unable to open serial device: " + entry.systemLocation + " ("
                + port->errorString() + ")";
        delete port;
        return nullptr;
    }
    // A pseudo-terminal (the emulator) has no modem lines: say so and go on.
    if (!port->setDataTerminalReady(true) || !port->setRequestToSend(true)) {
        qInfo().noquote() << QStringLiteral("Unable to raise DTR/RTS on ") + port->portName() + QStringLiteral(" (")
                        + port->errorString() + QStringLiteral(")");
        port->clearError();
    }
    return port;
}

void OrvixDirector::onDongleConnected()
{
    qDebug("Dongle connected");
    emit updateProgress(nullptr);
    if (m_stopped)
        return;
    if (m_dongle || m_startingDongle) {
        // The dongle listed twice, or an arrival while one is starting or connected: the
        // running port and dongle stay as they are.
        qDebug("Dongle already connected, the port is not opened again");
        return;
    }
    // A port kept from a failed start is given up before the dongle is tried again.
    releasePort();

    for (const SerialPortEntry& entry : listPorts()) {
        qDebug().noquote() << QStringLiteral("PID: %1, VID:%2, Name:%3")
                                      .arg(entry.productId)
                                      .arg(entry.vendorId)
                                      .arg(entry.portName);
        if (!isDonglePort(entry))
            continue;
        qDebug().noquote() << "Dongle found: " + entry.description + ", " + entry.portName + ", "
                + entry.systemLocation;

        QSerialPort* port = openPort(entry);
        if (!port)
            continue;
        qDebug("Creating dongle ...");
        if (!Dongle::handshake(port)) {
            SerialLine::giveUp(*port);
            delete port;
            continue;
        }
        m_serialPort = port;
        // The dongle watches its line too, but one that failed to start leaves the port here
        // until it is released: the port itself is watched for as long as it is held.
        connect(port, &QSerialPort::errorOccurred, this, [this, port](QSerialPort::SerialPortError error) {
            const QString gone = SerialLine::goneReason(port, error);
            if (!gone.isEmpty())
                onLineGone(port, gone);
            else if (SerialLine::isReadFailure(error) && !m_dongle && !m_startingDongle)
                // Kept after a failed start, the port is read by nobody else: after a failure on
                // its live line it would watch the line no more, and miss its loss.
                m_keptPortRetry.failed(*port);
        });
        // What the dongle still sends to a kept port is dropped rather than gathered for good.
        connect(port, &QSerialPort::readyRead, this, [this, port] {
            if (!m_dongle && !m_startingDongle)
                port->skip(port->bytesAvailable());
        });
        auto* dongle = new Dongle(port, this, m_parser);
        connect(dongle, &Dongle::lineGone, this,
            [this, port](const QString& reason) { onLineGone(port, reason); });
        dongle->setTiming(m_env.dongleTiming);
        if (m_settings->sidebarVisible() || m_ui->isMainWindowTotallyVisible())
            m_ui->showSidebar();
        m_startingDongle = dongle;
        const quint64 generation = ++m_startGeneration;
        dongle->start([this, dongle, generation](DongleResult result) {
            onStartFinished(dongle, generation, result);
        });
        // The system is built for one dongle: the first port that opened is the dongle's.
        return;
    }
    // No port opened. A dongle port that is listed but would not open (the system still setting
    // it up, or another program holding it a moment) is tried again later, as a lost line is,
    // until the person is asked to re-plug the dongle; one not listed is the bus's to report.
    scheduleReconnect();
}

QList<SerialPortEntry> OrvixDirector::listPorts() const
{
    return m_env.listPorts ? m_env.listPorts() : SerialPortEntry::systemPorts();
}

bool OrvixDirector::isDonglePort(const SerialPortEntry& entry)
{
    return entry.hasProductId && entry.productId == DongleProductId && entry.hasVendorId
        && entry.vendorId == DongleVendorId
        && entry.portName.startsWith(QLatin1String("tty"), Qt::CaseInsensitive);
}

void OrvixDirector::onPortScan()
{
    const QStringList listed = donglePortNames();
    // Only a port that appears counts as an arrival: one that stays listed after a failure is
    // not tried again and again.
    const bool appeared = std::any_of(
        listed.begin(), listed.end(), [this](const QString& name) { return !m_scannedPorts.contains(name); });
    m_scannedPorts = listed;
    if (!appeared || m_stopped || m_dongle || m_startingDongle || m_serialPort)
        return;
    qDebug("Dongle port appeared, connecting it in %d ms", m_env.connectDelayMs);
    connectAfterDelay();
}

QStringList OrvixDirector::donglePortNames() const
{
    QStringList names;
    for (const SerialPortEntry& entry : listPorts())
        if (isDonglePort(entry))
            names << entry.portName;
    return names;
}

bool OrvixDirector::isDonglePortListed() const
{
    return !donglePortNames().isEmpty();
}

bool OrvixDirector::isDongleOnBus() const
{
    // A watcher that does not run answers from its first look only.
    return m_usbManager && m_usbManager->isRunning() && m_usbManager->isPresent(m_dongleFilter);
}

void OrvixDirector::scheduleReconnect()
{
    if (m_stopped || m_dongle || m_startingDongle)
        return;
    // The bus may list the dongle before the system has made its port, and a dongle plugged in
    // again quicker than the bus is looked at is never reported: while the bus lists it, its
    // port is waited for. Unplugged, there is nothing to connect again; its removal is the USB
    // watcher's to report.
    const QStringList names = donglePortNames();
    const bool listed = !names.isEmpty();
    // Without a USB watcher this is the port scan's latest look too: a port gone now counts as
    // appearing when it is back, even before the next scan (under the same name).
    if (m_portScan.isActive())
        m_scannedPorts = names;
    if (!listed && !isDongleOnBus()) {
        endReconnect();
        return;
    }
    if (m_reconnectAttempts >= ReconnectAttempts) {
        endReconnect();
        if (!listed) {
            // No port to open: nothing the person could be asked about.
            qDebug("Dongle on the USB bus, but its port never appeared");
            return;
        }
        qWarning("Dongle line still failing after %d attempts: the dongle is to be re-plugged",
            m_reconnectAttempts);
        askToReplugDongle();
        return;
    }
    const int delay = qMax(1, m_env.reconnectFirstMs) << m_reconnectAttempts;
    ++m_reconnectAttempts;
    qDebug("Dongle port still listed or awaited: connecting again in %d ms (attempt %d of %d)", delay,
        m_reconnectAttempts, int(ReconnectAttempts));
    m_reconnect.start(delay);
}

QStringList OrvixDirector::replugMessage() const
{
    return { tr("Dongle not connected"),
        tr("Unable to connect to dongle, remove dongle from USB and reconnect it back again.") };
}

void OrvixDirector::askToReplugDongle()
{
    const QStringList replug = replugMessage();
    emit showMessage(warning, replug.at(0), replug.at(1));
}

void OrvixDirector::endReconnect()
{
    m_reconnect.stop();
    m_reconnectAttempts = 0;
}

void OrvixDirector::resumeKeptPort()
{
    if (m_serialPort && !m_dongle && !m_startingDongle)
        SerialLine::resumeReading(*m_serialPort);
}

void OrvixDirector::onLineGone(QSerialPort* port, const QString& reason)
{
    if (port != m_serialPort || m_lineLost)
        return;
    // The line hung up, its device vanished or it kept failing, whatever the USB bus still
    // lists: the dongle has left. Taken down from the event loop, outside the port's own
    // signal; the port reports itself readable until it is closed, so this is the next thing
    // done. A port still listed afterwards is connected again once its line works.
    qWarning().noquote() << "Dongle line lost:" << reason;
    m_lineLost = true;
    QPointer<QSerialPort> guard(port);
    QMetaObject::invokeMethod(
        this,
        [this, guard]() {
            m_lineLost = false;
            if (!guard || guard != m_serialPort)
                return;
            // A dongle that worked for a while starts a new series of attempts.
            if (m_dongle && m_connectedSince.isValid() && m_connectedSince.elapsed() >= ReconnectStableMs)
                m_reconnectAttempts = 0;
            onDongleDisconnected();
            scheduleReconnect();
        },
        Qt::QueuedConnection);
}

void OrvixDirector::onStartFinished(Dongle* dongle, quint64 generation, const DongleResult& result)
{
    if (generation != m_startGeneration || dongle != m_startingDongle) {
        // The dongle was unplugged while starting and is gone already.
        qDebug("Dongle start ended after its removal, ignored");
        return;
    }
    m_startingDongle = nullptr;

    if (result.code == DongleResult::Ok) {
        m_dongle = dongle;
        m_connectedSince.start();
        QPointer<Dongle> guard(dongle);
        const bool applying = m_settings->applySelected([this, guard](DongleResult applied) {
            if (!guard || guard != m_dongle)
                return;
            // The dongle works either way: it is connected, and a failure is told.
            reportConnected(guard);
            if (applied.code != DongleResult::Ok) {
                qDebug().noquote() << "Applying the selected profile failed:" << applied.toStringHelper();
                emit showMessage(warning, profileNotAppliedTitle(),
                    tr("The selected mouse profile could not be applied to the dongle.")
                        + QStringLiteral("\n\n") + applied.text);
            }
        });
        if (!applying) {
            // No profile is selected (an empty list): the dongle keeps its own settings and is
            // connected all the same.
            qDebug("No mouse profile selected, the dongle keeps its settings");
            reportConnected(dongle);
        }
        return;
    }

    m_ui->hideSidebar();
    // The windows heard from this dongle while it started (its state): it goes as a dongle pulled
    // out does, so that none of them shows it, or keeps it, as ready.
    emit dongleUpdatedSignal(nullptr, DongleChangeMask::lost);
    emit dongleNotConnectedSignal(dongle, result);
    if (m_reconnectAttempts > 0 && result.code != DongleResult::InvalidRevision) {
        // Connecting again after a lost line: the person is told only when the attempts end.
        // Its port is not held until the next attempt either: a line still failing would be
        // read by nobody in between. Both go from the event loop (this is the dongle's own
        // completion).
        qDebug().noquote() << "Dongle not connected again:" << result.toStringHelper();
        m_failedDongles.append(QPointer<Dongle>(dongle));
        dongle->deleteLater();
        QMetaObject::invokeMethod(
            this,
            [this]() {
                if (!m_dongle && !m_startingDongle)
                    releasePort();
            },
            Qt::QueuedConnection);
        scheduleReconnect();
        return;
    }
    if (result.code == DongleResult::InvalidRevision) {
        const quint16 revision = dongle->profile().revision;
        const quint16 expected = Dongle::protocolRevision();
        qDebug().noquote() << "Protocol revision mismatch " + QString::number(revision) + " / "
                + QString::number(expected);
        const QString link = API::serviceUrl(QStringLiteral("/downloads")).toString();
        const QString message = revision > expected
            ? tr("<p>Your dongle is not compatible with this version of OrvixTools</p>"
                 "<p>Protocol revision mismatch</p>"
                 "<a style=\"%1\" href=\"%2\">Download the latest version</a>")
                  .arg(QLatin1String(kLinkStyle), link)
            : tr("<p>Your dongle is not compatible with this version of OrvixTools</p>"
                 "<p>Protocol revision mismatch</p>"
                 "<a style=\"%1\" href=\"%2\">Download the previous version</a>")
                  .arg(QLatin1String(kLinkStyle), link);
        emit showMessage(critical, tr("Dongle not connected"), message);
    } else {
        askToReplugDongle();
    }
    // Deleted from the event loop: this runs inside the dongle's own completion.
    m_failedDongles.append(QPointer<Dongle>(dongle));
    dongle->deleteLater();
}

void OrvixDirector::reportConnected(Dongle* dongle)
{
    // A request to plug the dongle in again that is still open has been done: it goes. So does
    // the box of a dongle found incompatible: closed, it would quit the application under the
    // dongle that works now.
    withdrawMessages(replugMessage().at(0));
    // A profile that could not be applied to an earlier dongle: this one is told anew.
    withdrawMessages(profileNotAppliedTitle());
    emit dongleConnectedSignal(dongle);
    emit dongleUpdatedSignal(dongle, DongleChangeMask::found);
}

QString OrvixDirector::profileNotAppliedTitle() const
{
    return tr("Profile not applied");
}

void OrvixDirector::releasePort()
{
    // A dongle that failed to start goes before its port.
    const QList<QPointer<Dongle>> failed = m_failedDongles;
    m_failedDongles.clear();
    for (const QPointer<Dongle>& dongle : failed)
        delete dongle.data();
    m_keptPortRetry.stop();
    if (!m_serialPort)
        return;
    // Closing a failed line makes it report errors once more: nobody listens any longer.
    disconnect(m_serialPort, nullptr, this, nullptr);
    if (m_serialPort->isOpen()) {
        m_serialPort->setDataTerminalReady(false);
        m_serialPort->setRequestToSend(false);
    }
    SerialLine::giveUp(*m_serialPort);
    delete m_serialPort;
    m_serialPort = nullptr;
}

void OrvixDirector::onDongleDisconnected()
{
    qDebug("Dongle disconnected");
    m_ui->hideSidebar();
    // A countdown never outlives the dongle it would zero.
    if (m_ui->isCrossViewRunning())
        m_ui->abortCrossView();

    if (m_startingDongle) {
        // Unplugged while starting: stopped and deleted before its port; its completion,
        // called while it is deleted, is ignored.
        Dongle* starting = m_startingDongle;
        m_startingDongle = nullptr;
        ++m_startGeneration;
        delete starting;
    }

    Dongle* dongle = m_dongle;
    // Its headset goes first, reported as any headset that goes quiet, so that every window
    // lets it go before it is deleted with the dongle.
    if (dongle && dongle->headset())
        dongle->headsetLost(dongle->headset());
    emit dongleDisconnectedSignal(dongle, DongleResult(DongleResult::DongleRemoved));
    m_dongle = nullptr;
    delete dongle;
    // The errors told are this dongle's: the next dongle's first one is told again, whatever its
    // code (a headset still controlling a LINK when the dongle is plugged in again).
    m_lastResult = DongleResult(DongleResult::Ok);

    releasePort();
    emit dongleUpdatedSignal(nullptr, DongleChangeMask::lost);
}

void OrvixDirector::onSettingsChanged()
{
    emit settingsChangedSignal(m_settings.get());
}

bool OrvixDirector::isOurs(Dongle* dongle) const
{
    return dongle && (dongle == m_dongle || dongle == m_startingDongle);
}

Headset* OrvixDirector::headset() const
{
    return m_dongle ? m_dongle->headset() : nullptr;
}

bool OrvixDirector::isThisComputer(const OrvixDevice& entry, const OrvixDevice& own)
{
    return entry.address == own.address && entry.portNumber() == own.portNumber() && entry.type() == own.type();
}

// ---- Delegate ----------------------------------------------------------------------------------

void OrvixDirector::progressUpdate(const Progress::Context& context)
{
    emit updateProgress(&context);
}

void OrvixDirector::dongleUpdated(Dongle* dongle, DongleChangeMask mask)
{
    if (dongle && !isOurs(dongle))
        return;
    emit dongleUpdatedSignal(dongle, mask);
}

void OrvixDirector::headsetFound(Dongle* dongle, Headset* headset)
{
    if (dongle && !isOurs(dongle))
        return;
    qDebug("Director: headseet found");
    emit headsetUpdatedSignal(headset, HeadsetChangeMask::found);
}

void OrvixDirector::headsetLost(Dongle* dongle, Headset* headset)
{
    if (dongle && !isOurs(dongle))
        return;
    qDebug("Director: headseet lost");
    // The countdown zeroes for a headset that points at this computer: not for one that went.
    if (m_ui->isCrossViewRunning())
        m_ui->abortCrossView();
    emit headsetUpdatedSignal(headset, HeadsetChangeMask::lost);
}

void OrvixDirector::headsetUpdated(Dongle* dongle, Headset* headset, HeadsetChangeMask mask)
{
    if (dongle && !isOurs(dongle))
        return;
    if ((mask & HeadsetChangeMask::error) == HeadsetChangeMask::error && headset && dongle) {
        // The failure is marked before anyone hears of it, so that every window shows it.
        acknowledgeHeadsetError(headset);
        // A failed headset is not zeroed: the overlay goes with the failure.
        if (m_ui->isCrossViewRunning())
            m_ui->abortCrossView();
        // Asked from the event loop, never from inside the headset's own notice; the headset or
        // the dongle may be gone by then.
        QPointer<QObject> h(headsetObject(headset));
        QPointer<Dongle> d(dongle);
        QTimer::singleShot(0, this, [this, h, d]() { askHeadsetRetry(h, d); });
    }
    emit headsetUpdatedSignal(headset, mask);
}

Headset* OrvixDirector::askedHeadset(const QPointer<QObject>& headset, const QPointer<Dongle>& dongle) const
{
    if (!headset || !dongle || dongle != m_dongle)
        return nullptr;
    Headset* now = dongle->headset();
    return now && headsetObject(now) == headset ? now : nullptr;
}

void OrvixDirector::askHeadsetRetry(QPointer<QObject> headset, QPointer<Dongle> dongle)
{
    Headset* h = askedHeadset(headset, dongle);
    if (!h)
        return;
    if (m_dongle)
        m_ui->showSidebar();
    m_ui->showMainWindow();
    DirectorUi::Box box;
    box.title = tr("Headset communication failure");
    box.text = headsetError(h).text + QLatin1Char('\n') + tr("Do you want to try again?");
    if (m_env.askRetry) {
        answerHeadsetRetry(headset, dongle, m_env.askRetry(box.title, box.text));
        return;
    }
    // The box closes with the headset or the dongle it is about.
    box.buttons = QStringList { tr("Yes"), tr("No") };
    box.about = { headset.data(), dongle.data() };
    QPointer<OrvixDirector> self(this);
    m_ui->ask(box, [self, headset, dongle](int answer) {
        if (self)
            self->answerHeadsetRetry(headset, dongle, answer == 0);
    });
}

void OrvixDirector::answerHeadsetRetry(QPointer<QObject> headset, QPointer<Dongle> dongle, bool retry)
{
    // The question waited for the person: the headset or the dongle may have gone meanwhile.
    Headset* h = askedHeadset(headset, dongle);
    if (!h) {
        qDebug("Headset gone while its failure was asked about");
        return;
    }
    if (retry)
        clearHeadsetError(h);
    // Either way the headset is watched from now on: one switched off while its failure was
    // asked about sends no status that could end it, and without the watchdog it would stay
    // shown as initialising for good.
    startHeadsetWatchdog(h);
}

void OrvixDirector::deviceFound(Dongle* dongle, NPP const& npp)
{
    if (dongle && !isOurs(dongle))
        return;
    emit deviceFoundSignal(dongle, npp);
}

void OrvixDirector::headsetRssiUpdatede(Dongle*, unsigned short)
{
}

void OrvixDirector::headsetChannelChanged(Dongle* dongle, Headset* headset, int previous, int current)
{
    if (dongle && !isOurs(dongle))
        return;
    qDebug("Director: headset channel changed from %d to %d", previous, current);
    if (dongle && headset) {
        const ChannelMap map = headsetChannelMap(headset);
        const OrvixDevice own = dongle->device();
        // An index is used only when it lies inside the map (-1 names no entry).
        auto isHere = [&](int index) {
            return index >= 0 && index < map.size() && isThisComputer(map.at(index), own);
        };
        if (isHere(current))
            m_ui->play(DirectorUi::ChannelActiveSample);
        else if (isHere(previous))
            m_ui->play(DirectorUi::ChannelPassiveSample);
        // Gone on to another device while still active: the zero would be taken with the head
        // turned to that device.
        if (!isHere(current) && m_ui->isCrossViewRunning())
            m_ui->abortCrossView();
    }
    emit headsetChannelChangedSignal(headset, previous);
}

void OrvixDirector::headsetStatusChanged(Dongle* dongle, Headset* headset, bool active, bool)
{
    if (dongle && !isOurs(dongle))
        return;
    const MouseProfile* profile = m_settings->selectedProfile();
    if (profile && !profile->autoZeroEnable()) {
        qDebug("Director: headset status changed to %s", active ? "active" : "passive");
        if (active) {
            if (dongle && dongle == m_dongle && headset
                && isThisComputer(headsetDevice(headset), dongle->device()))
                runCountdown(dongle, profile->visualFeedback(), profile->zeroTimeInterval());
        }
    }
    // Passive, the countdown has nothing left to zero, whatever the profile says now (automatic
    // zeroing switched on while it ran): it would stay on screen, sounding, to its end.
    if (!active && m_ui->isCrossViewRunning())
        m_ui->abortCrossView();
    emit headsetStatusChangedSignal(headset, active);
}

void OrvixDirector::runCountdown(Dongle* dongle, bool visual, int milliseconds)
{
    // A damaged or hand-edited profile would otherwise cover the screen for hours, or end the
    // countdown before it was seen. The stored profile is left as it is.
    if (countdownMs(milliseconds) != milliseconds) {
        qWarning("Director: zero time interval of %d ms is out of range, %d ms used", milliseconds,
            countdownMs(milliseconds));
        milliseconds = countdownMs(milliseconds);
    }
    QPointer<Dongle> guard(dongle);
    m_ui->runCrossView(visual, milliseconds, [this, guard]() {
        if (!guard || guard != m_dongle) {
            qDebug("Countdown ended without its dongle, no zeroing");
            return;
        }
        // The head is centred on this computer only while its headset, unfailed, still controls
        // it; a passive headset is not always heard as such (auto-zero switched on meanwhile).
        if (!controlsThisComputer(guard->headset(), guard)) {
            qDebug("Countdown ended with no headset active on this computer, no zeroing");
            return;
        }
        guard->setZero([](DongleResult result) {
            if (result.code != DongleResult::Ok)
                qDebug("Set zero failed");
        });
    });
}

void OrvixDirector::dongleError(Dongle* dongle, DongleResult result)
{
    if (dongle && !isOurs(dongle))
        return;
    const int previous = m_lastResult.code;
    m_lastResult = result;
    // The failure told is over (the headset found after all): its box goes.
    if (result.code == DongleResult::Ok && previous != DongleResult::Ok)
        withdrawMessages(QString::fromLatin1(DongleResult::ErrorDomain));
    if (result.code != DongleResult::Ok && result.code != previous) {
        qDebug().noquote() << "Director: dongle error:" << result.toStringHelper() << "!";
        emit showMessage(warning, QString::fromLatin1(DongleResult::ErrorDomain),
                         QStringLiteral("%1\n\n%2").arg(result.text, result.detail));
    }
}

DongleResult* OrvixDirector::lastError()
{
    return &m_lastResult;
}

void OrvixDirector::playAudioFeedback()
{
    const MouseProfile* profile = m_settings->selectedProfile();
    if (profile && profile->audioFeedback() && m_ui->hasSoundPlayer())
        m_ui->play(DirectorUi::ZeroInitSample);
}

// ---- Tray icon and windows ---------------------------------------------------------------------

void OrvixDirector::setupTrayIcon()
{
    QWidget* window = m_ui->mainWidget();
    m_trayIcon = new QSystemTrayIcon(window ? static_cast<QObject*>(window) : this);
    const QIcon logo(QString::fromLatin1(kLogoIcon));
    m_trayIcon->setIcon(logo);

    m_trayMenu = new QMenu(window);
    m_showAction = new QAction(this);
    connect(m_showAction, &QAction::triggered, this, &OrvixDirector::onShowMainWindow);
    m_quitAction = new QAction(this);
    connect(m_quitAction, &QAction::triggered, this, &OrvixDirector::onQuitApplication);
    m_trayMenu->addAction(m_showAction);
    m_trayMenu->addAction(m_quitAction);
    retranslateTray();
    m_trayIcon->setContextMenu(m_trayMenu);

    connect(m_trayIcon, &QSystemTrayIcon::activated, this, &OrvixDirector::onTrayIconActivated);
    connect(m_trayIcon, &QSystemTrayIcon::messageClicked, this, &OrvixDirector::onShowMainWindow);

    m_trayIcon->setVisible(true);
    m_trayIcon->showMessage(tr("Orvix tools"), tr("Started"), logo, 2000);
}

void OrvixDirector::retranslateTray()
{
    if (m_trayIcon)
        m_trayIcon->setToolTip(tr("OrvixTools"));
    if (m_showAction)
        m_showAction->setText(tr("Show ..."));
    if (m_quitAction)
        m_quitAction->setText(tr("Quit"));
}

void OrvixDirector::onShowMainWindow()
{
    showMainWindow(true);
}

void OrvixDirector::onTrayIconActivated(QSystemTrayIcon::ActivationReason reason)
{
    // The context click opens the tray's menu and nothing else; a click or a double click
    // toggles the main window. The double click that follows a click is the same gesture:
    // it toggles once.
    if (reason == QSystemTrayIcon::Trigger) {
        m_trayClick.start();
    } else if (reason == QSystemTrayIcon::DoubleClick) {
        if (m_trayClick.isValid() && m_trayClick.elapsed() <= QApplication::doubleClickInterval())
            return;
    } else {
        return;
    }
    onShowHideMainWindow();
}

void OrvixDirector::showMainWindow(bool show)
{
    if (show) {
        if (m_dongle)
            m_ui->showSidebar();
        m_ui->showMainWindow();
        return;
    }
    m_ui->hideMainWindow();
    if (!m_settings->sidebarVisible())
        m_ui->hideSidebar();
}

void OrvixDirector::onShowHideMainWindow()
{
    showMainWindow(!m_ui->isMainWindowTotallyVisible());
}

void OrvixDirector::onQuitApplication()
{
    m_ui->perform(DirectorUi::QuitAction);
}

void OrvixDirector::showInfinityProgress(const QString& text)
{
    m_progress.start(text, Progress::Infinite);
    emit updateProgress(&m_progress);
}

void OrvixDirector::hideIninityProgress()
{
    emit updateProgress(nullptr);
}

// ---- Language ----------------------------------------------------------------------------------

void OrvixDirector::loadLanguage(const QString& language)
{
    if (language == m_language)
        return;
    m_language = language;
    const QLocale locale(language);
    QLocale::setDefault(locale);
    const QString name = QLocale::languageToString(locale.language());
    const QString path = QString::fromLatin1(kLanguageResource).arg(language);

    if (m_translatorInstalled) {
        QCoreApplication::removeTranslator(&m_translator);
        m_translatorInstalled = false;
    }
    // Qt's own texts (standard buttons, the file dialog) come from the system's Qt translations;
    // installed first, so that the application's own texts win where both have one.
    if (m_qtTranslatorInstalled) {
        QCoreApplication::removeTranslator(&m_qtTranslator);
        m_qtTranslatorInstalled = false;
    }
    if (m_qtTranslator.load(QLatin1String(kQtTranslation) + language,
                            QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
        m_qtTranslatorInstalled = QCoreApplication::installTranslator(&m_qtTranslator);
    if (m_translator.load(path)) {
        m_translatorInstalled = QCoreApplication::installTranslator(&m_translator);
        qDebug("Language: %s, %s loaded (%s).", qUtf8Printable(language), qUtf8Printable(name),
               qUtf8Printable(path));
    } else {
        qDebug("Unable to load language (%s): %s, %s!", qUtf8Printable(path), qUtf8Printable(language),
               qUtf8Printable(name));
    }
    retranslateTray();
    // The download's window, the one window whose text the director gives.
    if (!m_downloading.isEmpty())
        m_ui->setProgressInfo(downloadInfo());
}

// ---- Messages ----------------------------------------------------------------------------------

void OrvixDirector::onShowMessage(OrvixDirector::MessageType type, const QString& title, const QString& message)
{
    qDebug().noquote() << "Message(" + messageTypeName(type) + "): " + title + " - " + message;
    // A dongle error is told only while it is the last one reported: one over before its box
    // came up (the headset found in the meantime, the dongle gone) is not told.
    if (title == QLatin1String(DongleResult::ErrorDomain) && m_lastResult.code == DongleResult::Ok) {
        qDebug("Dongle error over before it was shown, not shown");
        return;
    }
    // A critical message ends the run once it is closed.
    QPointer<OrvixDirector> self(this);
    present(type, title, message, [self, type]() {
        if (self && type == critical)
            self->quitApplication();
    });
}

void OrvixDirector::present(
    MessageType type, const QString& title, const QString& message, std::function<void()> closed)
{
    if (m_env.presentMessage) {
        m_env.presentMessage(type, title, message);
        closed();
        return;
    }
    // Told again before the person closed the box that says it (a dongle plugged in again that
    // fails again while its request is open): the box already open is enough.
    const QString key = messageKey(type, title, message);
    if (m_openMessages.value(key)) {
        qDebug().noquote() << "Message already open: " + title;
        return;
    }
    QPointer<QObject> open(new QObject(this));
    m_openMessages.insert(key, open);
    DirectorUi::Box box;
    box.icon = type == critical ? DirectorUi::Box::Critical
        : type == warning       ? DirectorUi::Box::Warning
                                : DirectorUi::Box::Information;
    box.title = title;
    box.text = message;
    box.about = { open };
    QPointer<OrvixDirector> self(this);
    m_ui->ask(box, [self, key, open, closed](int) {
        if (self)
            self->m_openMessages.remove(key);
        delete open.data();
        closed();
    });
}

void OrvixDirector::withdrawMessages(const QString& title)
{
    QList<QPointer<QObject>> withdrawn;
    for (auto it = m_openMessages.begin(); it != m_openMessages.end();) {
        if (it.key().section(QLatin1Char('\n'), 1, 1) == title) {
            withdrawn.append(it.value());
            it = m_openMessages.erase(it);
        } else {
            ++it;
        }
    }
    for (const QPointer<QObject>& open : withdrawn)
        delete open.data();
}

QString OrvixDirector::messageKey(MessageType type, const QString& title, const QString& message)
{
    return QString::number(int(type)) + QLatin1Char('\n') + title + QLatin1Char('\n') + message;
}

// ---- Single-instance server --------------------------------------------------------------------

void OrvixDirector::onClientConnected()
{
    while (QLocalSocket* client = m_localServer->nextPendingConnection()) {
        // Qt buffers no more than one byte over the bound: a client sending without end is
        // dropped as soon as the bound is passed.
        client->setReadBufferSize(kMaxClientBytes + 1);
        connect(client, &QLocalSocket::readyRead, this, &OrvixDirector::onClientReadyToRead);
        connect(client, &QLocalSocket::disconnected, this, &OrvixDirector::onClientDisconnected);
        m_clients.append(client);
    }
}

void OrvixDirector::onClientReadyToRead()
{
    const QList<QLocalSocket*> clients = m_clients;
    for (QLocalSocket* client : clients)
        readClient(client);
}

void OrvixDirector::readClient(QLocalSocket* client)
{
    // Every byte waiting is read: bytes left in the buffer would raise no further ready-read.
    // Each 0x01 toggles the main window once; other bytes are dropped. A client sends a byte
    // or two: one that sends more than kMaxClientBytes in all is dropped, the rest unread.
    const char* const receivedKey = "orvixReceivedBytes";
    qint64 received = client->property(receivedKey).toLongLong();
    while (client->bytesAvailable() > 0) {
        if (received + client->bytesAvailable() > kMaxClientBytes) {
            qDebug().noquote() << "Local client dropped: it sent more than" << kMaxClientBytes << "bytes";
            client->setProperty(receivedKey, kMaxClientBytes + 1);
            client->abort();
            return;
        }
        const QByteArray bytes = client->readAll();
        received += bytes.size();
        client->setProperty(receivedKey, received);
        for (const char byte : bytes)
            if (byte == InstanceSignal::kToggleByte)
                onShowHideMainWindow();
    }
}

void OrvixDirector::onClientDisconnected()
{
    for (int i = m_clients.size() - 1; i >= 0; --i) {
        QLocalSocket* client = m_clients.at(i);
        if (client->state() == QLocalSocket::UnconnectedState) {
            readClient(client);
            client->disconnect(this);
            client->deleteLater();
            m_clients.removeAt(i);
        }
    }
}
