// The pairing page over the emulator: service mode on appearing and leaving, discovery and the
// three lists, pairing a headset and LINKs, removing devices, and the failures of the chains.
#include "common/PageRig.h"
#include "ui/pages/PairingPage.h"
#include "ui/pages/ServiceMode.h"
#include "ui/toolkit/DeviceWidget.h"
#include "ui/toolkit/IconButton.h"
#include "ui/toolkit/Skin.h"

#include <QLabel>

#include <QListWidget>
#include <QSignalSpy>
#include <QTranslator>
#include <QtTest>
#include <algorithm>
#include <gtest/gtest.h>

#include "common/gui_util.h"

using OX::PairingPage;
using testutil::waitUntil;

namespace
{

const emu::ChannelMapEntries OnlyThisDongle = { { 4, 0x81, emu::preset::Pc1 } };

// A headset switched on in service mode for pairing.
emu::HeadsetModel headset(emu::ChannelMapEntries map, uint16_t pan = 0x1234)
{
    emu::HeadsetModel model;
    model.channelMap = std::move(map);
    model.pan = pan;
    model.streamsInServiceMode = true;
    return model;
}

emu::LinkModel link(uint16_t pan, uint8_t address, QByteArray serial)
{
    emu::LinkModel model;
    model.pan = pan;
    model.address = address;
    model.serial = std::move(serial);
    return model;
}

TEST(FoundDeviceMap, ARecordHeardAgainKeepsItsPlaceAndARemovalOutOfRangeChangesNothing)
{
    NPP a;
    a.product = ProductID::Link;
    a.pan = 0x1234;
    a.address = 9;
    NPP b = a;
    b.address = 10;
    NPP newer = a;
    newer.serial[0] = 'X';
    OX::FoundDeviceMap map;
    for (NPP const& r : { a, b, newer })
        map.insert(OX::FoundDeviceMap::keyOf(r), r);
    EXPECT_EQ(OX::FoundDeviceMap::keyOf(a), QStringLiteral("4660-9"));
    ASSERT_EQ(map.size(), 2);
    EXPECT_EQ(map.indexOf(newer), 0);
    EXPECT_EQ(map.indexOf(a), -1); // replaced
    EXPECT_EQ(map.indexOf(b, 1), 1);
    EXPECT_EQ(map.indexOf(newer, 1), -1);
    map.removeAt(2);
    map.removeAt(-1);
    EXPECT_EQ(map.size(), 2);
    map.removeAt(0);
    EXPECT_EQ(map.valueAt(0).address, 10);
}

// A LINK heard under the identity it reported: product, serial number, PAN and address.
NPP heard(ProductID product, char const* serial, quint16 pan, uchar address)
{
    NPP record;
    record.product = product;
    qstrncpy(reinterpret_cast<char*>(record.serial), serial, NPP::SerialSize);
    record.pan = pan;
    record.address = address;
    return record;
}

TEST(FoundDeviceMap, ADeviceHeardElsewhereLeavesItsOldPlaceUnlessItHasNoSerialNumber)
{
    NPP voidSerial = heard(ProductID::Link, "", 0x1234, 12);
    voidSerial.serial[0] = 0xFF;
    const NPP records[] = { heard(ProductID::Link, "LK1", 0x3456, 9),
        heard(ProductID::Headset, "LK1", 0x1234, 2), heard(ProductID::Link, "", 0x1234, 11), voidSerial };
    OX::FoundDeviceMap map;
    for (NPP const& r : records)
        map.insert(OX::FoundDeviceMap::keyOf(r), r);
    voidSerial.address = 3;
    EXPECT_FALSE(map.removeMoved(voidSerial) || map.removeMoved(heard(ProductID::Link, "", 0x1234, 3))
        || map.removeMoved(records[0]));
    EXPECT_TRUE(map.removeMoved(heard(ProductID::Link, "LK1", 0x1234, 9))); // the LINK's, not the headset's
    EXPECT_EQ(map.size(), 3);
    EXPECT_EQ(map.indexOf(records[0]), -1);
}

class PairingPageTest : public ::testing::Test
{
protected:
    void start(emu::HeadsetModel model, std::function<void(emu::Emulator&)> const& prepare = {},
        double timeoutScale = 0.05)
    {
        ASSERT_TRUE(rig.start(model, timeoutScale, prepare));
        page = new PairingPage(&rig.container, &rig.container.controller);
        rig.registerPage(page, QStringLiteral("Pairing"), { QStringLiteral("Security") }, QSize(760, 520));
        rig.container.controller.show();
    }
    // Shows the page and waits until test holds.
    void show(std::function<bool()> const& test)
    {
        mark = rig.emulator().mark();
        ASSERT_TRUE(rig.container.controller.showPage(QStringLiteral("Pairing"), 1, 0, true));
        ASSERT_TRUE(waitUntil(test, 5000)) << "state " << page->state();
    }
    void showUntil(PairingPage::State state)
    {
        show([&] { return page->state() == state; });
    }
    void TearDown() override
    {
        EXPECT_TRUE(answers.unexpected().isEmpty()) << answers.unexpected().join(", ").toStdString();
        rig.close(HasFailure());
    }

    QListWidget* list(char const* name) const { return page->findChild<QListWidget*>(name); }
    OX::DeviceWidget* row(char const* name, int i) const
    {
        return qobject_cast<OX::DeviceWidget*>(list(name)->itemWidget(list(name)->item(i)));
    }
    // A person's click on a row (a question may open and be answered meanwhile).
    void pick(char const* name, int i)
    {
        QListWidget* l = list(name);
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(l->item(i)).center());
    }
    int rowWithSerial(char const* name, QString const& serial) const
    {
        for (int i = 0; i < list(name)->count(); ++i)
            if (row(name, i)->serial() == serial)
                return i;
        return -1;
    }
    // Requests since `since`, one per burst, as "pid:cmd:dst:value@pan", those starting with
    // one of the prefixes ("64:" every GRCP, "16:5:" the dongle's PAN).
    QStringList requests(QStringList const& prefixes, int since) const
    {
        QStringList out;
        for (emu::Received const& r : rig.env.emulator->received()) {
            const QString text = QStringLiteral("%1:%2:%3:%4@%5")
                                     .arg(r.frame.pid)
                                     .arg(r.frame.cmd())
                                     .arg(r.frame.dst)
                                     .arg(r.frame.value())
                                     .arg(r.frame.pan);
            if (r.seq >= since && r.copy == 1
                && std::any_of(
                    prefixes.begin(), prefixes.end(), [&](QString const& p) { return text.startsWith(p); }))
                out << text;
        }
        return out;
    }
    bool headsetMapIs(emu::ChannelMapEntries const& map)
    {
        return rig.emulator().headset().channelMap == map;
    }
    bool on(QString const& name) const { return rig.container.controller.currentPageName() == name; }
    // The first row of list is picked as the headset is switched off, and the headset is lost
    // before the question opens; the question would be answered with button. since: the mark
    // before the pick.
    void pickAsTheHeadsetGoes(char const* name, QString const& button, int* since)
    {
        rig.emulator().headsetPower(false);
        bool read = false; // a dongle answer comes after every status sent before the switch
        rig.dongle()->queryProfile([&read](DongleProfile*, DongleResult) { read = true; });
        ASSERT_TRUE(waitUntil([&] { return read; }));
        ASSERT_TRUE(rig.headset());
        *since = rig.emulator().mark();
        answers.answer(QStringLiteral("Pair with headset"), button);
        pick(name, 0);
        rig.dongle()->headsetLost(rig.headset()); // as its watchdog reports it
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void showAgainBeforeTheAnswer(bool ownRequestAnswered);
    void removeALinkPairedByMistake(bool serviceModeAgain);
    // The dongle takes the request to enter service mode and sends no notice: the page is shown
    // until it stopped waiting and said so, then left.
    void leftAfterItStoppedWaiting()
    {
        ASSERT_NO_FATAL_FAILURE(start(headset(OnlyThisDongle), [](emu::Emulator& e) {
            e.updateDongle([](emu::DongleModel& d) { d.stateNoticeOnServiceChange = false; });
        }));
        answers.answer(QStringLiteral("Unable to enter service mode"), QStringLiteral("Ok"));
        showUntil(PairingPage::entering_service_mode);
        ASSERT_TRUE(waitUntil(
            [&] { return !answers.seen().isEmpty(); }, OX::ServiceModeNoticeMs + testutil::scaled(5000)));
        rig.container.clickLeft();
        ASSERT_TRUE(waitUntil([&] { return on("Menu"); }));
    }

    testutil::BoxAnswerer answers;
    pagetest::PageRig rig;
    PairingPage* page = nullptr;
    int mark = 0;
};

TEST_F(PairingPageTest, AppearingEntersServiceModeAndMarksTheHeadsetsNetwork)
{
    testutil::LogCapture log;
    ASSERT_NO_FATAL_FAILURE(
        start(headset({ { 4, 0x81, emu::preset::Pc1 }, { 3, 0x81, emu::preset::LinkDrive },
                  { 7, 0x81, emu::preset::LinkActuator }, { 8, 0x81, emu::preset::LinkActuator } }),
            [](emu::Emulator& e) {
                e.addLink();
                emu::LinkModel bare = link(0x1234, 7, "LK19000777");
                bare.submodules.clear(); // counts as port 1
                e.addLink(bare);
            }));
    showUntil(PairingPage::looking_for_devices_state);
    auto enter = rig.emulator().waitForFrame(emu::FrameFilter::dcp(37), 0, mark);
    ASSERT_TRUE(enter);
    EXPECT_EQ(enter->raw, emu::fromHex("55 AA 00 00 00 00 00 00 00 05 10 00 EC 25 01 01 EB 3A"));
    EXPECT_EQ(rig.env.dongle->profile().state, 0);
    EXPECT_TRUE(log.contains(QStringLiteral("LINK STATE: looking_for_headset_state")));
    EXPECT_EQ(page->findChild<QLabel*>("todoTextLabel")->text(),
        QStringLiteral("looking for devices (turn on LINK(s) in service mode)"));

    // Headset row, this dongle, the two LINKs heard in service mode, one entry nobody answers for.
    QListWidget* channels = list("channelList");
    ASSERT_TRUE(waitUntil([&] {
        return channels->count() == 5 && row("channelList", 2)->isChecked()
            && row("channelList", 3)->isChecked();
    }));
    EXPECT_EQ(channels->item(0)->flags(), Qt::NoItemFlags);
    EXPECT_EQ(channels->item(0)->background().color(), OX::Skin::color("disabledWidgetColor"));
    EXPECT_TRUE(row("channelList", 0)->isChecked());
    EXPECT_TRUE(row("channelList", 1)->isChecked());
    EXPECT_FALSE(row("channelList", 4)->isChecked());
    EXPECT_EQ(list("deviceList")->count(), 0);
    EXPECT_EQ(list("headsetList")->count(), 0);
    auto* remove = page->findChild<OX::IconButton*>("cmapRemoveButton");
    pick("channelList", 4);
    EXPECT_FALSE(remove->isEnabled());
    pick("channelList", 2);
    EXPECT_TRUE(remove->isEnabled());

    log.clear();
    emit page->setState(page->state());
    EXPECT_FALSE(log.contains(QStringLiteral("LINK STATE")));

    // Leaving without a chain: the whole network leaves service mode, no question.
    const int before = rig.emulator().mark();
    rig.container.clickLeft();
    ASSERT_TRUE(waitUntil([&] { return on("Menu"); }));
    EXPECT_EQ(requests({ "32:", "48:", "16:37:" }, before).mid(0, 3),
        (QStringList { "32:6:2:0@1", "48:101:3:0@1", "16:37:0:0@0" })); // LINK Drive entries only
}

TEST_F(PairingPageTest, ADongleThatDoesNotEchoLeavesTheHintAndBackStillLeaves)
{
    ASSERT_NO_FATAL_FAILURE(start(headset(OnlyThisDongle)));
    rig.emulator().addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(37)));
    answers.answer(QStringLiteral("Unable to enter service mode"), QStringLiteral("Ok"));
    auto* label = page->findChild<QLabel*>("todoTextLabel");
    show([&] { return label->text() == QStringLiteral("not initialized: Remove Dongle"); });
    EXPECT_EQ(page->state(), PairingPage::not_initialized_state);
    // The hint's box opens from the event loop, after the page has shown its state.
    EXPECT_TRUE(waitUntil([&] { return !answers.seen().isEmpty(); }));
    EXPECT_EQ(answers.seen(), QStringList { "Unable to enter service mode" });
    // The dongle refuses to leave a service mode it never entered: the page goes all the same.
    rig.container.clickLeft();
    EXPECT_TRUE(waitUntil([&] { return on("Menu"); }));
}

