// The director's dongle life cycle over the device emulator: when the port is opened, which
// ports are taken, a second attempt, start failures, removal (during start too), dongle errors
// and a profile selection that is missing.
#include "DirectorEmulation.h"
#include "common/qt_wait.h"

#include "app/ApiManager.h"
#include "device/Dongle.h"
#include "device/Headset.h"
#include "protocol/XModem.h"
#include "tools/emulator/Emulator.h"
#include "tools/emulator/EmulatorGTest.h"
#include "usb/QUsbManager.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QLocalSocket>
#include <QSerialPort>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <ctime>

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace directortest;
using testutil::spin;
using testutil::waitUntil;


TEST(DirectorConnection, ShippedDelayIsTwoAndAHalfSeconds)
{
    EXPECT_EQ(DirectorEnvironment().connectDelayMs, 2500);
}

TEST(DirectorConnection, DonglePresentAtStartIsOpenedOnceAfterTheDelay)
{
    EmulatedDongle t;
    ASSERT_TRUE(t.start());
    OrvixDirector* d = t.h.create(true, testutil::scaled(400));
    Recorder r(d);

    spin(150);
    EXPECT_EQ(d->serialPort(), nullptr) << "opened before the delay";
    EXPECT_EQ(t.emulator.receivedCount(), 0);

    ASSERT_TRUE(r.waitConnected(1));
    EXPECT_EQ(r.connected.first(), d->dongle());
    ASSERT_NE(d->serialPort(), nullptr);
    EXPECT_TRUE(d->serialPort()->isOpen());
    EXPECT_EQ(d->serialPort()->baudRate(), 57600);
    ASSERT_FALSE(r.dongleUpdates.isEmpty());
    EXPECT_EQ(r.dongleUpdates.last(), qMakePair(d->dongle(), quint32(DongleChangeMask::found)));
    // The delayed call hid the busy indicator.
    EXPECT_TRUE(r.progress.contains(nullptr));

    spin(300);
    EXPECT_EQ(r.connected.size(), 1);
    EXPECT_TRUE(t.h.messages.isEmpty());
    EXPECT_TRUE(t.emulator.errors().isEmpty());
}

TEST(DirectorConnection, BusAndSecondStartAreWatchedOnceTheWindowHasBeenDrawn)
{
    EmulatedDongle t;
    ASSERT_TRUE(t.start());
    t.h.bus->bus = QtUsb::FilterList { Harness::dongleIds() };
    auto ui = std::make_unique<FakeDirectorUi>();
    ui->holdFirstSight = true;
    FakeDirectorUi* fake = ui.get();
    t.h.ui = fake;
    t.h.director = std::make_unique<OrvixDirector>(t.h.parser, std::move(ui), t.h.environment(5));
    OrvixDirector* d = t.h.director.get();
    Recorder r(d);

    d->start();
    EXPECT_EQ(fake->mainShown, 1);
    EXPECT_EQ(d->usbManager(), nullptr);
    EXPECT_FALSE(QFileInfo::exists(t.h.serverName));

    // The dongle plugged in before the start is found, and a second start is heard.
    fake->drawFirstSight();
    ASSERT_TRUE(r.waitConnected(1));
    QLocalSocket client;
    client.connectToServer(t.h.serverName);
    EXPECT_TRUE(client.waitForConnected(testutil::scaled(1000)));
}

TEST(DirectorConnection, DongleListedTwiceKeepsOnePortAndOneDongle)
{
    EmulatedDongle t;
    ASSERT_TRUE(t.start());
    OrvixDirector* d = t.h.create(false, 30);
    Recorder r(d);

    {
        LogCapture log;
        d->onUsbDeviceInserted(dongleList(2));
        EXPECT_EQ(log.lines.count(QStringLiteral("** wait: 30")), 2);
    }
    // Each entry raises the busy indicator "Dongle\nconnected" and schedules its own attempt.
    EXPECT_EQ(r.progressTitles.count(QStringLiteral("Dongle\nconnected")), 4);

    ASSERT_TRUE(r.waitConnected(1));
    Dongle* dongle = d->dongle();
    QSerialPort* port = d->serialPort();
    spin(150);
    EXPECT_EQ(d->dongle(), dongle);
    EXPECT_EQ(d->serialPort(), port);
    EXPECT_TRUE(port->isOpen());
    EXPECT_EQ(r.connected.size(), 1);

    // An arrival while connected changes nothing either.
    d->onUsbDeviceInserted(dongleList());
    spin(150);
    EXPECT_EQ(d->dongle(), dongle);
    EXPECT_EQ(d->serialPort(), port);
    EXPECT_EQ(r.connected.size(), 1);
    EXPECT_TRUE(r.disconnected.isEmpty());
}

