// Every page that asks or waits for the dongle, over the emulator, when the dongle goes with a box
// open or a request under way, when the person leaves with a request under way, and when the
// headset is swapped during the visit: no box after the page was left, the page in its "no
// dongle"/"no headset" state, and traffic going on while a box is open.
#include "app/Settings.h"
#include "common/PageRig.h"
#include "common/gui_util.h"
#include "ui/pages/CalibrationPage.h"
#include "ui/pages/DevicesPage.h"
#include "ui/pages/PairingPage.h"
#include "ui/pages/ProfilesPage.h"
#include "ui/pages/SecurityPage.h"
#include "ui/pages/ServiceMode.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>
#include <gtest/gtest.h>

using testutil::waitUntil;

namespace
{

enum class Event { UnplugWithBoxOpen, UnplugWithRequest, LeaveWithRequest, HeadsetSwapped, HeadsetOffAndOn };

struct Losses;

struct PageCase {
    const char* name;
    std::function<OX::Page*(OX::PageContainer*)> make;
    std::function<emu::HeadsetModel()> headset;
    std::function<void(emu::Emulator&)> prepare; // before the dongle starts
    // Shown: starts what the emulator never answers; true once it is under way.
    std::function<bool(Losses&)> startRequest;
    // Shown: opens one of the page's boxes (null: the page opens none from a device answer).
    std::function<void(Losses&)> openBox;
    // The page's state once the dongle or the headset has gone while it was shown.
    std::function<bool(Losses&)> settledWithoutDevice;
    // The page's state once the dongle or the headset is back (shown again if it went back).
    std::function<bool(Losses&)> workingAgain;
    const char* leaveAnswer = nullptr; // the button that leaves when leaving is asked about
};

bool noBox()
{
    return QApplication::activeModalWidget() == nullptr;
}

struct Losses : ::testing::TestWithParam<std::tuple<PageCase, Event>> {
    pagetest::PageRig rig;
    QTemporaryDir dir;
    std::unique_ptr<Settings> settings; // the mouse profiles, written to the rig's dongle
    OX::Page* page = nullptr;
    QString name;

    void SetUp() override
    {
        PageCase const& c = std::get<0>(GetParam());
        name = QString::fromLatin1(c.name);
        rig.viaDirector = true; // the dongle goes as the director sees it go
        const bool offAndOn = std::get<1>(GetParam()) == Event::HeadsetOffAndOn;
        if (offAndOn)
            rig.shortWatchdog(); // the switched-off headset is lost soon
        ASSERT_TRUE(rig.start(c.headset(), 0.05, offAndOn ? nullptr : c.prepare)); // nothing fails
        settings = std::make_unique<Settings>(dir.filePath(QStringLiteral("settings.ini")), nullptr);
        settings->setDongleProvider([this] { return rig.dongle(); });
        rig.container.settings = settings.get();
        page = c.make(&rig.container);
        // Pairing offers the password page on leaving.
        const QStringList stubs
            = name == QLatin1String("Pairing") ? QStringList { QStringLiteral("Security") } : QStringList {};
        rig.registerPage(page, name, stubs, QSize(760, 560));
        rig.container.controller.show();
        page->updateWithHeadset(rig.headset(), HeadsetChangeMask::all); // as the window does first
        ASSERT_TRUE(rig.show(name));
    }
    void TearDown() override { rig.close(HasFailure()); }

    // A request queued behind everything sent so far has its answer: the dongle still talks.
    bool trafficGoesOn()
    {
        Dongle* d = rig.dongle();
        if (!d)
            return false;
        bool answered = false;
        d->queryProfile(
            [&answered](DongleProfile*, DongleResult r) { answered = r.code == DongleResult::Ok; });
        return waitUntil([&] { return answered; }, 4000);
    }
    bool on(QString const& page) { return rig.container.controller.currentPageName() == page; }
    // Lets every late answer, queued question and chain step run.
    void settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }
};

// A headset switched on in service mode, at another PAN, for pairing.
emu::HeadsetModel serviceHeadset()
{
    emu::HeadsetModel model;
    model.pan = 0x2345;
    model.streamsInServiceMode = true;
    return model;
}

emu::HeadsetModel mapHeadset()
{
    emu::HeadsetModel model;
    model.channelMap = { { 5, 0x81, 0x18 }, { 1, 0x82, 0x3B }, { 7, 0x01, 0x4B } };
    return model;
}

emu::FrameFilter calibrationCommand(int value)
{
    return emu::FrameFilter::of(emu::pid::HCP, 0).where([value](const emu::Frame& f) {
        return f.lsb() == value;
    });
}