// The dongle takes the request to enter service mode but its notice does not come in time: the
// page stops waiting, says why, and Back leaves. A notice that comes after that does not leave
// the network in service mode.
TEST_F(PairingPageTest, ADongleWhoseNoticeComesTooLateLeavesTheHintBackLeavesAndServiceModeEnds)
{
    ASSERT_NO_FATAL_FAILURE(start(headset(OnlyThisDongle), [](emu::Emulator& e) {
        e.updateDongle([](emu::DongleModel& d) { d.stateNoticeOnServiceChange = false; });
    }));
    answers.answer(QStringLiteral("Unable to enter service mode"), QStringLiteral("Ok"));
    showUntil(PairingPage::entering_service_mode);
    ASSERT_TRUE(rig.emulator().waitForFrame(emu::FrameFilter::dcp(37), testutil::scaled(5000), mark));
    ASSERT_TRUE(waitUntil(
        [&] { return !answers.seen().isEmpty(); }, OX::ServiceModeNoticeMs + testutil::scaled(5000)));
    EXPECT_EQ(page->state(), PairingPage::not_initialized_state);
    EXPECT_EQ(
        page->findChild<QLabel*>("todoTextLabel")->text(), QStringLiteral("not initialized: Remove Dongle"));
    EXPECT_EQ(answers.seen(), QStringList { "Unable to enter service mode" });
    rig.container.clickLeft();
    ASSERT_TRUE(waitUntil([&] { return on("Menu"); }));
    ASSERT_EQ(rig.emulator().dongle().state, emu::state::ServiceMode);
    ASSERT_TRUE(rig.emulator().headset().serviceMode);

    testutil::LogCapture log;
    rig.emulator().noticeState(emu::state::ServiceMode);
    EXPECT_TRUE(waitUntil([&] { return rig.emulator().dongle().state == emu::state::Idle; }));
    EXPECT_TRUE(waitUntil([&] { return !rig.emulator().headset().serviceMode; }));
    EXPECT_TRUE(on("Menu"));
    EXPECT_TRUE(log.contains(QStringLiteral("after the page that asked for it was left")));
}

// Shown again after it stopped waiting: the notice that then comes is the new visit's, which goes
// on in service mode.
TEST_F(PairingPageTest, ANoticeThatComesAfterThePageCameBackIsTheNewVisits)
{
    ASSERT_NO_FATAL_FAILURE(leftAfterItStoppedWaiting());
    showUntil(PairingPage::entering_service_mode);
    ASSERT_TRUE(rig.emulator().waitForFrame(emu::FrameFilter::dcp(37), testutil::scaled(5000), mark));

    testutil::LogCapture log;
    rig.emulator().noticeState(emu::state::ServiceMode);
    EXPECT_TRUE(waitUntil([&] { return page->state() == PairingPage::looking_for_devices_state; }));
    EXPECT_FALSE(log.contains(QStringLiteral("after the page that asked for it was left")));
    EXPECT_EQ(rig.emulator().dongle().state, emu::state::ServiceMode);
}

// Back while the dongle has not yet answered the request to enter service mode, then the page
// shown again at once: the new visit goes on in service mode on the first request's notice and
// stays in it, whether its own request is answered or not; leaving it ends service mode.
void PairingPageTest::showAgainBeforeTheAnswer(bool ownRequestAnswered)
{
    ASSERT_NO_FATAL_FAILURE(start(headset(OnlyThisDongle), {}, 1.0));
    rig.enterServiceModeLate(testutil::scaled(300));
    showUntil(PairingPage::entering_service_mode);
    ASSERT_TRUE(rig.emulator().waitForFrame(emu::FrameFilter::dcp(37), testutil::scaled(5000), mark));
    rig.container.clickLeft();
    ASSERT_TRUE(waitUntil([&] { return on("Menu"); }));
    showUntil(PairingPage::entering_service_mode);
    ASSERT_EQ(rig.emulator().dongle().state, emu::state::Idle) << "the first request was answered already";
    if (!ownRequestAnswered)
        rig.emulator().addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(37)));

    ASSERT_TRUE(waitUntil([&] { return page->state() == PairingPage::looking_for_devices_state; }));
    ASSERT_TRUE(rig.requestsAnswered());
    EXPECT_EQ(rig.emulator().dongle().state, emu::state::ServiceMode);
    EXPECT_TRUE(rig.emulator().headset().serviceMode);
    EXPECT_EQ(page->state(), PairingPage::looking_for_devices_state);

    rig.emulator().clearFaults();
    rig.container.clickLeft();
    ASSERT_TRUE(waitUntil([&] { return on("Menu"); }));
    EXPECT_TRUE(waitUntil([&] { return rig.emulator().dongle().state == emu::state::Idle; }));
}

TEST_F(PairingPageTest, ShownAgainBeforeTheDongleAnsweredTheLeftVisitTheNewVisitIsInServiceMode)
{
    showAgainBeforeTheAnswer(true);
}

TEST_F(PairingPageTest, ShownAgainBeforeTheDongleAnsweredTheLeftVisitAnUnansweredNewRequestChangesNothing)
{
    showAgainBeforeTheAnswer(false);
}