TEST(DirectorConnection, PortsWithoutTtyOrTheDongleIdsAreNotOpened)
{
    emu::Emulator e;
    ASSERT_TRUE(e.start());
    Harness h;
    SerialPortEntry noIds = Harness::port(QStringLiteral("ttyACM9"), e.portPath());
    noIds.hasVendorId = false;
    noIds.hasProductId = false;
    h.ports = {Harness::port(QStringLiteral("cu.usbmodem1"), e.portPath()),
               Harness::port(QStringLiteral("ttyUSB0"), e.portPath(), 0x1234),
               Harness::port(QStringLiteral("ttyUSB1"), e.portPath(), 0x2E15, 0x0004), noIds};
    OrvixDirector* d = h.create(false, 5);
    Recorder r(d);
    LogCapture log;

    d->onUsbDeviceInserted(QtUsb::FilterList{QtUsb::DeviceFilter{0x0001, 0x2E15}});
    spin(60);
    EXPECT_EQ(log.count(QStringLiteral("Dongle connected")), 0) << "other devices schedule nothing";

    d->onDongleConnected();
    EXPECT_EQ(log.count(QStringLiteral("PID: ")), 4);
    EXPECT_EQ(log.count(QStringLiteral("Dongle found: ")), 0);
    EXPECT_EQ(d->serialPort(), nullptr);
    EXPECT_EQ(d->dongle(), nullptr);
    spin(50);
    EXPECT_TRUE(h.messages.isEmpty());
    EXPECT_TRUE(r.notConnected.isEmpty());
    EXPECT_EQ(e.receivedCount(), 0);
}

TEST(DirectorConnection, APortThatDoesNotOpenIsDroppedAndTheNextTaken)
{
    EmulatedDongle t;
    ASSERT_TRUE(t.start());
    t.h.portSource = [&t]() {
        return QList<SerialPortEntry>{Harness::port(QStringLiteral("ttyGONE"), QStringLiteral("/nonexistent/ttyGONE")),
                                      Harness::port(QStringLiteral("ttyEMU0"), t.emulator.portPath())};
    };
    OrvixDirector* d = t.h.create(false, 5);
    Recorder r(d);
    LogCapture log;

    d->onDongleConnected();
    EXPECT_TRUE(log.contains(QStringLiteral("Unable to open serial device: /nonexistent/ttyGONE (")));
    ASSERT_NE(d->serialPort(), nullptr);
    EXPECT_TRUE(d->serialPort()->isOpen());
    ASSERT_TRUE(r.waitConnected(1));
}

// A dongle port that is listed but does not open at first (the system still setting it up, or
// another program holding it a moment) is tried again until it opens.
TEST(DirectorConnection, AListedDonglePortThatDoesNotOpenYetIsTriedAgain)
{
    EmulatedDongle t;
    ASSERT_TRUE(t.start());
    QString location = QStringLiteral("/nonexistent/ttyEMU0");
    t.h.portSource = [&location]() {
        return QList<SerialPortEntry>{Harness::port(QStringLiteral("ttyEMU0"), location)};
    };
    t.h.tweak = [](DirectorEnvironment& env) { env.reconnectFirstMs = testutil::scaled(20); };
    OrvixDirector* d = t.h.create(false, 5);
    Recorder r(d);
    LogCapture log;

    d->onUsbDeviceInserted(dongleList());
    ASSERT_TRUE(waitUntil([&] { return log.count(QStringLiteral("Unable to open serial device: ")) >= 2; }, 5000))
        << "the port is not tried again";
    location = t.emulator.portPath();
    ASSERT_TRUE(r.waitConnected(1));
    EXPECT_TRUE(t.h.messages.isEmpty());
}

TEST(DirectorConnection, NewerDongleRevisionIsCriticalAndOffersTheLatestVersion)
{
    EmulatedDongle t;
    ASSERT_TRUE(t.start());
    t.emulator.updateDongle([](emu::DongleModel& m) { m.revision = Dongle::protocolRevision() + 1; });
    int quitsAtBox = -1;
    t.h.onMessage = [&](const directortest::Message&) { quitsAtBox = t.h.quits; };
    OrvixDirector* d = t.h.create(true, 5);
    Recorder r(d);

    ASSERT_TRUE(waitUntil([&] { return t.h.quits == 1; }, 5000));
    ASSERT_EQ(r.notConnected.size(), 1);
    EXPECT_EQ(r.notConnected.first().second, 9);
    ASSERT_EQ(t.h.messages.size(), 1);
    EXPECT_EQ(t.h.messages.first().type, int(OrvixDirector::critical));
    EXPECT_EQ(t.h.messages.first().title, QStringLiteral("Dongle not connected"));
    EXPECT_TRUE(t.h.messages.first().text.contains(QStringLiteral("Download the latest version")));
    EXPECT_TRUE(t.h.messages.first().text.contains(QStringLiteral("Protocol revision mismatch")));
    EXPECT_TRUE(t.h.messages.first().text.contains(QStringLiteral("color:lightBlue; text-decoration:none")));
    EXPECT_EQ(quitsAtBox, 0) << "the application quits after the box, not before";
    EXPECT_TRUE(r.connected.isEmpty());
    EXPECT_EQ(d->dongle(), nullptr);
    EXPECT_FALSE(t.h.ui->sidebarVisible);
    // The failed dongle's port stays until the dongle is removed.
    ASSERT_NE(d->serialPort(), nullptr);
    d->onUsbDeviceRemoved(dongleList());
    EXPECT_EQ(d->serialPort(), nullptr);
}