// Pairing: the question of a headset heard in service mode; its chain waits on the dongle's address.
void pickHeadset(Losses& f)
{
    auto* p = static_cast<OX::PairingPage*>(f.page);
    ASSERT_TRUE(waitUntil([&] { return p->state() == OX::PairingPage::looking_for_devices_state; }, 5000));
    auto* list = p->findChild<QListWidget*>("headsetList");
    ASSERT_TRUE(waitUntil([&] { return list->count() == 1; }, 5000));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
}

// Profiles: an edit, so that the footer offers "Apply" and "Try It".
void editProfile(Losses& f)
{
    QTest::mouseClick(f.page->findChild<QWidget*>(QStringLiteral("hmAutoRange")), Qt::LeftButton);
}

const PageCase Pages[] = {
    { "Pairing", [](OX::PageContainer* c) { return new OX::PairingPage(c); }, serviceHeadset,
        [](emu::Emulator& e) { e.updateDongle([](emu::DongleModel& d) { d.address = 1; }); },
        [](Losses& f) {
            f.rig.emulator().addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(19)));
            testutil::answerNextBox(QStringLiteral("Pair as computer #1"));
            pickHeadset(f);
            return f.rig.emulator().waitForFrame(emu::FrameFilter::dcp(19), 4000).has_value();
        },
        [](Losses& f) { pickHeadset(f); }, [](Losses& f) { return f.on("Menu"); },
        [](Losses& f) {
            return static_cast<OX::PairingPage*>(f.page)->state()
                == OX::PairingPage::looking_for_devices_state;
        } },
    { "Security", [](OX::PageContainer* c) { return new OX::SecurityPage(c); }, mapHeadset,
        [](emu::Emulator& e) { e.addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(37))); },
        [](Losses& f) {
            return f.rig.emulator().waitForFrame(emu::FrameFilter::dcp(37), 4000).has_value()
                && f.rig.container.busy;
        },
        [](Losses&) {}, // entering service mode fails: "Unable to enter service mode"
        [](Losses& f) { return f.on("Menu") && !f.rig.container.busy; },
        [](Losses& f) { // none of the headset's devices is in range
            return static_cast<OX::SecurityPage*>(f.page)->state()
                == OX::SecurityPage::waiting_for_other_devices_service_mode_state;
        } },
    { "Devices", [](OX::PageContainer* c) { return new OX::DevicesPage(c); }, mapHeadset, {},
        [](Losses& f) {
            f.rig.emulator().addFault(emu::FaultRule::noReply(emu::FrameFilter::of(emu::pid::CMAP)));
            auto* p = static_cast<OX::DevicesPage*>(f.page);
            p->listWidget()->item(2)->setCheckState(Qt::Checked);
            f.rig.container.clickRight();
            return f.rig.emulator().waitForFrame(emu::FrameFilter::of(emu::pid::CMAP), 4000).has_value();
        },
        nullptr,
        [](Losses& f) {
            return !f.page->isEnabled() && f.rig.container.footer.right.action == OX::PageAction::none;
        },
        [](Losses& f) { return f.page->isEnabled(); }, "Dismiss and leave page" },
    { "Calibration", [](OX::PageContainer* c) { return new OX::CalibrationPage(c); }, mapHeadset, {},
        [](Losses& f) {
            f.rig.emulator().addFault(emu::FaultRule::noReply(calibrationCommand(1)));
            f.rig.container.clickRight(); // Reset
            return f.rig.container.busy;
        },
        nullptr,
        [](Losses& f) {
            return !f.rig.container.busy && !f.rig.container.rightEnabled[0]
                && f.page->findChild<QLabel*>("hintText")->text() == QStringLiteral("Headset not found");
        },
        [](Losses& f) {
            return !f.rig.container.busy && f.rig.container.rightEnabled[0]
                && f.page->findChild<QLabel*>("hintText")->text() != QStringLiteral("Headset not found");
        } },
    // The page edits stored profiles without a dongle: it stays, the upload or trial the dongle
    // took along ends without a word, and the edits wait for "Apply".
    { "Profiles", [](OX::PageContainer* c) { return new OX::ProfilesPage(c); }, mapHeadset, {},
        [](Losses& f) {
            f.rig.emulator().addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(25)));
            editProfile(f);
            f.rig.container.clickRight(0); // Apply
            return f.rig.emulator().waitForFrame(emu::FrameFilter::dcp(25), 4000).has_value();
        },
        [](Losses& f) {
            editProfile(f);
            f.rig.container.clickRight(1); // Try It: the trial's question
        },
        [](Losses& f) {
            return f.on("Profiles") && f.rig.container.footer.right.action == OX::PageAction::apply
                && !static_cast<OX::ProfilesPage*>(f.page)->isTrialRunning();
        },
        [](Losses& f) {
            return f.on("Profiles") && !static_cast<OX::ProfilesPage*>(f.page)->isTrialRunning();
        } },
};