// The dongle answers the visit that was left and takes its exit before the page is shown again,
// but its notices come late: the new visit hears the left visit's service mode, then its exit.
// Left then, before the notice of its own request, the new visit does not leave the network in
// service mode.
TEST_F(PairingPageTest, LeftBeforeTheNoticeOfItsOwnRequestAVisitShownAgainEndsServiceMode)
{
    ASSERT_NO_FATAL_FAILURE(start(
        headset(OnlyThisDongle),
        [](emu::Emulator& e) {
            e.updateDongle([](emu::DongleModel& d) { d.stateNoticeOnServiceChange = false; });
        },
        1.0));
    rig.enterServiceModeLate(testutil::scaled(300));
    showUntil(PairingPage::entering_service_mode);
    ASSERT_TRUE(rig.emulator().waitForFrame(emu::FrameFilter::dcp(37), testutil::scaled(5000), mark));
    rig.container.clickLeft();
    ASSERT_TRUE(waitUntil([&] { return on("Menu"); }));
    const auto exit = emu::FrameFilter::dcp(37).where([](emu::Frame const& f) { return f.value() == 0; });
    ASSERT_TRUE(rig.emulator().waitForFrame(exit, testutil::scaled(5000), mark));
    showUntil(PairingPage::entering_service_mode);
    ASSERT_TRUE(waitUntil([&] { return rig.emulator().dongle().state == emu::state::ServiceMode; }));

    // Each notice follows the answer to the new request on the line.
    rig.emulator().noticeState(emu::state::ServiceMode);
    ASSERT_TRUE(waitUntil([&] { return page->state() != PairingPage::entering_service_mode; }));
    rig.emulator().noticeState(emu::state::Idle);
    ASSERT_TRUE(waitUntil([&] { return !OX::isInServiceMode(rig.dongle()); }));
    answers.answer(QStringLiteral("Leaving pairing page"), QStringLiteral("Leave page")); // map not read yet
    rig.container.clickLeft();
    ASSERT_TRUE(waitUntil([&] { return on("Menu"); }));

    rig.emulator().noticeState(emu::state::ServiceMode);
    EXPECT_TRUE(waitUntil([&] { return rig.emulator().dongle().state == emu::state::Idle; }));
}

// Left in service mode, then shown again before the notice of the exit: the notices of the exit
// and of the new request that follow are the new visit's, which stays in service mode.
TEST_F(PairingPageTest, ShownAgainBeforeTheNoticeOfTheExitTheNewVisitStaysInServiceMode)
{
    ASSERT_NO_FATAL_FAILURE(start(headset(OnlyThisDongle), [](emu::Emulator& e) {
        e.updateDongle([](emu::DongleModel& d) { d.stateNoticeOnServiceChange = false; });
    }));
    showUntil(PairingPage::entering_service_mode);
    ASSERT_TRUE(waitUntil([&] { return rig.emulator().dongle().state == emu::state::ServiceMode; }));
    rig.emulator().noticeState(emu::state::ServiceMode);
    ASSERT_TRUE(waitUntil([&] { return page->state() != PairingPage::entering_service_mode; }));
    answers.answer(QStringLiteral("Leaving pairing page"), QStringLiteral("Leave page")); // map not read yet
    rig.container.clickLeft();
    ASSERT_TRUE(waitUntil([&] { return on("Menu"); }));
    ASSERT_EQ(rig.emulator().dongle().state, emu::state::Idle);
    showUntil(PairingPage::entering_service_mode);
    ASSERT_TRUE(waitUntil([&] { return rig.emulator().dongle().state == emu::state::ServiceMode; }));

    testutil::LogCapture log;
    rig.emulator().noticeState(emu::state::Idle);
    rig.emulator().noticeState(emu::state::ServiceMode);
    ASSERT_TRUE(rig.requestsAnswered());
    EXPECT_FALSE(log.contains(QStringLiteral("after the page that asked for it was left")));
    EXPECT_EQ(rig.emulator().dongle().state, emu::state::ServiceMode);
    EXPECT_NE(page->state(), PairingPage::not_initialized_state);
}

// The notice comes after the page stopped waiting and was left, and the network is still being
// taken out when the page is shown again: the new visit ends in service mode.
TEST_F(PairingPageTest, ShownAgainWhileALateNoticeTakesTheNetworkOutTheNewVisitIsInServiceMode)
{
    ASSERT_NO_FATAL_FAILURE(leftAfterItStoppedWaiting());
    ASSERT_TRUE(rig.headset()) << "the headset is asked first";
    const auto headsetExit = emu::FrameFilter::of(emu::pid::HCP, 6);
    rig.emulator().addFault(emu::FaultRule::delayRequest(headsetExit, testutil::scaled(300)));
    const int before = rig.emulator().mark();
    rig.emulator().noticeState(emu::state::ServiceMode);
    ASSERT_TRUE(rig.emulator().waitForFrame(headsetExit, testutil::scaled(5000), before));
    showUntil(PairingPage::entering_service_mode);

    const auto exit = emu::FrameFilter::dcp(37).where([](emu::Frame const& f) { return f.value() == 0; });
    ASSERT_TRUE(rig.emulator().waitForFrame(exit, testutil::scaled(5000), before));
    ASSERT_TRUE(rig.requestsAnswered());
    EXPECT_EQ(rig.emulator().dongle().state, emu::state::ServiceMode);
    EXPECT_TRUE(waitUntil([&] { return page->state() == PairingPage::looking_for_devices_state; }));
}

// The dongle answers the exit on leaving but its notice then says it is still in service mode: the
// network is asked out once more, and only once, whether the dongle then leaves or not; the page
// shown again goes on in service mode.
TEST_F(PairingPageTest, ADongleStillInServiceModeAfterAnsweringTheExitIsAskedOutOnceMore)
{
    ASSERT_NO_FATAL_FAILURE(start(headset(OnlyThisDongle)));
    for (bool leavesThen : { true, false }) {
        SCOPED_TRACE(leavesThen ? "leaves the second time" : "stays in");
        showUntil(PairingPage::looking_for_headset_state);
        rig.emulator().updateDongle([](emu::DongleModel& d) {
            d.stateAfterServiceExit = emu::state::ServiceMode;
            // The second exit must not fall within the emulator's burst gap (both scaled), or it
            // counts as a copy of the first.
            d.noticeDelayMs = testutil::scaled(5000);
        });
        const int before = rig.emulator().mark();
        rig.container.clickLeft();
        ASSERT_TRUE(waitUntil([&] { return on("Menu"); }));
        const auto exit = emu::FrameFilter::dcp(37).where([](emu::Frame const& f) { return f.value() == 0; });
        ASSERT_TRUE(rig.emulator().waitForFrame(exit, testutil::scaled(3000), before));
        rig.emulator().updateDongle([&](emu::DongleModel& d) {
            d.stateAfterServiceExit = leavesThen ? emu::state::Idle : emu::state::ServiceMode;
        });

        const quint8 last = leavesThen ? quint8(DongleState::IDLE) : quint8(DongleState::SERV_M);
        ASSERT_TRUE(waitUntil([&] { return requests({ "16:37:0:" }, before).size() == 2; }));
        ASSERT_TRUE(rig.requestsAnswered());
        // The second exit's notice heard, and nothing asked after it.
        EXPECT_TRUE(waitUntil(
            [&] { return rig.dongle()->profile().state == last && rig.emulator().dongle().state == last; }));
        ASSERT_TRUE(rig.requestsAnswered());
        EXPECT_EQ(requests({ "16:37:0:" }, before).size(), 2);
        rig.emulator().updateDongle([](emu::DongleModel& d) {
            d.stateAfterServiceExit = emu::state::Idle;
            d.noticeDelayMs = 5;
        });
    }
    showUntil(PairingPage::looking_for_headset_state);
}

// The headset does not answer the request to leave service mode: the page goes, and the person
// is told over the next page that a device may still be in service mode.
TEST_F(PairingPageTest, AHeadsetLeftInServiceModeIsToldOverTheNextPage)
{
    ASSERT_NO_FATAL_FAILURE(start(headset({ { 4, 0x81, emu::preset::Pc1 }, { 3, 0x81, emu::preset::LinkDrive } }),
        [](emu::Emulator& e) { e.addLink(); }));
    showUntil(PairingPage::looking_for_devices_state);
    rig.emulator().addFault(emu::FaultRule::noReply(emu::FrameFilter::of(emu::pid::HCP, 6)));
    answers.answer(QStringLiteral("A device may still be in service mode"), QStringLiteral("OK"));
    rig.container.clickLeft();
    ASSERT_TRUE(waitUntil([&] { return on("Menu") && !answers.seen().isEmpty(); }, 5000));
    EXPECT_EQ(answers.seen(), QStringList { "Leave Service Mode" });
}