TEST(DirectorConnection, OlderDongleRevisionOffersThePreviousVersion)
{
    EmulatedDongle t;
    ASSERT_TRUE(t.start());
    t.emulator.updateDongle([](emu::DongleModel& m) { m.revision = Dongle::protocolRevision() - 1; });
    t.h.create(true, 5);
    ASSERT_TRUE(waitUntil([&] { return !t.h.messages.isEmpty(); }, 5000));
    EXPECT_TRUE(t.h.messages.first().text.contains(QStringLiteral("Download the previous version")));
    EXPECT_FALSE(t.h.messages.first().text.contains(QStringLiteral("latest")));
}

// What the windows heard from a dongle while it started (its state) goes with it when the start
// fails: they are told, as for a dongle pulled out, that no dongle is there.
TEST(DirectorConnection, AFailedStartTakesBackWhatTheDongleToldWhileStarting)
{
    for (const bool incompatible : {true, false}) {
        SCOPED_TRACE(incompatible ? "incompatible revision" : "profile read unanswered");
        EmulatedDongle t;
        ASSERT_TRUE(t.start());
        if (incompatible)
            t.emulator.updateDongle([](emu::DongleModel& m) { m.revision = Dongle::protocolRevision() + 1; });
        else
            t.emulator.addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(emu::dcp::Revision)));
        OrvixDirector* d = t.createWithBoxesLeftOpen(true);
        Recorder r(d);

        ASSERT_TRUE(waitUntil([&] { return !r.notConnected.isEmpty(); }, 10000));
        Dongle* failed = r.notConnected.first().first;
        ASSERT_TRUE(std::any_of(r.dongleUpdates.begin(), r.dongleUpdates.end(),
                        [&](const QPair<Dongle*, quint32>& u) { return u.first == failed; }))
            << "the dongle told nothing while starting: nothing to take back";
        EXPECT_EQ(r.dongleUpdates.last(), qMakePair(static_cast<Dongle*>(nullptr), quint32(DongleChangeMask::lost)));
        EXPECT_TRUE(r.connected.isEmpty());
        EXPECT_EQ(d->dongle(), nullptr);
    }
}

// The request to plug the dongle in again stays one box while it is open, and a dongle that
// works closes it.
TEST(DirectorConnection, OtherStartFailureIsAWarningAndTheDongleCanComeBack)
{
    EmulatedDongle t;
    ASSERT_TRUE(t.start());
    const int fault = t.emulator.addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(emu::dcp::Stream)));
    OrvixDirector* d = t.createWithBoxesLeftOpen(false);
    Recorder r(d);
    QSignalSpy told(d, &OrvixDirector::showMessage);
    d->onUsbDeviceInserted(dongleList());

    ASSERT_TRUE(waitUntil([&] { return !t.h.ui->boxes.isEmpty(); }, 20000));
    const DirectorUi::Box box = t.h.ui->boxes.first();
    EXPECT_EQ(box.icon, int(DirectorUi::Box::Warning));
    EXPECT_EQ(box.text,
              QStringLiteral("Unable to connect to dongle, remove dongle from USB and reconnect it back again."));
    ASSERT_EQ(r.notConnected.size(), 1);
    EXPECT_EQ(r.notConnected.first().second, 4);
    EXPECT_EQ(t.h.quits, 0);

    // Replugged while the box is open, and failing again: the open box says it already.
    d->onUsbDeviceRemoved(dongleList());
    d->onUsbDeviceInserted(dongleList());
    ASSERT_TRUE(waitUntil([&] { return told.size() == 2; }, 20000));
    spin(50);
    EXPECT_EQ(t.h.ui->boxes.size(), 1);
    EXPECT_FALSE(box.about.first().isNull());

    // Replugged: the kept port is given up and the dongle is opened anew; the box goes.
    t.emulator.removeFault(fault);
    d->onUsbDeviceRemoved(dongleList());
    d->onUsbDeviceInserted(dongleList());
    ASSERT_TRUE(r.waitConnected(1));
    EXPECT_TRUE(box.about.first().isNull());
}