TEST_P(Losses, EndInTheNoDeviceStateWithoutABoxOfAPageLeft)
{
    PageCase const& c = std::get<0>(GetParam());
    switch (std::get<1>(GetParam())) {
    case Event::UnplugWithBoxOpen: {
        if (!c.openBox)
            GTEST_SKIP() << "the page opens no box from a device answer";
        c.openBox(*this);
        ASSERT_TRUE(waitUntil([] { return !noBox(); }, 5000));
        EXPECT_TRUE(trafficGoesOn());
        EXPECT_FALSE(noBox());
        ASSERT_TRUE(rig.unplug());
        settle();
        EXPECT_TRUE(waitUntil(noBox));
        EXPECT_TRUE(waitUntil([&] { return c.settledWithoutDevice(*this); }));
        break;
    }
    case Event::UnplugWithRequest: {
        ASSERT_TRUE(c.startRequest(*this));
        ASSERT_TRUE(rig.unplug());
        settle();
        EXPECT_TRUE(noBox());
        EXPECT_TRUE(waitUntil([&] { return c.settledWithoutDevice(*this); }));
        // Plugged in again: a page that went back leaves the spinner of the page shown alone until
        // it is opened again, then it works with the dongle.
        rig.emulator().clearFaults();
        const bool left = !on(name);
        if (left)
            rig.container.setProgress(true); // the menu's
        ASSERT_TRUE(rig.replug());
        settle();
        if (left) {
            EXPECT_TRUE(rig.container.busy) << "a page left acts";
            rig.container.setProgress(false);
            ASSERT_TRUE(rig.show(name));
        }
        EXPECT_TRUE(waitUntil([&] { return c.workingAgain(*this); }));
        EXPECT_TRUE(noBox());
        break;
    }
    case Event::LeaveWithRequest: {
        ASSERT_TRUE(c.startRequest(*this));
        if (c.leaveAnswer)
            testutil::answerNextBox(QString::fromLatin1(c.leaveAnswer));
        // Pairing's last word on leaving: the password page is offered (nothing else may open).
        testutil::BoxAnswerer lastWord;
        lastWord.answer(QStringLiteral("Network may changed"), QStringLiteral("Keep current password"));
        rig.container.clickLeft();
        ASSERT_TRUE(waitUntil([&] { return on("Menu") && !rig.container.controller.isSwitching(); }, 5000));
        // Everything the page sent has ended (timed out) once a later request is answered.
        rig.emulator().clearFaults();
        EXPECT_TRUE(trafficGoesOn());
        settle();
        EXPECT_TRUE(waitUntil(noBox));
        EXPECT_TRUE(lastWord.unexpected().isEmpty()) << lastWord.unexpected().join(", ").toStdString();
        break;
    }
    case Event::HeadsetSwapped: {
        QPointer<Headset> before = rig.headset(); // null once deleted: its memory may hold the new one
        rig.emulator().updateHeadset([](emu::HeadsetModel& h) { h.pan = 0x3456; });
        ASSERT_TRUE(waitUntil([&] { return rig.headset() && rig.headset()->pan() == 0x3456; }, 5000));
        EXPECT_NE(rig.headset(), before.data());
        settle();
        EXPECT_TRUE(noBox() || !on(name)) << "a box of a page left";
        break;
    }
    case Event::HeadsetOffAndOn:
        ASSERT_TRUE(rig.headsetPower(false));
        settle();
        EXPECT_TRUE(noBox());
        // With the dongle in service mode, the person switches it on in service mode as asked.
        rig.emulator().updateHeadset(
            [&](emu::HeadsetModel& h) { h.serviceMode = OX::isInServiceMode(rig.dongle()); });
        rig.headsetPower(true);
        if (!on(name))
            ASSERT_TRUE(rig.show(name));
        EXPECT_TRUE(waitUntil([&] { return c.workingAgain(*this); }));
        EXPECT_TRUE(noBox());
        break;
    }
}

std::string caseName(::testing::TestParamInfo<std::tuple<PageCase, Event>> const& info)
{
    static const char* const events[] = { "UnplugWithBoxOpen", "UnplugWithRequest", "LeaveWithRequest",
        "HeadsetSwapped", "HeadsetOffAndOn" };
    return std::string(std::get<0>(info.param).name) + "_" + events[int(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(Pages, Losses,
    ::testing::Combine(::testing::ValuesIn(Pages),
        ::testing::Values(Event::UnplugWithBoxOpen, Event::UnplugWithRequest, Event::LeaveWithRequest,
            Event::HeadsetSwapped, Event::HeadsetOffAndOn)),
    caseName);

} // namespace