TEST_F(PairingPageTest, NothingIsOfferedOrStartedBeforeTheDongleReportsServiceMode)
{
    // The state notice comes 200 ms after the echo of the enter request.
    ASSERT_NO_FATAL_FAILURE(start(headset(OnlyThisDongle), [](emu::Emulator& e) {
        e.addLink(link(0x3456, 9, "LK23000009"));
        e.updateDongle([](emu::DongleModel& d) { d.noticeDelayMs = 2000; });
    }));
    QObject watcher;
    QList<int> dongleStates; // the dongle's state byte each time the page moves on from entering
    QObject::connect(page, &PairingPage::setState, &watcher, [&](PairingPage::State s) {
        if (s > PairingPage::entering_service_mode)
            dongleStates << rig.env.dongle->profile().state;
    });
    showUntil(PairingPage::looking_for_devices_state);
    ASSERT_TRUE(waitUntil([&] { return list("deviceList")->count() == 1; }));
    ASSERT_FALSE(dongleStates.isEmpty());
    EXPECT_EQ(dongleStates.count(0), dongleStates.size()) << "not in service mode yet";

    // The dongle falls out of service mode and is asked back in; this time its notice is held.
    rig.emulator().noticeState(1);
    ASSERT_TRUE(waitUntil([&] { return rig.env.dongle->profile().state == 1; }));
    rig.emulator().updateDongle([](emu::DongleModel& d) { d.stateNoticeOnServiceChange = false; });
    testutil::LogCapture log;
    answers.answer(QStringLiteral("Pair with headset"), QStringLiteral("As Primary Chair"));
    answers.answer(QStringLiteral("Service mode required"), QStringLiteral("Enter service mode"));
    pick("deviceList", 0);
    // Echoed, and the LINK heard again: the page still waits, and a pick starts nothing.
    ASSERT_TRUE(waitUntil([&] { return log.contains(QStringLiteral("DEVICE found")); }));
    EXPECT_EQ(page->state(), PairingPage::entering_service_mode);
    const int since = rig.emulator().mark();
    pick("deviceList", 0);
    testutil::spin(50);
    EXPECT_TRUE(list("deviceList")->selectedItems().isEmpty());
    EXPECT_TRUE(requests({ "64:", "3:" }, since).isEmpty());
    EXPECT_EQ(answers.seen(), (QStringList { "Pair with headset", "Service mode required" }));

    // Once the notice arrives the same pick asks again.
    rig.emulator().noticeState(0);
    ASSERT_TRUE(waitUntil([&] {
        return page->state() == PairingPage::looking_for_devices_state && list("deviceList")->count() == 1;
    }));
    answers.answer(QStringLiteral("Pair with headset"), QStringLiteral("No"));
    pick("deviceList", 0);
    EXPECT_TRUE(waitUntil([&] { return answers.seen().count(QStringLiteral("Pair with headset")) == 2; }));
}

TEST_F(PairingPageTest, AHeadsetIsOfferedOnlyOnceItsIdentityIsKnown)
{
    // Its identity is lost until the fault goes: the channel map comes first.
    ASSERT_NO_FATAL_FAILURE(start(headset({}, 0x2345)));
    const int lost = rig.emulator().addFault(
        emu::FaultRule::dropReply(emu::FrameFilter::of(emu::pid::NPP).withSrc(2), -1));
    show([&] { return list("channelList")->count() == 1; });
    EXPECT_EQ(page->state(), PairingPage::looking_for_headset_state);
    EXPECT_EQ(page->foundHeadsets().size(), 0); // no empty record at PAN 0
    rig.emulator().removeFault(lost);
    ASSERT_TRUE(waitUntil([&] { return list("headsetList")->count() == 1; }));
    EXPECT_EQ(OX::FoundDeviceMap::keyOf(page->foundHeadsets().valueAt(0)), QStringLiteral("9029-2"));
    EXPECT_EQ(row("headsetList", 0)->serial(), QStringLiteral("HS21000321"));
}

TEST_F(PairingPageTest, TheMiddleListShowsAHeadsetOfAnotherNetworkWithItsOwnPAN)
{
    // A headset of network 9029 paired with a computer there, heard by this dongle of 4660.
    ASSERT_NO_FATAL_FAILURE(start(headset({ { 5, 0x81, emu::preset::Pc1 } }, 0x2345)));
    show([&] { return list("channelList")->count() == 2 && list("headsetList")->count() == 1; });
    EXPECT_EQ(row("headsetList", 0)->pan(), 0x2345);
    EXPECT_EQ(row("channelList", 0)->pan(), 0x2345) << "the headset's own network, as the left list says";
    EXPECT_EQ(row("channelList", 1)->pan(), 0x2345) << "its computer is on that network too";
    testutil::saveScreenshot(&rig.container.controller, "pairing-headset-of-another-network");
}

TEST_F(PairingPageTest, AHeadsetSwitchedOnInPlaceOfThePairedOneIsOfferedAloneNeverTheOneThatWent)
{
    ASSERT_NO_FATAL_FAILURE(start(headset(OnlyThisDongle)));
    showUntil(PairingPage::looking_for_devices_state);
    rig.emulator().updateHeadset([](emu::HeadsetModel& h) { // out of the box
        h.pan = 0x2345;
        h.serial = "HS22000518";
        h.channelMap.clear();
    });
    ASSERT_TRUE(waitUntil([&] { return rowWithSerial("headsetList", "HS22000518") >= 0; }));
    testutil::spin(300);
    EXPECT_EQ(list("headsetList")->count(), 1);
    EXPECT_EQ(rowWithSerial("headsetList", "HS21000321"), -1) << "the headset that went is offered";
}

TEST_F(PairingPageTest, WhileTheHeadsetIsOffNothingIsPairedOrRemovedAndTheLinksComeBackWithIt)
{
    rig.shortWatchdog(); // the switched-off headset is lost soon
    ASSERT_NO_FATAL_FAILURE(
        start(headset(OnlyThisDongle), [](emu::Emulator& e) { e.addLink(link(0x3456, 9, "LK23000009")); }));
    showUntil(PairingPage::looking_for_devices_state);
    ASSERT_TRUE(waitUntil([&] { return list("deviceList")->count() == 1; }));
    // Switched off as the LINK is picked: its question goes with the headset, and a late "yes"
    // moves no LINK onto a network whose map it cannot enter.
    int since = 0;
    ASSERT_NO_FATAL_FAILURE(pickAsTheHeadsetGoes("deviceList", QStringLiteral("As Primary Chair"), &since));
    ASSERT_TRUE(waitUntil([&] { return !rig.headset(); }, 4000));
    testutil::spin(300); // the LINK is heard meanwhile
    EXPECT_EQ(list("deviceList")->count(), 0) << "no LINK to pair with a headset that is not there";
    EXPECT_EQ(page->state(), PairingPage::looking_for_headset_state);
    list("channelList")->setCurrentRow(1); // this computer, still heard
    EXPECT_FALSE(page->findChild<OX::IconButton*>("cmapRemoveButton")->isEnabled())
        << "a removal would move the dongle off the network and leave it in the headset's map";
    EXPECT_TRUE(requests({ "64:" }, since).isEmpty());
    EXPECT_EQ(rig.emulator().link(0).pan, 0x3456);
    EXPECT_FALSE(answers.seen().contains(QStringLiteral("Pair with headset")));
    rig.emulator().headsetPower(true);
    EXPECT_TRUE(waitUntil([&] { return list("deviceList")->count() == 1; }, 5000));
}

TEST_F(PairingPageTest, AHeadsetOnTheDonglesPANWithAnEmptyMapIsNeitherListedNorMarked)
{
    emu::HeadsetModel silent = headset({});
    silent.streamsInServiceMode = false; // heard only by its beacons
    ASSERT_NO_FATAL_FAILURE(start(silent));
    showUntil(PairingPage::waiting_for_cmap_state);
    testutil::spin(300); // three beacons more
    EXPECT_EQ(list("headsetList")->count(), 0);
    EXPECT_EQ(list("channelList")->count(), 0);
    rig.emulator().updateHeadset([](emu::HeadsetModel& h) { h.pan = 0x2345; });
    EXPECT_TRUE(waitUntil([&] { return list("headsetList")->count() == 1; }));
}

TEST_F(PairingPageTest, PairingAHeadsetAsComputerOneMovesTheDongleAndWritesTheMap)
{
    ASSERT_NO_FATAL_FAILURE(start(headset({}, 0x2345),
        [](emu::Emulator& e) { e.updateDongle([](emu::DongleModel& d) { d.address = 1; }); }));
    showUntil(PairingPage::looking_for_devices_state);
    ASSERT_TRUE(waitUntil([&] { return list("headsetList")->count() == 1; }));
    testutil::saveScreenshot(&rig.container.controller, "pairing-headset-found");

    // Nothing added yet: leaving is asked about.
    answers.answer(QStringLiteral("Leaving pairing page"), QStringLiteral("Stay on page"));
    rig.container.clickLeft();
    EXPECT_TRUE(on("Pairing"));

    const int since = rig.emulator().mark();
    answers.answer(QStringLiteral("Pair with headset"), QStringLiteral("Pair as computer #1"));
    pick("headsetList", 0);
    ASSERT_TRUE(waitUntil([&] { return headsetMapIs({ { 4, 0x81, 0x3B } }) && page->networkChanged(); }));
    EXPECT_EQ(requests({ "16:19:", "16:5:", "3:" }, since),
        (QStringList { "16:19:0:4@0", "16:5:0:9029@0", "3:1:2:33028@9029" }));
    EXPECT_TRUE(rig.emulator()
                    .waitForFrame(emu::FrameFilter::dcp(19), 0, since)
                    ->raw.endsWith(emu::fromHex("EC 13 04 00 51 50")));
    ASSERT_TRUE(
        waitUntil([&] { return list("headsetList")->count() == 0 && list("channelList")->count() == 2; }));
    EXPECT_TRUE(row("channelList", 1)->isChecked());
    testutil::saveScreenshot(&rig.container.controller, "pairing-headset-paired");

    // Another headset heard on another PAN, which the dongle does not hold: nothing is sent (the
    // dongle would leave its network for a map it cannot write, or write the held headset's map);
    // the failure title stays English in French.
    NPP other = rig.headset()->generateNPP();
    other.pan = 0x2346;
    page->deviceFound(rig.env.dongle.get(), other);
    ASSERT_EQ(list("headsetList")->count(), 1);
    QTranslator french;
    ASSERT_TRUE(french.load(QStringLiteral(":/languages/fr")));
    QCoreApplication::installTranslator(&french);
    answers.answer(
        QStringLiteral("Appairer avec le casque"), QStringLiteral("Appairer comme ordinateur n° 2"));
    const QString failed = QStringLiteral("Pair headset with dongle (Définir la table des canaux) failed");
    answers.answer(failed, QStringLiteral("OK"));
    const int again = rig.emulator().mark();
    pick("headsetList", 0);
    ASSERT_TRUE(waitUntil([&] { return answers.seen().contains(failed); }));
    QCoreApplication::removeTranslator(&french);
    EXPECT_TRUE(requests({ "16:19:", "16:5:", "3:" }, again).isEmpty());
    EXPECT_EQ(rig.emulator().dongle().pan, 0x2345);
    EXPECT_EQ(page->workingChannelMap().size(), 1);
    EXPECT_TRUE(headsetMapIs({ { 4, 0x81, 0x3B } }));

    // Leaving after a chain offers the network password page.
    answers.answer(QStringLiteral("Network may changed"), QStringLiteral("Change password"));
    const int leave = rig.emulator().mark();
    rig.container.clickLeft();
    ASSERT_TRUE(waitUntil([&] { return on("Security"); }, 3000));
    EXPECT_TRUE(requests({ "16:37:" }, leave).contains(QStringLiteral("16:37:0:0@0")));
}