// The incompatible dongle's box quits the application once closed: not once a dongle that
// works has taken its place.
TEST(DirectorConnection, ADongleThatWorksClosesTheIncompatibleOnesBoxWithoutQuitting)
{
    EmulatedDongle t;
    ASSERT_TRUE(t.start());
    t.emulator.updateDongle([](emu::DongleModel& m) { m.revision = Dongle::protocolRevision() + 1; });
    OrvixDirector* d = t.createWithBoxesLeftOpen(true);
    Recorder r(d);
    ASSERT_TRUE(waitUntil([&] { return !t.h.ui->boxes.isEmpty(); }, 5000));
    const DirectorUi::Box box = t.h.ui->boxes.first();
    EXPECT_EQ(box.icon, int(DirectorUi::Box::Critical));

    t.emulator.updateDongle([](emu::DongleModel& m) { m.revision = Dongle::protocolRevision(); });
    d->onUsbDeviceRemoved(dongleList());
    d->onUsbDeviceInserted(dongleList());
    ASSERT_TRUE(r.waitConnected(1));
    EXPECT_TRUE(box.about.first().isNull()) << "the box would quit under the dongle that works";
    spin(50);
    EXPECT_EQ(t.h.quits, 0);
}

// Pulled out and plugged in again within the delay: the port is opened the delay after the
// last arrival, never sooner; the removal hides the busy indicator at once.
TEST(DirectorConnection, AnArrivalPulledOutBeforeItsDelayOpensNothingAndTheNextCountsItsOwn)
{
    EmulatedDongle t;
    ASSERT_TRUE(t.start());
    const int delay = testutil::scaled(600);
    OrvixDirector* d = t.h.create(false, delay);
    Recorder r(d);
    QElapsedTimer clock;
    clock.start();
    d->onUsbDeviceInserted(dongleList());
    // Half the delay passes with no event handled: however loaded the machine, the first
    // arrival's timer cannot run before the dongle is pulled out.
    QThread::msleep(ulong(delay / 2));
    t.emulator.unplug();
    d->onUsbDeviceRemoved(dongleList());
    EXPECT_EQ(r.progress.last(), nullptr);
    ASSERT_TRUE(t.emulator.plugIn());
    const qint64 secondArrival = clock.elapsed();
    d->onUsbDeviceInserted(dongleList());

    // Timed when seen open, which a loaded machine can only make later, never earlier.
    ASSERT_TRUE(waitUntil([&] { return d->serialPort() != nullptr; }, 5000));
    EXPECT_GE(clock.elapsed(), secondArrival + delay * 3 / 4) << "opened before the second arrival's delay ended";
    ASSERT_TRUE(r.waitConnected(1));
}

// A USB library that cannot be set up hears of no plug: the dongle's port is watched instead,
// and one that comes back under its name between two looks is connected too.
TEST(DirectorConnection, WithoutAUsbWatcherADonglePortThatAppearsIsConnected)
{
    EmulatedDongle t;
    ASSERT_TRUE(t.start());
    t.h.bus->openOk = false;
    t.h.tweak = [](DirectorEnvironment& env) { env.portScanMs = testutil::scaled(400); };
    OrvixDirector* d = t.h.create(true, 5);
    Recorder r(d);
    ASSERT_FALSE(d->usbManager()->isRunning());
    ASSERT_TRUE(r.waitConnected(1));

    t.emulator.unplug();
    ASSERT_TRUE(waitUntil([&] { return !r.disconnected.isEmpty(); }, 3000));
    ASSERT_TRUE(t.emulator.plugIn());
    ASSERT_TRUE(r.waitConnected(2));
}

TEST(DirectorRemoval, WithoutADongleStillReportsTheTeardown)
{
    Harness h;
    OrvixDirector* d = h.create();
    Recorder r(d);
    d->onUsbDeviceRemoved(QtUsb::FilterList{QtUsb::DeviceFilter{0x0001, 0x1234}});
    EXPECT_TRUE(r.disconnected.isEmpty());

    d->onUsbDeviceRemoved(dongleList());
    ASSERT_EQ(r.disconnected.size(), 1);
    EXPECT_EQ(r.disconnected.first(), qMakePair(static_cast<Dongle*>(nullptr), int(DongleResult::DongleRemoved)));
    ASSERT_EQ(r.dongleUpdates.size(), 1);
    EXPECT_EQ(r.dongleUpdates.first(), qMakePair(static_cast<Dongle*>(nullptr), quint32(DongleChangeMask::lost)));
    EXPECT_EQ(h.ui->sidebarHidden, 1);
}

TEST(DirectorRemoval, OfTheConnectedDongleFromTheBus)
{
    EmulatedDongle t;
    ASSERT_TRUE(t.start());
    OrvixDirector* d = t.h.create(true, 5);
    Recorder r(d);
    ASSERT_TRUE(r.waitConnected(1));
    Dongle* dongle = d->dongle();

    {
        fakeusb::Lock lock(t.h.bus->mutex);
        t.h.bus->bus.clear();
    }
    ASSERT_TRUE(waitUntil([&] { return !r.disconnected.isEmpty(); }, 3000));
    EXPECT_EQ(r.disconnected.first(), qMakePair(dongle, int(DongleResult::DongleRemoved)));
    EXPECT_EQ(d->dongle(), nullptr);
    EXPECT_EQ(d->serialPort(), nullptr);
    EXPECT_EQ(r.dongleUpdates.last(), qMakePair(static_cast<Dongle*>(nullptr), quint32(DongleChangeMask::lost)));
}