// The headset offered is switched off as it is picked, or while the dongle takes its new
// address: its question goes with it, and the dongle never leaves its network for a headset
// that is gone.
TEST_F(PairingPageTest, AHeadsetSwitchedOffAsItIsPickedLeavesTheDongleOnItsNetwork)
{
    ASSERT_NO_FATAL_FAILURE(start(
        headset({}, 0x2345),
        [](emu::Emulator& e) { e.updateDongle([](emu::DongleModel& d) { d.address = 1; }); }, 0.5));
    showUntil(PairingPage::looking_for_devices_state);
    ASSERT_TRUE(waitUntil([&] { return list("headsetList")->count() == 1; }));
    int since = 0;
    ASSERT_NO_FATAL_FAILURE(
        pickAsTheHeadsetGoes("headsetList", QStringLiteral("Pair as computer #1"), &since));
    testutil::spin(300);
    EXPECT_TRUE(requests({ "16:19:", "16:5:", "3:" }, since).isEmpty());
    EXPECT_EQ(rig.emulator().dongle().pan, 0x1234);
    EXPECT_FALSE(answers.seen().contains(QStringLiteral("Pair with headset")));

    rig.emulator().headsetPower(true);
    ASSERT_TRUE(waitUntil([&] { return list("headsetList")->count() == 1; }));
    const emu::FrameFilter address = emu::FrameFilter::dcp(19);
    rig.emulator().addFault(emu::FaultRule::delayRequest(address, testutil::scaled(300), -1));
    const QString failed = QStringLiteral("Pair headset with dongle (Set PAN) failed");
    answers.answer(QStringLiteral("Pair with headset"), QStringLiteral("Pair as computer #1"));
    answers.answer(failed, QStringLiteral("OK"));
    since = rig.emulator().mark();
    pick("headsetList", 0);
    ASSERT_TRUE(waitUntil([&] { return rig.emulator().receivedCount(address) > 0; }));
    rig.emulator().headsetPower(false);
    rig.dongle()->headsetLost(rig.headset());
    ASSERT_TRUE(waitUntil([&] { return answers.seen().contains(failed); }));
    EXPECT_TRUE(requests({ "16:5:", "3:" }, since).isEmpty());
    EXPECT_EQ(rig.emulator().dongle().pan, 0x1234);
}

TEST_F(PairingPageTest, LinksArePairedWhetherTheyTakeAddressAndPANAtOnceOrOnLeavingServiceMode)
{
    ASSERT_NO_FATAL_FAILURE(start(headset(OnlyThisDongle), [](emu::Emulator& e) {
        e.addLink(link(0x3456, 9, "LK23000009"));
        emu::LinkModel later = link(0x3457, 10, "LK23000010");
        later.addressOnServiceExit = true;
        e.addLink(later);
    }));
    showUntil(PairingPage::looking_for_devices_state);
    ASSERT_TRUE(waitUntil([&] { return list("deviceList")->count() == 2; }));
    testutil::saveScreenshot(&rig.container.controller, "pairing-links-found");

    // "No" sends nothing and changes nothing.
    int since = rig.emulator().mark();
    answers.answer(QStringLiteral("Pair with headset"), QStringLiteral("No"));
    pick("deviceList", 0);
    testutil::spin(100);
    EXPECT_TRUE(requests({ "64:", "3:" }, since).isEmpty());
    EXPECT_FALSE(page->networkChanged());

    // The PAN first, then the address, both to the address the LINK reported.
    since = rig.emulator().mark();
    answers.answer(QStringLiteral("Pair with headset"), QStringLiteral("As Primary Chair"));
    pick("deviceList", rowWithSerial("deviceList", "LK23000009"));
    ASSERT_TRUE(waitUntil([&] { return headsetMapIs({ { 4, 0x81, 0x3B }, { 3, 0x81, 0x18 } }); }));
    EXPECT_EQ(rig.emulator().link(0).address, 3);
    EXPECT_EQ(rig.emulator().link(0).pan, 0x1234);
    EXPECT_EQ(requests({ "64:" }, since), (QStringList { "64:0:9:4660@1", "64:1:9:3@1" }));
    ASSERT_TRUE(waitUntil([&] { return page->networkChanged() && list("deviceList")->count() == 1; }));
    // Heard between its new PAN and its new address, it is offered only until it is heard where it
    // is now.
    page->deviceFound(rig.env.dongle.get(), heard(ProductID::Link, "LK23000009", 0x1234, 9));
    EXPECT_EQ(list("deviceList")->count(), 2);
    page->deviceFound(rig.env.dongle.get(), heard(ProductID::Link, "LK23000009", 0x1234, 3));
    EXPECT_EQ(list("deviceList")->count(), 1);

    since = rig.emulator().mark();
    answers.answer(QStringLiteral("Pair with headset"), QStringLiteral("As Secondary Chair"));
    pick("deviceList", rowWithSerial("deviceList", "LK23000010"));
    ASSERT_TRUE(waitUntil([&] { return rig.emulator().headset().channelMap.size() == 3; }));
    EXPECT_EQ(rig.emulator().headset().channelMap.back(), (emu::MapEntry { 6, 0x81, 0x88 }));
    EXPECT_EQ(requests({ "64:" }, since), (QStringList { "64:0:10:4660@1", "64:1:10:6@1" }));
    EXPECT_EQ(rig.emulator().link(1).address, 10);
    // Both in the headset's map; the first, already on the dongle's PAN, heard and checked.
    ASSERT_TRUE(
        waitUntil([&] { return list("channelList")->count() == 4 && row("channelList", 2)->isChecked(); }));
    testutil::saveScreenshot(&rig.container.controller, "pairing-links-paired");

    // Leaving reaches each LINK where it answers now, as its beacons tell: the second still at
    // 10 until it leaves.
    ASSERT_TRUE(waitUntil([&] { return rig.env.dongle->serviceAddressesOf(6) == QList<quint8> { 10 }; }));
    answers.answer(QStringLiteral("Network may changed"), QStringLiteral("Keep current password"));
    since = rig.emulator().mark();
    rig.container.clickLeft();
    ASSERT_TRUE(waitUntil([&] { return on("Menu"); }));
    EXPECT_EQ(requests({ "48:101:" }, since), (QStringList { "48:101:3:0@1", "48:101:10:0@1" }));
    EXPECT_TRUE(waitUntil([&] { return rig.emulator().link(1).address == 6; }));
    EXPECT_EQ(rig.emulator().link(1).pan, 0x1234);
    EXPECT_FALSE(rig.emulator().link(1).serviceMode);
}

// The LINK picked leaves the list at once: while its pairing runs, every row is still the LINK it
// shows, so that a row picked meanwhile pairs that LINK and not the next one.
TEST_F(PairingPageTest, WhileALinkIsBeingPairedEveryRowIsTheLinkItShows)
{
    ASSERT_NO_FATAL_FAILURE(start(headset(OnlyThisDongle), [](emu::Emulator& e) {
        e.addLink(link(0x3456, 9, "LK23000009"));
        e.addLink(link(0x3457, 10, "LK23000010"));
        e.addLink(link(0x3458, 11, "LK23000011"));
    }));
    showUntil(PairingPage::looking_for_devices_state);
    ASSERT_TRUE(waitUntil([&] { return list("deviceList")->count() == 3; }));
    // No beacon rebuilds the list meanwhile, and the first LINK's pairing waits on its answer.
    rig.emulator().updateDongle([](emu::DongleModel& d) { d.beaconIntervalMs = 600000; });
    testutil::spin(300);
    const emu::FrameFilter toFirst = emu::FrameFilter::of(emu::pid::GRCP).withDst(9);
    rig.emulator().addFault(emu::FaultRule::noReply(toFirst));
    const int since = rig.emulator().mark();
    answers.answer(QStringLiteral("Pair with headset"), QStringLiteral("As Primary Chair"));
    answers.answer(QStringLiteral("Pair link with headset (Set PAN) failed"), QStringLiteral("OK"));
    pick("deviceList", rowWithSerial("deviceList", "LK23000009"));
    ASSERT_TRUE(rig.emulator().waitForFrame(toFirst, testutil::scaled(2000), since));
    ASSERT_EQ(list("deviceList")->count(), 2);
    ASSERT_EQ(page->foundDevices().size(), 2);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(row("deviceList", i)->serial(), page->foundDevices().valueAt(i).getSerialNumber());
    EXPECT_TRUE(waitUntil(
        [&] { return answers.seen().contains(QStringLiteral("Pair link with headset (Set PAN) failed")); }));
}

TEST_F(PairingPageTest, RemovingTakesTheDevicePickedAndEndsALinkWithLeavingServiceMode)
{
    ASSERT_NO_FATAL_FAILURE(start(headset({ { 4, 0x81, emu::preset::Pc1 }, { 3, 0x81, emu::preset::LinkDrive } }),
        [](emu::Emulator& e) { e.addLink(); }));
    showUntil(PairingPage::looking_for_devices_state);
    ASSERT_TRUE(
        waitUntil([&] { return list("channelList")->count() == 3 && row("channelList", 2)->isChecked(); }));

    // Another headset object holds the map reordered; it reaches the page while the PAN step runs.
    rig.emulator().updateHeadset([](emu::HeadsetModel& h) {
        h.channelMap = { { 3, 0x81, emu::preset::LinkDrive }, { 4, 0x81, emu::preset::Pc1 } };
    });
    Headset reordered(*rig.env.dongle, SHP(), 0x1234, 2);
    bool read = false;
    reordered.queryChannelMap([&](ChannelMap*, DongleResult) { read = true; });
    ASSERT_TRUE(waitUntil([&] { return read; }));
    // The LINK's answer to its new PAN is held back until that map has reached the page: however
    // late this thread runs, the map cannot come after the removal's own write.
    const emu::FrameFilter panAnswer = emu::FrameFilter::of(emu::pid::ACK, 0x40).withSrc(3);
    const int held = rig.emulator().addFault(emu::FaultRule::dropReply(panAnswer, -1));
    rig.emulator().addFault(emu::FaultRule::noReply(emu::FrameFilter::of(emu::pid::LCP, 101)));

    const int since = rig.emulator().mark();
    answers.answer(QStringLiteral("Remove device"), QStringLiteral("Yes"));
    pick("channelList", 2);
    QTest::mouseClick(page->findChild<OX::IconButton*>("cmapRemoveButton"), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return rig.emulator().faultHits(held) > 0; }));
    page->updateWithHeadset(&reordered, HeadsetChangeMask::channelMap);
    rig.emulator().removeFault(held);
    rig.emulator().injectFrame(rig.emulator().waitForSent(panAnswer, 0)->frame);
    // Its leaving is never answered, and the chain succeeds all the same.
    ASSERT_TRUE(waitUntil([&] { return page->networkChanged(); }, 3000));
    EXPECT_TRUE(headsetMapIs({ { 4, 0x81, emu::preset::Pc1 } }));
    EXPECT_EQ(requests({ "64:", "3:", "48:" }, since),
        (QStringList { "64:0:3:1@1", "3:1:2:33028@4660", "48:101:3:0@1" }));

    // A computer entry: no leaving.
    const int second = rig.emulator().mark();
    ASSERT_TRUE(waitUntil([&] { return list("channelList")->count() == 2; }));
    answers.answer(QStringLiteral("Remove device"), QStringLiteral("Yes"));
    pick("channelList", 1);
    QTest::mouseClick(page->findChild<OX::IconButton*>("cmapRemoveButton"), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return headsetMapIs({}); }));
    testutil::spin(100);
    EXPECT_EQ(requests({ "16:5:", "16:19:", "48:" }, second), (QStringList { "16:5:0:1@0" }));
    // This dongle's own entry: its row shows the service PAN it went back to.
    EXPECT_EQ(page->findChild<OX::DeviceWidget*>("dongle")->pan(), 1);
}

// A LINK that says no to its new network is told as a refusal, not as a LINK that never
// answered, and nothing is taken into the headset's map; a removal it refuses keeps it there.
TEST_F(PairingPageTest, ALinkThatRefusesItsNewNetworkIsToldSo)
{
    const emu::ChannelMapEntries map = { { 4, 0x81, emu::preset::Pc1 }, { 3, 0x81, emu::preset::LinkDrive } };
    ASSERT_NO_FATAL_FAILURE(start(headset(map), [](emu::Emulator& e) {
        e.addLink(); // at 3, in the map
        e.addLink(link(0x3456, 9, "LK23000009"));
        for (int i = 0; i < 2; ++i)
            e.updateLink(i, [](emu::LinkModel& l) { l.networkError = 7; });
    }));
    showUntil(PairingPage::looking_for_devices_state);
    ASSERT_TRUE(waitUntil([&] {
        return list("deviceList")->count() == 1 && list("channelList")->count() == 3
            && row("channelList", 2)->isChecked();
    }));

    const QString pairFailed = QStringLiteral("Pair link with headset (Set PAN) failed");
    answers.answer(QStringLiteral("Pair with headset"), QStringLiteral("As Primary Chair"));
    answers.answer(pairFailed, QStringLiteral("OK"));
    pick("deviceList", 0);
    ASSERT_TRUE(waitUntil([&] { return answers.seen().contains(pairFailed); }));
    const QString paired = answers.shownTexts().last();
    EXPECT_TRUE(paired.contains(QStringLiteral("Refused by the device"))) << paired.toStdString();
    EXPECT_EQ(rig.emulator().link(1).pan, 0x3456);

    const QString removeFailed = QStringLiteral("Remove device (Set PAN) failed");
    answers.answer(QStringLiteral("Remove device"), QStringLiteral("Yes"));
    answers.answer(removeFailed, QStringLiteral("OK"));
    pick("channelList", 2);
    QTest::mouseClick(page->findChild<OX::IconButton*>("cmapRemoveButton"), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return answers.seen().contains(removeFailed); }));
    const QString removed = answers.shownTexts().last();
    EXPECT_TRUE(removed.contains(QStringLiteral("Refused by the device"))) << removed.toStdString();
    EXPECT_EQ(rig.emulator().link(0).pan, 0x1234);
    EXPECT_TRUE(headsetMapIs(map));
    EXPECT_FALSE(page->networkChanged());
}

// A LINK that takes its new address and PAN only on leaving service mode is still heard where it
// was: it is shown in the network, not offered again, and a removal in the same visit reaches it
// there and takes it out of the headset's map. serviceModeAgain: before the removal the dongle
// drops out of service mode and the person takes it back in, which the LINK never left.
void PairingPageTest::removeALinkPairedByMistake(bool serviceModeAgain)
{
    ASSERT_NO_FATAL_FAILURE(start(headset(OnlyThisDongle), [](emu::Emulator& e) {
        emu::LinkModel later = link(0x3456, 9, "LK23000009");
        later.addressOnServiceExit = true;
        e.addLink(later);
    }));
    showUntil(PairingPage::looking_for_devices_state);
    ASSERT_TRUE(waitUntil([&] { return list("deviceList")->count() == 1; }));
    answers.answer(QStringLiteral("Pair with headset"), QStringLiteral("As Primary Chair"));
    pick("deviceList", 0);
    ASSERT_TRUE(waitUntil([&] { return headsetMapIs({ { 4, 0x81, 0x3B }, { 3, 0x81, 0x18 } }); }));
    auto shownInNetwork
        = [&] { return list("channelList")->count() == 3 && row("channelList", 2)->isChecked(); };
    ASSERT_TRUE(waitUntil(shownInNetwork));
    EXPECT_EQ(rig.emulator().link(0).address, 9);
    EXPECT_EQ(list("deviceList")->count(), 0);
    auto remove = [&] {
        answers.answer(QStringLiteral("Remove device"), QStringLiteral("Yes"));
        pick("channelList", 2);
        QTest::mouseClick(page->findChild<OX::IconButton*>("cmapRemoveButton"), Qt::LeftButton);
    };
    if (serviceModeAgain) {
        rig.emulator().noticeState(1);
        ASSERT_TRUE(waitUntil([&] { return rig.env.dongle->profile().state == 1; }));
        answers.answer(QStringLiteral("Service mode required"), QStringLiteral("Enter service mode"));
        remove();
        ASSERT_TRUE(waitUntil([&] {
            return page->state() == PairingPage::looking_for_devices_state
                && rig.env.dongle->profile().state == 0 && shownInNetwork();
        }));
    }

    const int since = rig.emulator().mark();
    remove();
    ASSERT_TRUE(waitUntil([&] { return !rig.emulator().link(0).serviceMode; }));
    EXPECT_TRUE(headsetMapIs(OnlyThisDongle));
    if (!serviceModeAgain)
        EXPECT_EQ(requests({ "64:", "48:" }, since), (QStringList { "64:0:9:1@1", "48:101:9:0@1" }));
    EXPECT_EQ(rig.emulator().link(0).pan, 1);
    EXPECT_TRUE(waitUntil([&] { return list("channelList")->count() == 2; }));
}