// The bus names dongles by their ids only: the removal of a second dongle takes the connected
// one down, and the one still listed is connected again.
TEST(DirectorRemoval, OfOneOfTwoDonglesConnectsTheOneStillListed)
{
    EmulatedDongle t;
    ASSERT_TRUE(t.start());
    OrvixDirector* d = t.h.create(true, 5);
    Recorder r(d);
    ASSERT_TRUE(r.waitConnected(1));

    d->onUsbDeviceRemoved(dongleList());
    EXPECT_EQ(r.disconnected.size(), 1);
    ASSERT_TRUE(r.waitConnected(2));
    EXPECT_NE(d->serialPort(), nullptr);
}

TEST(DirectorRemoval, DuringStartDropsTheStartingDongleAndIgnoresItsEnd)
{
    EmulatedDongle t;
    ASSERT_TRUE(t.start());
    // The profile query never gets its revision: the start waits.
    t.emulator.addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(emu::dcp::Revision)));
    OrvixDirector* d = t.h.create(false, 5);
    Recorder r(d);
    LogCapture log;
    d->onDongleConnected();
    ASSERT_NE(d->serialPort(), nullptr);
    EXPECT_EQ(d->dongle(), nullptr);
    ASSERT_TRUE(t.emulator.waitForFrame(emu::FrameFilter::dcp(emu::dcp::Revision), testutil::scaled(3000))
                    .has_value());

    d->onUsbDeviceRemoved(dongleList());
    EXPECT_EQ(d->serialPort(), nullptr);
    spin(200);
    EXPECT_TRUE(r.connected.isEmpty());
    EXPECT_TRUE(r.notConnected.isEmpty());
    EXPECT_TRUE(t.h.messages.isEmpty());
    EXPECT_TRUE(log.contains(QStringLiteral("Dongle start ended after its removal, ignored")));

    // The dongle comes back and connects normally.
    t.emulator.clearFaults();
    d->onDongleConnected();
    ASSERT_TRUE(r.waitConnected(1));
}

TEST(DirectorErrors, RepeatedCodeIsShownOnceAndOkClearsTheMemory)
{
    Harness h;
    OrvixDirector* d = h.create();
    LogCapture log;
    DongleResult timeout(4, QStringLiteral("no echo"));
    d->dongleError(nullptr, timeout);
    d->dongleError(nullptr, timeout);
    ASSERT_TRUE(waitUntil([&] { return h.messages.size() == 1; }, 1000));
    spin(20);
    ASSERT_EQ(h.messages.size(), 1);
    EXPECT_EQ(h.messages.first().type, int(OrvixDirector::warning));
    EXPECT_EQ(h.messages.first().title, QString::fromLatin1(DongleResult::ErrorDomain));
    EXPECT_EQ(h.messages.first().text, QStringLiteral("Operation timed out\n\nno echo"));
    EXPECT_EQ(d->lastError()->code, 4);
    EXPECT_EQ(log.count(QStringLiteral("Director: dongle error:")), 1);

    d->dongleError(nullptr, DongleResult(DongleResult::InvalidRevision));
    d->dongleError(nullptr, DongleResult(DongleResult::Ok));
    d->dongleError(nullptr, DongleResult(DongleResult::InvalidRevision));
    ASSERT_TRUE(waitUntil([&] { return h.messages.size() == 3; }, 1000));
    EXPECT_EQ(d->lastError()->code, 9);
    EXPECT_EQ(h.quits, 0) << "dongle errors are warnings";

    // The dongle goes and comes back reporting the same: told again.
    d->onUsbDeviceRemoved(QtUsb::FilterList{Harness::dongleIds()});
    EXPECT_EQ(d->lastError()->code, 0);
    d->dongleError(nullptr, DongleResult(DongleResult::InvalidRevision));
    ASSERT_TRUE(waitUntil([&] { return h.messages.size() == 4; }, 1000));
}

// A failure told about the headset is over once the headset is found: its box goes, and one
// not yet shown is not shown.
TEST(DirectorErrors, AFailureThatIsOverIsNoLongerTold)
{
    EmulatedDongle t;
    t.emulator.addHeadset();
    t.emulator.setHeadsetControl(3, 1, 1); // driving the LINK
    ASSERT_TRUE(t.start());
    OrvixDirector* d = t.createWithBoxesLeftOpen(true);
    ASSERT_TRUE(waitUntil([&] { return !t.h.ui->boxes.isEmpty(); }, 5000));
    const DirectorUi::Box box = t.h.ui->boxes.first();
    EXPECT_TRUE(box.text.startsWith(QStringLiteral("Headset not available while controlling LINK/Chair")));

    t.emulator.setHeadsetControl(4, 1, 0); // turned to this computer
    ASSERT_TRUE(waitUntil([&] { return d->headset() != nullptr; }, 5000));
    EXPECT_TRUE(waitUntil([&] { return box.about.first().isNull(); }, 1000));

    d->dongleError(d->dongle(), DongleResult(DongleResult::InvalidRevision));
    d->dongleError(d->dongle(), DongleResult(DongleResult::Ok));
    spin(50);
    EXPECT_EQ(t.h.ui->boxes.size(), 1);
}