TEST_F(PairingPageTest, ALinkPairedByMistakeIsRemovedInTheSameVisit)
{
    removeALinkPairedByMistake(false);
}

TEST_F(PairingPageTest, ALinkPairedByMistakeIsRemovedAfterServiceModeWasEnteredAgain)
{
    removeALinkPairedByMistake(true);
}

// The headset is switched off while a device leaves the network, or while a LINK joins it, and
// another one is switched on in its place: neither operation writes that headset's map.
TEST_F(PairingPageTest, AHeadsetSwitchedOnInPlaceDuringAnOperationKeepsItsMap)
{
    rig.shortWatchdog();
    ASSERT_NO_FATAL_FAILURE(start(
        headset({ { 4, 0x81, emu::preset::Pc1 }, { 3, 0x81, emu::preset::LinkDrive } }),
        [](emu::Emulator& e) {
            e.addLink();
            e.addLink(link(0x3456, 9, "LK23000009"));
        },
        1.0));
    const struct {
        uint8_t device; // whose answer to its new PAN is held until the other headset runs
        char const* serial; // of the headset switched on in its place
        char const* failed;
    } cases[] = { { 3, "HS21000999", "Remove device (Set CMAP) failed" },
        { 9, "HS21000888", "Pair link with headset (Set CMAP) failed" } };
    showUntil(PairingPage::looking_for_devices_state);
    for (auto const& c : cases) {
        ASSERT_TRUE(waitUntil([&] {
            return page->state() == PairingPage::looking_for_devices_state
                && (c.device == 3 ? row("channelList", 2) && row("channelList", 2)->isChecked()
                                  : rowWithSerial("deviceList", "LK23000009") >= 0);
        }));
        const emu::FrameFilter panAnswer = emu::FrameFilter::of(emu::pid::ACK, 0x40).withSrc(c.device);
        const int held = rig.emulator().addFault(emu::FaultRule::dropReply(panAnswer, -1));
        answers.answer(c.failed, QStringLiteral("OK"));
        if (c.device == 3) {
            answers.answer(QStringLiteral("Remove device"), QStringLiteral("Yes"));
            pick("channelList", 2);
            QTest::mouseClick(page->findChild<OX::IconButton*>("cmapRemoveButton"), Qt::LeftButton);
        } else {
            answers.answer(QStringLiteral("Pair with headset"), QStringLiteral("As Secondary Chair"));
            pick("deviceList", rowWithSerial("deviceList", "LK23000009"));
        }
        ASSERT_TRUE(waitUntil([&] { return rig.emulator().faultHits(held) > 0; }));

        const emu::ChannelMapEntries other
            = { { 5, 0x81, emu::preset::Pc2 }, { 3, 0x81, emu::preset::LinkDrive } };
        rig.emulator().headsetPower(false);
        ASSERT_TRUE(waitUntil([&] { return !rig.headset(); }, 4000));
        rig.emulator().updateHeadset([&](emu::HeadsetModel& h) {
            h.serial = c.serial;
            h.channelMap = other;
        });
        rig.emulator().headsetPower(true);
        ASSERT_TRUE(waitUntil([&] { return rig.headset() != nullptr; }, 4000));
        rig.emulator().removeFault(held);
        rig.emulator().injectFrame(rig.emulator().waitForSent(panAnswer, 0)->frame);
        EXPECT_TRUE(waitUntil([&] { return answers.seen().contains(c.failed); }, 4000)) << c.failed;
        testutil::spin(100);
        EXPECT_TRUE(headsetMapIs(other)) << c.failed;
        EXPECT_FALSE(page->networkChanged()) << c.failed;
    }
}

// A removal whose map was not written leaves the rows as they were while the working map has lost
// the entry: the next removal still takes the device of the row picked, never the one after it.
TEST_F(PairingPageTest, AfterARemovalThatFailedTheRowPickedIsTheDeviceRemoved)
{
    ASSERT_NO_FATAL_FAILURE(start(headset({ { 4, 0x81, emu::preset::Pc1 }, { 3, 0x81, emu::preset::LinkDrive },
                                      { 7, 0x81, emu::preset::LinkActuator },
                                      { 6, 0x81, emu::preset::LinkOutdoorDrive } }),
        [](emu::Emulator& e) {
            e.addLink();
            e.addLink(link(0x1234, 7, "LK19000777"));
            e.addLink(link(0x1234, 6, "LK19000666"));
        }));
    showUntil(PairingPage::looking_for_devices_state);
    ASSERT_TRUE(waitUntil([&] {
        return list("channelList")->count() == 5 && row("channelList", 2)->isChecked()
            && row("channelList", 3)->isChecked() && row("channelList", 4)->isChecked();
    }));
    auto* remove = page->findChild<OX::IconButton*>("cmapRemoveButton");
    rig.emulator().updateHeadset([](emu::HeadsetModel& h) { h.ignoreChannelMapWrite = true; });
    answers.answer(QStringLiteral("Remove device"), QStringLiteral("Yes"));
    answers.answer(QStringLiteral("Remove device (Set CMAP) failed"), QStringLiteral("OK"));
    pick("channelList", 2);
    QTest::mouseClick(remove, Qt::LeftButton);
    ASSERT_TRUE(waitUntil(
        [&] { return answers.seen().contains(QStringLiteral("Remove device (Set CMAP) failed")); }, 3000));
    ASSERT_EQ(list("channelList")->count(), 5);

    rig.emulator().updateHeadset([](emu::HeadsetModel& h) { h.ignoreChannelMapWrite = false; });
    const int since = rig.emulator().mark();
    answers.answer(QStringLiteral("Remove device"), QStringLiteral("Yes"));
    pick("channelList", 3);
    ASSERT_TRUE(remove->isEnabled());
    QTest::mouseClick(remove, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return rig.emulator().headset().channelMap.size() == 2; }, 3000));
    EXPECT_EQ(requests({ "64:" }, since), QStringList { "64:0:7:1@1" });
    EXPECT_EQ(rig.emulator().headset().channelMap.back(), (emu::MapEntry { 6, 0x81, 0x88 }));
}

TEST_F(PairingPageTest, ANinthDeviceIsRefusedBeforeAnythingIsSent)
{
    emu::ChannelMapEntries full = OnlyThisDongle;
    for (uint8_t a = 10; a < 17; ++a)
        full.push_back({ a, 0x81, emu::preset::LinkActuator });
    ASSERT_NO_FATAL_FAILURE(start(headset(full), [](emu::Emulator& e) { e.addLink(link(0x3456, 9, "LK")); }));
    showUntil(PairingPage::looking_for_devices_state);
    ASSERT_TRUE(waitUntil([&] { return list("deviceList")->count() == 1; }));
    const int since = rig.emulator().mark();
    answers.answer(QStringLiteral("Pair with headset"), QStringLiteral("As Primary Chair"));
    answers.answer(QStringLiteral("Pair link with headset (Set CMAP) failed"), QStringLiteral("OK"));
    pick("deviceList", 0);
    EXPECT_TRUE(waitUntil(
        [&] { return answers.seen().contains(QStringLiteral("Pair link with headset (Set CMAP) failed")); }));
    testutil::spin(100);
    EXPECT_TRUE(requests({ "64:", "3:" }, since).isEmpty());
    EXPECT_EQ(page->workingChannelMap().size(), 8);
    EXPECT_EQ(page->foundDevices().size(), 1);
}

// A chair remote at 6: a LINK paired as the secondary chair would answer to its address too.
TEST_F(PairingPageTest, AnAddressHeldByAnotherKindOfDeviceIsRefusedBeforeAnythingIsSent)
{
    const emu::ChannelMapEntries map
        = { { 4, 0x81, emu::preset::Pc1 }, { 6, 0x81, emu::preset::ChairDrive } };
    ASSERT_NO_FATAL_FAILURE(start(headset(map), [](emu::Emulator& e) { e.addLink(link(0x3456, 9, "LK")); }));
    showUntil(PairingPage::looking_for_devices_state);
    ASSERT_TRUE(waitUntil([&] { return list("deviceList")->count() == 1; }));
    const int since = rig.emulator().mark();
    const QString refused = QStringLiteral("Pair link with headset (Set Address) failed");
    answers.answer(QStringLiteral("Pair with headset"), QStringLiteral("As Secondary Chair"));
    answers.answer(refused, QStringLiteral("OK"));
    pick("deviceList", 0);
    EXPECT_TRUE(waitUntil([&] { return answers.seen().contains(refused); }));
    testutil::spin(100);
    EXPECT_TRUE(requests({ "64:", "3:" }, since).isEmpty());
    EXPECT_EQ(rig.emulator().link(0).address, 9);
    EXPECT_TRUE(headsetMapIs(map));
}

TEST_F(PairingPageTest, OutsideServiceModeAChainShowsTheHintOnlyWhileThePageIsShown)
{
    // Replies may take 1500 ms: the page is left while one is held back.
    ASSERT_NO_FATAL_FAILURE(start(
        headset(OnlyThisDongle),
        [](emu::Emulator& e) {
            e.addLink(link(0x3456, 9, "LK23000009"));
            e.addLink(link(0x3457, 10, "LK23000010"));
        },
        0.5));
    showUntil(PairingPage::looking_for_devices_state);
    ASSERT_TRUE(waitUntil([&] { return list("deviceList")->count() == 2; }));

    // Code 11 at once: the hint, never the error box; its button enters service mode again.
    rig.emulator().noticeState(1);
    ASSERT_TRUE(waitUntil([&] { return rig.env.dongle->profile().state == 1; }));
    answers.answer(QStringLiteral("Pair with headset"), QStringLiteral("As Primary Chair"));
    answers.answer(QStringLiteral("Service mode required"), QStringLiteral("Enter service mode"));
    pick("deviceList", rowWithSerial("deviceList", "LK23000009"));
    EXPECT_TRUE(waitUntil([&] { return answers.seen().size() == 2; }));
    EXPECT_EQ(answers.seen(), (QStringList { "Pair with headset", "Service mode required" }));
    ASSERT_TRUE(waitUntil([&] {
        return page->state() == PairingPage::looking_for_devices_state
            && rig.env.dongle->profile().state == 0;
    }));
    EXPECT_FALSE(page->networkChanged()) << "nothing was added";
    ASSERT_TRUE(waitUntil([&] { return list("deviceList")->count() == 2; }));

    // Code 11 after the page was left: no box of the page (the director tells it), and no password
    // question for a pairing that failed.
    QSignalSpy done(page, &PairingPage::updateUI);
    // Every copy's acknowledgement is held back, so the refusal comes only after the page was left.
    rig.emulator().addFault(
        emu::FaultRule::delayReply(emu::FrameFilter::of(emu::pid::ACK).withSrc(10), 800, -1));
    const int since = rig.emulator().mark();
    answers.answer(QStringLiteral("Pair with headset"), QStringLiteral("As Primary Chair"));
    pick("deviceList", rowWithSerial("deviceList", "LK23000010"));
    ASSERT_TRUE(
        rig.emulator().waitForFrame(emu::FrameFilter::of(emu::pid::GRCP), testutil::scaled(2000), since));
    rig.emulator().noticeState(1);
    ASSERT_TRUE(waitUntil([&] { return rig.env.dongle->profile().state == 1; }));
    rig.container.clickLeft();
    ASSERT_TRUE(waitUntil([&] { return on("Menu") && done.count() == 1; }));
    testutil::spin(50);
    EXPECT_EQ(
        answers.seen(), (QStringList { "Pair with headset", "Service mode required", "Pair with headset" }));
}

// A new headset whose channel map is never written, and Back while the write is under way: the
// failure is told once by the director with what the dongle was left with, and leaving never
// asks about a password as if a device had been added.
TEST_F(PairingPageTest, AHeadsetPairingFailingAfterBackIsToldOnceAndOffersNoPassword)
{
    rig.viaDirector = true; // told as the director tells it
    ASSERT_NO_FATAL_FAILURE(start(headset({}, 0x2345)));
    showUntil(PairingPage::looking_for_devices_state);
    ASSERT_TRUE(waitUntil([&] { return list("headsetList")->count() == 1; }));
    rig.emulator().updateHeadset([](emu::HeadsetModel& h) { h.ignoreChannelMapWrite = true; });
    QSignalSpy ended(page, &PairingPage::updateUI);
    const int since = rig.emulator().mark();
    answers.answer(QStringLiteral("Pair with headset"), QStringLiteral("Pair as computer #1"));
    pick("headsetList", 0);
    ASSERT_TRUE(
        rig.emulator().waitForFrame(emu::FrameFilter::of(emu::pid::CMAP), testutil::scaled(3000), since));
    rig.container.clickLeft();
    auto const& told = rig.app->h.messages;
    ASSERT_TRUE(waitUntil([&] { return on("Menu") && ended.count() == 1 && !told.isEmpty(); }, 8000));
    testutil::spin(100); // a second message would follow at once
    ASSERT_EQ(told.size(), 1);
    EXPECT_EQ(told.at(0).title, QStringLiteral("Pair headset with dongle (Set CMAP) failed"));
    EXPECT_TRUE(told.at(0).text.contains(QStringLiteral("This dongle has joined the headset's network")));
    EXPECT_FALSE(answers.seen().contains(QStringLiteral("Network may changed")));
}

// The dongle unplugged while nothing runs takes the page back and nothing more; unplugged while a
// LINK takes its new network, the person is told once, over the page shown then, that the
// devices may have changed.
TEST_F(PairingPageTest, APairingCutShortByAnUnplugIsToldOnceAndAnIdleUnplugNot)
{
    rig.viaDirector = true;
    ASSERT_NO_FATAL_FAILURE(
        start(headset(OnlyThisDongle), [](emu::Emulator& e) { e.addLink(link(0x3456, 9, "LK23000009")); }));
    auto const& told = rig.app->h.messages;
    for (bool midPairing : { false, true }) {
        showUntil(PairingPage::looking_for_devices_state);
        ASSERT_TRUE(waitUntil([&] { return list("deviceList")->count() == 1; }));
        if (midPairing) {
            const emu::FrameFilter toLink = emu::FrameFilter::of(emu::pid::GRCP).withDst(9);
            rig.emulator().addFault(emu::FaultRule::noReply(toLink));
            const int since = rig.emulator().mark();
            answers.answer(QStringLiteral("Pair with headset"), QStringLiteral("As Primary Chair"));
            pick("deviceList", 0);
            ASSERT_TRUE(rig.emulator().waitForFrame(toLink, testutil::scaled(2000), since));
        }
        ASSERT_TRUE(rig.unplug());
        ASSERT_TRUE(waitUntil([&] { return on("Menu") && told.size() == int(midPairing); }));
        testutil::spin(100); // a second message would follow at once
        ASSERT_EQ(told.size(), int(midPairing));
        if (!midPairing) {
            ASSERT_TRUE(rig.replug());
        }
    }
    EXPECT_EQ(told.at(0).title, QStringLiteral("Pairing"));
    EXPECT_TRUE(told.at(0).text.contains(QStringLiteral("may already have a new address, network")));
}

// The dongle unplugged as the page slides in (before it has appeared) takes the page back as
// once it is shown; it never waits with no dongle for a service mode that cannot come.
TEST_F(PairingPageTest, ADongleGoneAsThePageSlidesInTakesThePageBack)
{
    rig.viaDirector = true;
    ASSERT_NO_FATAL_FAILURE(start(headset(OnlyThisDongle)));
    ASSERT_TRUE(rig.unplug());
    ASSERT_TRUE(rig.container.controller.showPage(QStringLiteral("Pairing"), 1, 0, true));
    EXPECT_TRUE(waitUntil([&] { return on("Menu"); }));
    EXPECT_TRUE(answers.seen().isEmpty());
}

// Back while a LINK takes its new address: the pairing ends well only after the page has gone,
// and the network password page is offered over the page shown then, as after any pairing. The
// network's leaving did not know the LINK yet: it is taken out of service mode once paired, and
// takes its new address and PAN (service mode here ends for each device only when it is told).
TEST_F(PairingPageTest, ALinkPairedAfterBackStillOffersThePasswordPage)
{
    ASSERT_NO_FATAL_FAILURE(start(
        headset(OnlyThisDongle),
        [](emu::Emulator& e) {
            emu::LinkModel later = link(0x3456, 9, "LK23000009");
            later.addressOnServiceExit = true;
            later.serviceMode = true;
            e.addLink(later);
            e.updateDongle([](emu::DongleModel& d) { d.serviceModeReachesNetwork = false; });
        },
        1.0));
    rig.emulator().updateHeadset([](emu::HeadsetModel& h) { h.serviceMode = true; });
    showUntil(PairingPage::looking_for_devices_state);
    ASSERT_TRUE(waitUntil([&] { return list("deviceList")->count() == 1; }));
    const emu::FrameFilter panAnswer = emu::FrameFilter::of(emu::pid::ACK, 0x40).withSrc(9);
    const int held = rig.emulator().addFault(emu::FaultRule::dropReply(panAnswer, -1));
    answers.answer(QStringLiteral("Pair with headset"), QStringLiteral("As Primary Chair"));
    answers.answer(QStringLiteral("Network may changed"), QStringLiteral("Keep current password"));
    pick("deviceList", 0);
    ASSERT_TRUE(waitUntil([&] { return rig.emulator().faultHits(held) > 0; }));
    rig.container.clickLeft();
    rig.emulator().removeFault(held);
    rig.emulator().injectFrame(rig.emulator().waitForSent(panAnswer, 0)->frame);
    Dongle::Timing quick = rig.dongle()->timing(); // the LINK is not at its new address yet
    quick.timeoutScale = 0.05;
    rig.dongle()->setTiming(quick);
    ASSERT_TRUE(waitUntil([&] {
        return on("Menu") && headsetMapIs({ { 4, 0x81, 0x3B }, { 3, 0x81, 0x18 } });
    }));
    EXPECT_TRUE(waitUntil([&] { return answers.seen().contains(QStringLiteral("Network may changed")); }));
    testutil::spin(100); // a second offer would follow at once
    EXPECT_EQ(answers.seen().count(QStringLiteral("Network may changed")), 1);
    EXPECT_TRUE(waitUntil([&] { return !rig.emulator().link(0).serviceMode; }));
    EXPECT_EQ(rig.emulator().link(0).address, 3);
    EXPECT_EQ(rig.emulator().link(0).pan, 0x1234);
}
} // namespace