TEST(DirectorProfiles, NoSelectedProfileStillConnectsAndNeverCrashesACallback)
{
    EmulatedDongle t;
    ASSERT_TRUE(t.start());
    OrvixDirector* d = t.h.create(false, 5);
    d->settings()->removeAllProfiles();
    ASSERT_FALSE(d->settings()->hasSelectedProfile());
    Recorder r(d);

    d->onDongleConnected();
    ASSERT_TRUE(r.waitConnected(1));
    EXPECT_EQ(r.dongleUpdates.last().second, quint32(DongleChangeMask::found));

    // The callbacks that read the selected profile work on its defaults.
    d->headsetStatusChanged(d->dongle(), nullptr, true, false);
    d->playAudioFeedback();
    EXPECT_EQ(r.statuses, QList<bool>{true});
}

TEST(DirectorProfiles, FailedProfileUploadConnectsTheDongleAndTellsTheResultUntilOneWorks)
{
    EmulatedDongle t;
    ASSERT_TRUE(t.start());
    // The mouse mode write is never answered.
    const int fault
        = t.emulator.addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(emu::dcp::MouseMode)));
    OrvixDirector* d = t.createWithBoxesLeftOpen(false);
    Recorder r(d);
    LogCapture log;
    d->onDongleConnected();
    ASSERT_TRUE(waitUntil([&] { return !t.h.ui->boxes.isEmpty(); }, 5000));
    EXPECT_TRUE(log.contains(QStringLiteral("Applying the selected profile failed")));
    ASSERT_NE(d->dongle(), nullptr);
    EXPECT_EQ(r.connected, QList<Dongle*> { d->dongle() });
    EXPECT_EQ(r.dongleUpdates.last(), qMakePair(d->dongle(), quint32(DongleChangeMask::found)));
    const DirectorUi::Box box = t.h.ui->boxes.first();
    EXPECT_EQ(box.icon, int(DirectorUi::Box::Warning));
    // Writing it again failed too: the dongle may hold part of it.
    EXPECT_EQ(box.text,
        QStringLiteral(
            "The selected mouse profile could not be applied to the dongle.\n\nOperation timed out\n")
            + ProfileManager::settingsMayDifferText());

    // Plugged in again, the profile is applied: the box that says otherwise goes.
    t.emulator.removeFault(fault);
    d->onUsbDeviceRemoved(dongleList());
    d->onDongleConnected();
    ASSERT_TRUE(r.waitConnected(2));
    EXPECT_TRUE(box.about.first().isNull());
    EXPECT_EQ(t.h.ui->boxes.size(), 1);
}

namespace
{

// CPU time the calling thread used while its event loop ran for ms milliseconds, as a
// fraction of that time (a loop that spins is near 1).
double eventLoopLoad(int ms)
{
    timespec before {}, after {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &before);
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &after);
    const double used
        = double(after.tv_sec - before.tv_sec) * 1000.0 + double(after.tv_nsec - before.tv_nsec) / 1e6;
    return used / ms;
}

// Wakes the port's read watcher with nothing to read while errno still says EAGAIN, as a
// wake-up that another read beat to the data does: Qt reads nothing and reports ResourceError.
void wakeWithNothing(QSocketNotifier* watcher)
{
    QEvent activation(QEvent::SockAct);
    errno = EAGAIN;
    QCoreApplication::sendEvent(watcher, &activation);
}

} // namespace

TEST(DirectorRemoval, AReadFailureOnALiveLineKeepsTheDongleUntilFailuresLastWithoutData)
{
    EmulatedDongle t;
    ASSERT_TRUE(t.start());
    OrvixDirector* d = t.h.create(true, 5);
    Recorder r(d);
    ASSERT_TRUE(r.waitConnected(1));
    QPointer<QSocketNotifier> watcher = d->serialPort()->findChild<QSocketNotifier*>();
    ASSERT_TRUE(watcher && watcher->type() == QSocketNotifier::Read);
    LogCapture log;
    wakeWithNothing(watcher);
    EXPECT_TRUE(log.contains(QStringLiteral("ResourceError")));
    ASSERT_TRUE(waitUntil([&] { return watcher->isEnabled(); }, 2000)) << "the line is no longer read";
    t.emulator.noticeState(emu::state::HopS);
    ASSERT_TRUE(waitUntil([&] { return d->dongle()->profile().state == emu::state::HopS; }, 3000));
    EXPECT_TRUE(r.disconnected.isEmpty());

    // Failures that keep coming without a byte: the line is taken as gone.
    QElapsedTimer failing;
    failing.start();
    ASSERT_TRUE(waitUntil(
        [&] {
            if (watcher && watcher->isEnabled())
                wakeWithNothing(watcher);
            return !r.disconnected.isEmpty();
        },
        4 * Dongle::LineFailureLimitMs));
    EXPECT_GE(failing.elapsed(), Dongle::LineFailureLimitMs);
    EXPECT_TRUE(log.contains(QStringLiteral("line taken as gone")));
    EXPECT_EQ(d->serialPort(), nullptr);
}

TEST(DirectorRemoval, LineHangUpWithTheUsbEntryStillThereIsALossWithoutABusyLoop)
{
    EmulatedDongle t;
    ASSERT_TRUE(t.start());
    OrvixDirector* d = t.h.create(true, 5);
    Recorder r(d);
    ASSERT_TRUE(r.waitConnected(1));
    Dongle* dongle = d->dongle();
    LogCapture log;

    // The device end of the line goes; the bus still lists the dongle.
    t.emulator.unplug();
    ASSERT_TRUE(waitUntil([&] { return !r.disconnected.isEmpty(); }, 3000));
    spin(100);
    // Told once, with the reason the line was taken as gone (not the port's stale errno text).
    EXPECT_EQ(log.count(QStringLiteral("Dongle line lost:")), 1);
    EXPECT_TRUE(log.contains(QStringLiteral("Dongle line lost: the line hung up")));
    EXPECT_EQ(r.disconnected.first(), qMakePair(dongle, int(DongleResult::DongleRemoved)));
    EXPECT_EQ(d->dongle(), nullptr);
    EXPECT_EQ(d->serialPort(), nullptr);
    EXPECT_EQ(
        r.dongleUpdates.last(), qMakePair(static_cast<Dongle*>(nullptr), quint32(DongleChangeMask::lost)));
    EXPECT_LT(eventLoopLoad(250), 0.2) << "the event loop spins";

    // Plugged in again quicker than the bus is looked at: no report comes, the dongle's port is
    // back (at another path), and it is connected again.
    ASSERT_TRUE(t.emulator.plugIn());
    ASSERT_TRUE(r.waitConnected(2));
}

// A dongle given up while the firmware sender writes to a line that nobody reads any more (the
// dongle's firmware stuck): what waits in the line and in the port is dropped with the port, so
// that closing it never waits for it to leave, and none of it reaches the dongle later.
TEST(DirectorRemoval, WhatWaitsInTheLineOfADongleGivenUpIsDropped)
{
    EmulatedDongle t;
    ASSERT_TRUE(t.start());
    OrvixDirector* d = t.h.create(true, 5);
    Recorder r(d);
    ASSERT_TRUE(r.waitConnected(1));
    XModem* sender = d->dongle()->startXmodem();
    ASSERT_NE(sender, nullptr);
    sender->start();

    // What the far end of a pseudo-terminal holds unread (4 KB) stands for what is on its way:
    // frames, so that what follows them is told apart. The recovery strings wait behind them.
    t.emulator.pauseReading(true);
    QSerialPort* port = d->serialPort();
    const QByteArray zero = emu::Frame::scp(emu::pid::DCP, emu::dcp::Zero, 0, 0).encode();
    port->write(zero.repeated(6000 / zero.size()));
    ASSERT_TRUE(waitUntil([&] { return port->bytesToWrite() == 0; }, 3000));
    qint64 handed = 0;
    QObject context;
    QObject::connect(port, &QSerialPort::bytesWritten, &context, [&](qint64 bytes) { handed += bytes; });
    sender->enableRecoveryMode();
    ASSERT_TRUE(waitUntil([&] { return handed >= 300; }, 3000)) << "no recovery string reached the line";
    // Written as the line takes them: the port holds one string at most.
    EXPECT_LE(port->bytesToWrite(), qint64(sizeof XModem::RECOVERY_STRING - 1));
    d->onUsbDeviceRemoved(dongleList());
    ASSERT_EQ(d->serialPort(), nullptr);

    // The port is still listed: the dongle is connected again, after reading what the line held.
    t.emulator.pauseReading(false);
    ASSERT_TRUE(r.waitConnected(2));
    const QString heard = t.emulator.errors().join(QLatin1Char('\n'));
    EXPECT_FALSE(heard.contains(QLatin1String("5A 33 51"))) << "recovery strings reached the dongle";
    t.emulator.clearErrors();
}

// The bus lists the dongle but its port is not there when it is opened: the port is waited for,
// and once the waiting ends the person is asked nothing (there is no port to blame).
TEST(DirectorConnection, ADongleOnTheBusWhosePortAppearsLateIsConnected)
{
    EmulatedDongle t;
    ASSERT_TRUE(t.start());
    t.emulator.unplug();
    t.h.tweak = [](DirectorEnvironment& env) { env.reconnectFirstMs = testutil::scaled(20); };
    OrvixDirector* d = t.h.create(true, 5);
    Recorder r(d);
    LogCapture log;
    ASSERT_TRUE(waitUntil([&] { return log.contains(QStringLiteral("connecting again in")); }, 3000));
    ASSERT_TRUE(t.emulator.plugIn());
    ASSERT_TRUE(r.waitConnected(1));

    // Gone from the line and never back while the bus still lists it: the attempts end quietly.
    t.emulator.unplug();
    ASSERT_TRUE(waitUntil([&] { return log.contains(QStringLiteral("its port never appeared")); }, 5000));
    spin(100);
    EXPECT_TRUE(t.h.messages.isEmpty());
    EXPECT_EQ(d->serialPort(), nullptr);
}

namespace
{

// A line stuck failing: a directory takes the place of the port's descriptor, which then polls
// readable for ever while every read of it fails. The line itself (its path) stays usable.
struct FailingLine {
    int fd;
    int saved;
    explicit FailingLine(QSerialPort* port)
        : fd(int(port->handle()))
        , saved(::dup(fd))
    {
        const int directory = ::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::dup2(directory, fd);
        ::close(directory);
    }
    ~FailingLine() { ::close(saved); }
};

} // namespace

TEST(DirectorRemoval, AFailingLineIsReadWithPausesThenConnectedAgainWhileListedElseReplugIsAsked)
{
    EmulatedDongle t;
    ASSERT_TRUE(t.start());
    t.h.tweak = [](DirectorEnvironment& env) {
        quickTiming(env);
        env.reconnectFirstMs = testutil::scaled(20);
    };
    OrvixDirector* d = t.h.create(true, 5);
    Recorder r(d);
    ASSERT_TRUE(r.waitConnected(1));
    QSignalSpy failedReads(d->serialPort(), &QSerialPort::errorOccurred);
    LogCapture log;
    auto line = std::make_unique<FailingLine>(d->serialPort());

    // The reads back off instead of spinning, until the line is given up.
    EXPECT_LT(eventLoopLoad(Dongle::LineFailureLimitMs / 2), 0.2) << "the event loop spins";
    ASSERT_TRUE(waitUntil([&] { return !r.disconnected.isEmpty(); }, 4 * Dongle::LineFailureLimitMs));
    EXPECT_GE(failedReads.count(), 5);
    EXPECT_LE(failedReads.count(), 60); // a few hundred thousand without the pauses
    EXPECT_EQ(log.count(QStringLiteral("Dongle line lost: read failing without data for")), 1);
    // The port is still listed and a new opening of it works: the dongle is connected again.
    ASSERT_TRUE(r.waitConnected(2));

    // Lost again at once, and now nothing answers: the attempts go on counting (the line worked
    // only briefly), then the person is asked once to re-plug the dongle.
    t.emulator.addFault(emu::FaultRule::noReply(emu::FrameFilter::any()));
    line = std::make_unique<FailingLine>(d->serialPort());
    ASSERT_TRUE(waitUntil([&] { return !t.h.messages.isEmpty(); }, 20 * Dongle::LineFailureLimitMs));
    EXPECT_EQ(r.notConnected.size(), 4);
    EXPECT_EQ(t.h.messages.first().text,
        QStringLiteral("Unable to connect to dongle, remove dongle from USB and reconnect it back again."));
    EXPECT_TRUE(t.emulator.waitForQuiet(testutil::scaled(300), 5000)) << "still trying";
    EXPECT_EQ(t.h.messages.size(), 1);
}

// After a failed start nobody but the director reads the port it keeps: what the dongle still
// sends is not gathered for good, and a read failure on the live line does not leave the line
// unwatched, so that its loss is still noticed.
TEST(DirectorRemoval, APortKeptAfterAFailedStartDropsWhatItReadsAndIsWatchedForItsLoss)
{
    EmulatedDongle t;
    ASSERT_TRUE(t.start());
    t.emulator.addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(emu::dcp::Stream)));
    OrvixDirector* d = t.createWithBoxesLeftOpen(true);
    Recorder r(d);
    ASSERT_TRUE(waitUntil([&] { return !r.notConnected.isEmpty(); }, 20000));
    ASSERT_NE(d->serialPort(), nullptr);
    QPointer<QSocketNotifier> watcher = d->serialPort()->findChild<QSocketNotifier*>();
    ASSERT_TRUE(watcher && watcher->type() == QSocketNotifier::Read);
    // Until the failed dongle is gone, it reads the port too.
    spin(50);
    const int sent = t.emulator.sentCount();
    for (int i = 0; i < 3; ++i)
        t.emulator.noticeState(emu::state::HopS);
    ASSERT_TRUE(waitUntil([&] { return t.emulator.sentCount() >= sent + 3; }, 3000));
    spin(50);
    EXPECT_EQ(d->serialPort()->bytesAvailable(), 0) << "what the dongle sends piles up";

    wakeWithNothing(watcher);
    ASSERT_TRUE(waitUntil([&] { return watcher->isEnabled(); }, 2000)) << "the line is no longer read";
    t.emulator.unplug();
    EXPECT_TRUE(waitUntil([&] { return d->serialPort() == nullptr; }, 3000)) << "a dead port is kept open";
}
