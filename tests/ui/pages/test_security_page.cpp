// The network password page over the emulated network: the steps and their texts, the
// password on the wire and in every device, refusals, a lost headset, the field rules and
// leaving when the dongle cannot leave service mode.
#include "ui/pages/SecurityPage.h"
#include "ui/pages/ServiceMode.h"

#include "common/PageRig.h"
#include "common/gui_util.h"
#include "ui/toolkit/DeviceListWidget.h"
#include "ui/toolkit/WarningBubble.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTranslator>
#include <gtest/gtest.h>

using namespace testutil;
using Page = OX::SecurityPage;

namespace
{

struct SecurityFixture : ::testing::Test {
    ~SecurityFixture() override { delete page; }

    bool open(std::function<void(emu::Emulator&)> const& arrange = {}, bool headset = false)
    {
        if (!rig.startDirector(arrange) || (headset && !rig.headsetRuns()))
            return false;
        page = new Page(&rig.container);
        page->resize(795, 659);
        page->show();
        rig.page = page;
        page->pageWillAppear(QStringLiteral("Menu"));
        page->pageDidAppear();
        return true;
    }
    template <typename T> T* child(const char* name) { return page->findChild<T*>(QLatin1String(name)); }
    QString help() { return child<QLabel>("helpText")->text(); }
    OX::DeviceListWidget::Item* item(int i)
    {
        return child<OX::DeviceListWidget>("deviceListView")->itemAt(i);
    }
    bool reaches(Page::State s, int ms = 10000)
    {
        return waitUntil([&] { return page->state() == s; }, ms);
    }
    // The dongle takes the request to enter service mode and sends no notice: shows the page
    // until it stopped waiting and said so.
    void showUntilNoNotice(BoxAnswerer& boxes)
    {
        ASSERT_TRUE(rig.startDirector([](emu::Emulator& e) {
            e.updateDongle([](emu::DongleModel& d) { d.stateNoticeOnServiceChange = false; });
        }));
        page = new Page(&rig.container, &rig.container.controller);
        rig.registerPage(page, QStringLiteral("Security"));
        boxes.answer(QStringLiteral("Unable to enter service mode"), QStringLiteral("Ok"));
        ASSERT_TRUE(
            rig.show(QStringLiteral("Security")) && reaches(Page::waiting_for_dongle_service_mode_state));
        ASSERT_TRUE(
            waitUntil([&] { return !boxes.seen().isEmpty(); }, OX::ServiceModeNoticeMs + scaled(5000)));
    }
    void showAgainBeforeTheAnswer(bool ownRequestAnswered);
    // The director with a headset whose map holds one PC (refusing passwords with keyError when
    // not 0), the page registered with the page frame as "Security".
    bool startWithOnePc(quint8 keyError = 0, QStringList const& also = {})
    {
        if (!rig.startDirector([keyError](emu::Emulator& e) {
                e.addHeadset();
                e.updateHeadset([keyError](emu::HeadsetModel& h) {
                    h.channelMap = { { 4, 0x81, emu::preset::Pc1 } };
                    h.keyError = keyError;
                });
            })
            || !rig.headsetRuns())
            return false;
        page = new Page(&rig.container, &rig.container.controller);
        rig.registerPage(page, QStringLiteral("Security"), also);
        return true;
    }
    // Key presses carrying each character (QTest's own cannot type beyond ASCII).
    void type(const char* field, QString const& text)
    {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(child<QLineEdit>(field), &press);
        }
    }
    void typeTwice(QString const& password)
    {
        child<QLineEdit>("TypePassword")->clear();
        type("TypePassword", password);
        type("reTypePassword", password);
    }
    QPushButton* setButton() { return child<QPushButton>("setButton"); }
    // Without a headset: the password set on this dongle alone, its result on screen.
    bool openAndSetDongleOnly(QString const& password)
    {
        if (!open() || !reaches(Page::waiting_for_set_only_dongle_password_state))
            return false;
        typeTwice(password);
        QTest::mouseClick(setButton(), Qt::LeftButton);
        return reaches(Page::password_set_done_state);
    }
    // Reads the headset's device list anew, as the director does when the headset is heard.
    bool readMap(Headset& headset)
    {
        int code = -1;
        headset.queryChannelMap([&](ChannelMap*, DongleResult r) { code = r.code; });
        return waitUntil([&] { return code == 0; });
    }

    pagetest::PageRig rig;
    Page* page = nullptr;
};

TEST(SecurityPageTables, ProductsIconsAndStateTexts)
{
    const std::pair<int, int> products[] = { { 7, 1 }, { 24, 3 }, { 40, 3 }, { 136, 3 }, { 59, 2 }, { 75, 2 },
        { 88, 4 }, { 104, 4 }, { 120, 4 }, { 0, 0 }, { 0x69, 0 } };
    for (auto const& p : products)
        EXPECT_EQ(Page::productFromPreset(quint8(p.first)), p.second) << p.first;
    EXPECT_EQ(Page::iconFromPreset(136), ":/device/icons/link_drive");
    EXPECT_EQ(Page::iconFromPreset(75), ":/device/icons/pc_mouse_b");
    EXPECT_EQ(Page::iconFromPreset(88), ":/device/icons/unknown");
    EXPECT_EQ(Page::QStringFromState(Page::State(10)), "Unknown");
    EXPECT_EQ(Page::QStringFromState(Page::waiting_for_set_only_dongle_password_state),
        "Waiting user for set dongle password state");
    for (QString bad : { "", " ", "                ", "abc\u00e9", "seventeen chars!!", "tab\there" })
        EXPECT_FALSE(Page::isAcceptablePassword(bad)) << bad.toStdString();
    EXPECT_TRUE(Page::isAcceptablePassword(" ~x "));
}

TEST_F(SecurityFixture, WithoutHeadsetOnlyTheDongleTakesThePasswordAsTyped)
{
    LogCapture log;
    // The state notice comes well after the echo: the password step waits for the notice.
    ASSERT_TRUE(
        open([](emu::Emulator& e) { e.updateDongle([](emu::DongleModel& d) { d.noticeDelayMs = 200; }); }));
    ASSERT_TRUE(reaches(Page::waiting_for_set_only_dongle_password_state));
    EXPECT_EQ(rig.director->dongle()->profile().state, 0);
    EXPECT_EQ(log.count("Security page state ["), 3); // 0 -> 2 -> 3 -> 5
    EXPECT_TRUE(help().startsWith("Set the password for this Dongle OR"));
    ASSERT_EQ(page->devices().size(), 2);
    EXPECT_EQ(page->devices()[0].address, 0);
    EXPECT_FALSE(page->devices()[0].found);
    EXPECT_TRUE(page->devices()[1].found);
    EXPECT_FALSE(rig.container.busy);

    // The field rules against "abcd".
    auto* retype = child<QLineEdit>("reTypePassword");
    type("TypePassword", "abcd");
    const std::pair<const char*, bool> cases[] = { { "ab", false }, { "ax", true }, { "abcde", true } };
    for (auto const& c : cases) {
        retype->clear();
        type("reTypePassword", c.first);
        EXPECT_EQ(page->isMismatchShown(), c.second) << c.first;
        EXPECT_FALSE(setButton()->isEnabled()) << c.first;
    }
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* bubble = qobject_cast<OX::WarningBubble*>(w))
            saveScreenshot(bubble, "security-mismatch-bubble");
    retype->clear();
    type("reTypePassword", "abcd");
    EXPECT_FALSE(page->isMismatchShown());
    EXPECT_TRUE(setButton()->isEnabled());
    type("TypePassword", "e"); // editing the first clears the second
    EXPECT_TRUE(retype->text().isEmpty());
    EXPECT_FALSE(setButton()->isEnabled());
    // What is typed stays as typed; why it cannot be sent is said beside the field.
    const struct {
        QString typed, reason;
    } refused[] = {
        { QStringLiteral("p\u00e4ssw\u00f6rt\u20acx"),
            QStringLiteral(
                "Only letters, digits and signs without accents can be used, not \u201c\u00e4\u201d.") },
        { QStringLiteral("abcdefghijklmnopqrstuvwx"),
            QStringLiteral("At most 16 characters; 24 are typed.") },
        { QStringLiteral("   "), QStringLiteral("Spaces alone are no password.") },
    };
    for (auto const& c : refused) {
        typeTwice(c.typed);
        EXPECT_EQ(child<QLineEdit>("TypePassword")->text(), c.typed);
        EXPECT_EQ(child<QLineEdit>("reTypePassword")->text(), c.typed);
        EXPECT_EQ(page->passwordProblemShown(), c.reason);
        EXPECT_FALSE(setButton()->isEnabled()) << c.typed.toStdString();
    }
    QTranslator french;
    ASSERT_TRUE(french.load(QStringLiteral(":/languages/fr")));
    QCoreApplication::installTranslator(&french);
    page->retranslate();
    EXPECT_EQ(page->passwordProblemShown(), QStringLiteral("Des espaces seuls ne font pas un mot de passe."));
    QCoreApplication::removeTranslator(&french);
    page->retranslate();

    typeTwice("secret");
    const int mark = rig.emulator().mark();
    QTest::mouseClick(setButton(), Qt::LeftButton);
    ASSERT_TRUE(reaches(Page::password_set_done_state));
    EXPECT_TRUE(help().startsWith("All passwords set."));
    EXPECT_EQ(item(1)->checkState(), Qt::Checked);
    EXPECT_EQ(item(0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(rig.emulator().dongle().password, QByteArray("secret          "));
    auto key = rig.emulator().waitForFrame(emu::FrameFilter::of(emu::pid::KEY), 0, mark);
    ASSERT_TRUE(key);
    const QByteArray wire = QByteArray::fromHex("55AA00010004000400122A00BC736563726574")
        + QByteArray(10, ' ') + QByteArray::fromHex("2A52");
    EXPECT_EQ(key->raw.toHex(), wire.toHex());
    EXPECT_FALSE(log.contains("secret"));

    // A second pass says what it does, not the first pass's result.
    typeTwice("again");
    QTest::mouseClick(setButton(), Qt::LeftButton);
    EXPECT_TRUE(help().startsWith("Setting the network password")) << help().toStdString();
    ASSERT_TRUE(reaches(Page::password_set_done_state));
    EXPECT_TRUE(help().startsWith("All passwords set."));
}

// Leaving empties the fields: the next visit offers no button that would set an empty password
// (and then say that the devices could not take it).
TEST_F(SecurityFixture, AVisitAfterAPassStartsWithTheButtonOff)
{
    ASSERT_TRUE(openAndSetDongleOnly("first"));
    ASSERT_TRUE(setButton()->isEnabled());
    bool left = false;
    page->pageWillDisappear(QStringLiteral("Menu"), [&] { left = true; });
    ASSERT_TRUE(waitUntil([&] { return left; }));

    page->pageWillAppear(QStringLiteral("Menu"));
    page->pageDidAppear();
    ASSERT_TRUE(reaches(Page::waiting_for_set_only_dongle_password_state));
    EXPECT_TRUE(child<QLineEdit>("TypePassword")->text().isEmpty());
    EXPECT_FALSE(setButton()->isEnabled());
}

TEST_F(SecurityFixture, HeadsetLinkAndOtherDevicesThenARefusingLink)
{
    int link = -1;
    ASSERT_TRUE(open(
        [&](emu::Emulator& e) {
            e.addHeadset();
            e.updateHeadset([](emu::HeadsetModel& h) {
                h.channelMap = { { 4, 0x81, emu::preset::Pc1 }, { 3, 0x81, emu::preset::LinkDrive },
                    { 5, 0x81, emu::preset::Pc2 }, { 6, 0x81, emu::preset::ChairDrive } };
            });
            link = e.addLink();
            e.addPeer(emu::PeerModel());
            e.addPeer(emu::PeerModel::remote(6));
        },
        true));
    LogCapture log;
    ASSERT_TRUE(reaches(Page::waiting_for_set_devices_password_state));
    ASSERT_EQ(page->devices().size(), 5);
    EXPECT_TRUE(help().startsWith("Set your new network password below."));
    EXPECT_TRUE(log.contains(
        "\"Waiting for headset service mode state\" ] changed to [ \"Waiting for other devices"));
    saveScreenshot(page, "security-devices-in-service-mode");

    typeTwice("Wheel-42");
    QTest::mouseClick(setButton(), Qt::LeftButton);
    ASSERT_TRUE(reaches(Page::password_set_done_state));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(item(i)->checkState(), Qt::Checked) << i;
    const QByteArray stored("Wheel-42        ");
    EXPECT_EQ(rig.emulator().headset().password, stored);
    EXPECT_EQ(rig.emulator().link(link).password, stored);
    EXPECT_EQ(rig.emulator().peer(0).password, stored);
    EXPECT_EQ(rig.emulator().peer(1).password, stored);
    EXPECT_EQ(rig.emulator().dongle().password, stored);
    saveScreenshot(page, "security-password-set");

    // The LINK refuses: the pass ends in error, only its icon stays unchecked.
    rig.emulator().updateLink(link, [](emu::LinkModel& l) { l.keyError = 7; });
    const int refusal = rig.emulator().mark();
    QTest::mouseClick(setButton(), Qt::LeftButton);
    ASSERT_TRUE(reaches(Page::password_set_error_state, 10000));
    // Refused at its first answer: one attempt to the LINK, never its retries.
    int writes = 0;
    for (emu::Received const& r : rig.emulator().received())
        writes += (r.seq >= refusal && r.frame.pid == emu::pid::KEY && r.frame.dst == 3) ? 1 : 0;
    EXPECT_LE(writes, Dongle::RepeatCount + 1);
    EXPECT_TRUE(log.contains("Refused by the device"));
    EXPECT_TRUE(help().startsWith("We were unable"));
    EXPECT_EQ(item(2)->checkState(), Qt::Unchecked);
    for (int i : { 0, 1, 3, 4 })
        EXPECT_EQ(item(i)->checkState(), Qt::Checked) << i;
    EXPECT_EQ(log.count("Set password failed"), 1);
    saveScreenshot(page, "security-password-failed");

    // Out of service mode every request is refused at once: the pass ends after the fifth.
    rig.emulator().noticeState(1);
    ASSERT_TRUE(waitUntil([&] { return rig.director->dongle()->profile().state == 1; }));
    log.clear();
    QTest::mouseClick(setButton(), Qt::LeftButton);
    EXPECT_EQ(page->state(), Page::password_set_error_state);
    const QStringList lines = log.lines();
    int lastFailure = -1, ended = -1;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].contains("Set password failed"))
            lastFailure = i;
        if (lines[i].contains("changed to [ \"Password set error state\""))
            ended = i;
    }
    EXPECT_EQ(log.count("Set password failed"), 5);
    EXPECT_GT(ended, lastFailure);

    // This computer's dongle row starts found when rebuilt in service mode; the other's does not.
    rig.emulator().noticeState(0);
    ASSERT_TRUE(waitUntil([&] { return rig.director->dongle()->profile().state == 0; }));
    Headset again(*rig.director->dongle(), SHP(), 0x1234, 2);
    ASSERT_TRUE(readMap(again));
    page->updateList(&again);
    ASSERT_EQ(page->devices().size(), 5);
    EXPECT_TRUE(page->devices()[1].found);
    EXPECT_TRUE(item(1)->isEnabled());
    EXPECT_FALSE(page->devices()[3].found);
    EXPECT_FALSE(item(3)->isEnabled());
}

TEST_F(SecurityFixture, AnEmptyMapWaitsForAnotherOneAndALostHeadsetStillCountsItsAnswers)
{
    ASSERT_TRUE(open(
        [](emu::Emulator& e) {
            e.addHeadset();
            e.updateHeadset([](emu::HeadsetModel& h) { h.channelMap.clear(); });
        },
        true));
    ASSERT_TRUE(reaches(Page::waiting_for_channel_map_state));
    Headset* headset = rig.director->headset();
    rig.director->dongle()->notifyHeadsetUpdated(headset, HeadsetChangeMask::channelMap);
    EXPECT_EQ(page->state(), Page::waiting_for_channel_map_state);
    EXPECT_FALSE(rig.container.busy); // the map may never come: the way back stays open
    EXPECT_FALSE(child<QLineEdit>("TypePassword")->isEnabled());

    ChannelMap map;
    map.devices = { OrvixDevice(4, 0x81, OrvixDevice::PC1) };
    int code = -1;
    headset->setChannelMap(map, [&](DongleResult r) { code = r.code; });
    ASSERT_TRUE(reaches(Page::waiting_for_set_devices_password_state));
    EXPECT_EQ(code, 0);

    // The headset answers slowly; it is lost while the pass runs, and its answer still counts.
    rig.emulator().updateHeadset([](emu::HeadsetModel& h) { h.replyDelayMs = 1000; });
    typeTwice("late");
    QTest::mouseClick(setButton(), Qt::LeftButton);
    ASSERT_EQ(page->state(), Page::waiting_for_set_password_done);
    page->updateWithHeadset(nullptr, HeadsetChangeMask::all);
    EXPECT_EQ(page->state(), Page::waiting_for_headset_service_mode_state);
    EXPECT_FALSE(item(0)->isEnabled());
    EXPECT_TRUE(rig.container.busy); // no leaving before the pass has told its result
    ASSERT_TRUE(reaches(Page::password_set_done_state));
    EXPECT_FALSE(rig.container.busy);
    EXPECT_EQ(rig.emulator().headset().password, QByteArray("late            "));

    // Lost again mid-pass and heard again at once: the new pass ends on its own answers, never
    // on the late ones of the pass it replaced.
    typeTwice("later");
    QTest::mouseClick(setButton(), Qt::LeftButton);
    ASSERT_EQ(page->state(), Page::waiting_for_set_password_done);
    page->updateWithHeadset(nullptr, HeadsetChangeMask::all);
    NPP heard;
    heard.product = ProductID::Headset;
    heard.pan = page->devices()[0].pan;
    heard.address = page->devices()[0].address;
    page->deviceFound(rig.director->dongle(), heard);
    ASSERT_EQ(page->state(), Page::waiting_for_set_devices_password_state);
    typeTwice("again");
    QTest::mouseClick(setButton(), Qt::LeftButton);
    ASSERT_TRUE(reaches(Page::password_set_done_state));
    EXPECT_EQ(rig.emulator().headset().password, QByteArray("again           "));
    EXPECT_EQ(rig.emulator().dongle().password, QByteArray("again           "));
}

// A password typed for the dongle alone, then the headset comes with a LINK that is not heard
// yet: the button waits for the LINK, or the pass would skip it and still say all were set. The
// same after a new device list while the password step or the result of a pass is shown.
TEST_F(SecurityFixture, TheButtonWaitsForEveryDeviceOfTheMap)
{
    ASSERT_TRUE(open());
    ASSERT_TRUE(reaches(Page::waiting_for_set_only_dongle_password_state));
    typeTwice("early");
    ASSERT_TRUE(setButton()->isEnabled());
    rig.emulator().addHeadset(); // this dongle at 4 and a LINK at 3
    Headset headset(*rig.director->dongle(), SHP(), 0x1234, 2);
    ASSERT_TRUE(readMap(headset));
    page->updateWithHeadset(&headset, HeadsetChangeMask::channelMap);
    ASSERT_EQ(page->state(), Page::waiting_for_other_devices_service_mode_state);
    EXPECT_FALSE(setButton()->isEnabled());
    NPP heard;
    heard.product = ProductID::Link;
    heard.pan = page->devices()[0].pan;
    heard.address = 3;
    page->deviceFound(rig.director->dongle(), heard);
    ASSERT_EQ(page->state(), Page::waiting_for_set_devices_password_state);
    EXPECT_TRUE(setButton()->isEnabled()); // the typed password stands

    ChannelMap map = headset.channelMap();
    map.devices.append(OrvixDevice(6, 0x81, OrvixDevice::LinkDrive));
    int code = -1;
    headset.setChannelMap(map, [&](DongleResult r) { code = r.code; });
    ASSERT_TRUE(waitUntil([&] { return code == 0; }));
    page->updateWithHeadset(&headset, HeadsetChangeMask::channelMap);
    EXPECT_EQ(page->state(), Page::waiting_for_other_devices_service_mode_state);
    EXPECT_FALSE(setButton()->isEnabled());
}

TEST_F(SecurityFixture, ANewDeviceListAfterAPassWaitsForItsDevices)
{
    ASSERT_TRUE(openAndSetDongleOnly("first"));
    rig.emulator().addHeadset(); // this dongle at 4 and a LINK at 3, not heard yet
    Headset headset(*rig.director->dongle(), SHP(), 0x1234, 2);
    ASSERT_TRUE(readMap(headset));
    page->updateWithHeadset(&headset, HeadsetChangeMask::channelMap);
    EXPECT_EQ(page->state(), Page::waiting_for_other_devices_service_mode_state);
    EXPECT_FALSE(setButton()->isEnabled());
    EXPECT_FALSE(help().startsWith("All passwords set"));
}

// The device list is read again while the pass runs (the headset was switched off and on, say)
// and names a LINK not heard yet: it was sent nothing, so the pass never says all were set.
TEST_F(SecurityFixture, ANewDeviceListDuringAPassIsNeverAllSet)
{
    ASSERT_TRUE(open());
    ASSERT_TRUE(reaches(Page::waiting_for_set_only_dongle_password_state));
    rig.emulator().addHeadset(); // this dongle at 4 and a LINK at 3, not heard yet
    Headset headset(*rig.director->dongle(), SHP(), 0x1234, 2);
    ASSERT_TRUE(readMap(headset));
    rig.emulator().addFault(
        emu::FaultRule::delayRequest(emu::FrameFilter::of(emu::pid::KEY), scaled(300), -1));
    typeTwice("during");
    QTest::mouseClick(setButton(), Qt::LeftButton);
    ASSERT_EQ(page->state(), Page::waiting_for_set_password_done);
    page->updateWithHeadset(&headset, HeadsetChangeMask::channelMap);
    ASSERT_TRUE(waitUntil([&] { return page->state() != Page::waiting_for_set_password_done; }));
    EXPECT_EQ(page->state(), Page::password_set_error_state);
    EXPECT_FALSE(help().startsWith("All passwords set"));
    EXPECT_EQ(rig.emulator().dongle().password, QByteArray("during          "));

    // Set again before the LINK is heard, and heard while that pass runs: it was sent nothing.
    rig.emulator().updateHeadset([](emu::HeadsetModel& h) { h.serviceMode = true; });
    QTest::mouseClick(setButton(), Qt::LeftButton);
    ASSERT_EQ(page->state(), Page::waiting_for_set_password_done);
    NPP heard;
    heard.product = ProductID::Link;
    heard.pan = page->devices()[0].pan;
    heard.address = 3;
    page->deviceFound(rig.director->dongle(), heard);
    ASSERT_TRUE(waitUntil([&] { return page->state() != Page::waiting_for_set_password_done; }));
    EXPECT_EQ(page->state(), Page::password_set_error_state);
    EXPECT_EQ(rig.emulator().headset().password, QByteArray("during          "));
}

// A headset whose device list is empty (as a failed pairing leaves it): the page says why it can
// set nothing, and Back takes the person back.
TEST_F(SecurityFixture, AHeadsetWithAnEmptyDeviceListIsExplainedAndBackLeaves)
{
    ASSERT_TRUE(rig.startDirector([](emu::Emulator& e) {
        e.addHeadset();
        e.updateHeadset([](emu::HeadsetModel& h) { h.channelMap.clear(); });
    }) && rig.headsetRuns());
    page = new Page(&rig.container, &rig.container.controller);
    rig.registerPage(page, QStringLiteral("Security"));
    ASSERT_TRUE(rig.show(QStringLiteral("Security")) && reaches(Page::waiting_for_channel_map_state));
    EXPECT_TRUE(help().startsWith(QStringLiteral("This headset's device list is empty")))
        << help().toStdString();
    EXPECT_TRUE(child<QLabel>("helpText")->isEnabled());
    saveScreenshot(page, "security-empty-device-list");
    rig.container.clickLeft();
    EXPECT_TRUE(waitUntil([&] { return rig.container.controller.currentPageName() == "Menu"; }));
}

// The dongle does not answer the request to leave service mode: the page goes, and the person is
// told over the next page.
TEST_F(SecurityFixture, ADongleThatDoesNotLeaveServiceModeIsToldOnLeaving)
{
    page = new Page(&rig.container, &rig.container.controller);
    ASSERT_TRUE(rig.startDirector());
    rig.registerPage(page, QStringLiteral("Security"));
    ASSERT_TRUE(
        rig.show(QStringLiteral("Security")) && reaches(Page::waiting_for_set_only_dongle_password_state));
    rig.emulator().addFault(emu::FaultRule::noReply(
        emu::FrameFilter::dcp(37).where([](emu::Frame const& f) { return f.lsb() == 0; })));
    BoxAnswerer boxes;
    boxes.answer(QStringLiteral("A device may still be in service mode"), QStringLiteral("OK"));
    rig.container.clickLeft();
    EXPECT_TRUE(waitUntil([&] { return rig.container.controller.currentPageName() == "Menu"; }));
    EXPECT_TRUE(waitUntil([&] { return !boxes.seen().isEmpty(); }));
    EXPECT_TRUE(boxes.unexpected().isEmpty());
}

// The dongle takes the request to enter service mode but its notice never comes: the page stops
// waiting, says why, and Back leaves; a notice that comes later still lets the page go on.
TEST_F(SecurityFixture, ADongleWhoseNoticeNeverComesIsToldAndBackLeaves)
{
    BoxAnswerer boxes;
    ASSERT_NO_FATAL_FAILURE(showUntilNoNotice(boxes));
    EXPECT_EQ(help(), QStringLiteral("Unable to enter service mode"));
    EXPECT_FALSE(rig.container.busy);
    saveScreenshot(page, "security-no-service-mode-notice");
    EXPECT_TRUE(boxes.unexpected().isEmpty());

    rig.emulator().noticeState(0);
    EXPECT_TRUE(reaches(Page::waiting_for_set_only_dongle_password_state));
    rig.container.clickLeft();
    EXPECT_TRUE(waitUntil([&] { return rig.container.controller.currentPageName() == "Menu"; }));
}

// The notice comes only after the page stopped waiting and was left: the network does not stay in
// service mode.
TEST_F(SecurityFixture, ANoticeThatComesAfterThePageWasLeftEndsServiceMode)
{
    BoxAnswerer boxes;
    ASSERT_NO_FATAL_FAILURE(showUntilNoNotice(boxes));
    rig.container.clickLeft();
    ASSERT_TRUE(waitUntil([&] { return rig.container.controller.currentPageName() == "Menu"; }));
    ASSERT_EQ(rig.emulator().dongle().state, emu::state::ServiceMode);

    rig.emulator().noticeState(emu::state::ServiceMode);
    EXPECT_TRUE(waitUntil([&] { return rig.emulator().dongle().state == emu::state::Idle; }));
    EXPECT_TRUE(boxes.unexpected().isEmpty());
}

// Back while the dongle has not yet answered the request to enter service mode, then the page
// shown again at once: the new visit goes on in service mode on the first request's notice and
// stays in it, whether its own request is answered or not; leaving it ends service mode.
void SecurityFixture::showAgainBeforeTheAnswer(bool ownRequestAnswered)
{
    emu::HeadsetModel headset;
    headset.channelMap = { { 4, 0x81, emu::preset::Pc1 } };
    ASSERT_TRUE(rig.start(headset, 1.0));
    page = new Page(&rig.container, &rig.container.controller);
    rig.registerPage(page, QStringLiteral("Security"));
    rig.enterServiceModeLate(scaled(300));
    const int mark = rig.emulator().mark();
    ASSERT_TRUE(rig.show(QStringLiteral("Security")) && reaches(Page::waiting_for_dongle_service_mode_state));
    ASSERT_TRUE(rig.emulator().waitForFrame(emu::FrameFilter::dcp(37), scaled(5000), mark));
    rig.container.clickLeft();
    ASSERT_TRUE(waitUntil([&] { return rig.container.controller.currentPageName() == "Menu"; }));
    ASSERT_TRUE(rig.show(QStringLiteral("Security")) && reaches(Page::waiting_for_dongle_service_mode_state));
    ASSERT_EQ(rig.emulator().dongle().state, emu::state::Idle) << "the first request was answered already";
    if (!ownRequestAnswered)
        rig.emulator().addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(37)));

    // The headset is heard in service mode: the password can be set.
    ASSERT_TRUE(reaches(Page::waiting_for_set_devices_password_state));
    ASSERT_TRUE(rig.requestsAnswered());
    EXPECT_EQ(rig.emulator().dongle().state, emu::state::ServiceMode);
    EXPECT_EQ(page->state(), Page::waiting_for_set_devices_password_state);
    EXPECT_TRUE(child<QLineEdit>("TypePassword")->isEnabled());
    EXPECT_TRUE(help().startsWith(QStringLiteral("Set your new network password")));

    rig.emulator().clearFaults();
    rig.container.clickLeft();
    ASSERT_TRUE(waitUntil([&] { return rig.container.controller.currentPageName() == "Menu"; }));
    EXPECT_TRUE(waitUntil([&] { return rig.emulator().dongle().state == emu::state::Idle; }));
}

TEST_F(SecurityFixture, ShownAgainBeforeTheDongleAnsweredTheLeftVisitTheNewVisitIsInServiceMode)
{
    showAgainBeforeTheAnswer(true);
}

TEST_F(SecurityFixture, ShownAgainBeforeTheDongleAnsweredTheLeftVisitAnUnansweredNewRequestChangesNothing)
{
    BoxAnswerer boxes;
    showAgainBeforeTheAnswer(false);
    EXPECT_TRUE(boxes.seen().isEmpty());
}

// The notice comes after the page was left, and the network is still being taken out when the
// page is shown again: the new visit does not take the dongle for in service mode, and ends in it.
TEST_F(SecurityFixture, ShownAgainWhileALateNoticeTakesTheNetworkOutTheNewVisitIsInServiceMode)
{
    emu::HeadsetModel headset;
    headset.channelMap = { { 4, 0x81, emu::preset::Pc1 } };
    headset.streamsInServiceMode = true;
    ASSERT_TRUE(rig.start(headset, 0.05, [](emu::Emulator& e) {
        e.updateDongle([](emu::DongleModel& d) { d.stateNoticeOnServiceChange = false; });
    }));
    page = new Page(&rig.container, &rig.container.controller);
    rig.registerPage(page, QStringLiteral("Security"));
    // The headset is heard in service mode before the dongle's notice.
    ASSERT_TRUE(
        rig.show(QStringLiteral("Security")) && reaches(Page::waiting_for_set_devices_password_state));
    ASSERT_TRUE(waitUntil([&] { return rig.headset(); }));
    rig.container.clickLeft();
    ASSERT_TRUE(
        waitUntil([&] { return rig.container.controller.currentPageName() == "Menu" && rig.headset(); }));
    const auto headsetExit = emu::FrameFilter::of(emu::pid::HCP, 6);
    rig.emulator().addFault(emu::FaultRule::delayRequest(headsetExit, scaled(300)));
    const int before = rig.emulator().mark();
    rig.emulator().noticeState(emu::state::ServiceMode);
    ASSERT_TRUE(rig.emulator().waitForFrame(headsetExit, scaled(5000), before));
    ASSERT_TRUE(rig.show(QStringLiteral("Security")));
    EXPECT_EQ(page->state(), Page::waiting_for_dongle_service_mode_state);

    const auto exit = emu::FrameFilter::dcp(37).where([](emu::Frame const& f) { return f.value() == 0; });
    ASSERT_TRUE(rig.emulator().waitForFrame(exit, scaled(5000), before));
    ASSERT_TRUE(rig.requestsAnswered());
    EXPECT_EQ(rig.emulator().dongle().state, emu::state::ServiceMode);
    EXPECT_TRUE(reaches(Page::waiting_for_set_devices_password_state));
}

// Shown again as the network is left, as "Change password" shows it right after the pairing page's
// leaving: the dongle answered the exit but its notice is still to come. The page asks for service
// mode again rather than take the dongle for in it: once the notice came, every password would be
// refused.
TEST_F(SecurityFixture, ShownBeforeTheNoticeOfALeavingTheNewVisitEntersServiceMode)
{
    ASSERT_TRUE(rig.startDirector(
        [](emu::Emulator& e) { e.updateDongle([](emu::DongleModel& d) { d.noticeDelayMs = 3000; }); }));
    page = new Page(&rig.container, &rig.container.controller);
    rig.registerPage(page, QStringLiteral("Security"));
    ASSERT_TRUE(
        rig.show(QStringLiteral("Security")) && reaches(Page::waiting_for_set_only_dongle_password_state));
    const auto notices = [&] { return rig.emulator().sentCount(emu::FrameFilter::dcp(64)); };
    const int before = notices();
    rig.container.clickLeft();
    ASSERT_TRUE(waitUntil([&] { return rig.container.controller.currentPageName() == "Menu"; }));
    ASSERT_EQ(notices(), before) << "the exit's notice came already";

    const int mark = rig.emulator().mark();
    ASSERT_TRUE(rig.show(QStringLiteral("Security")));
    const auto enter = emu::FrameFilter::dcp(37).where([](emu::Frame const& f) { return f.value() != 0; });
    EXPECT_TRUE(rig.emulator().waitForFrame(enter, scaled(3000), mark));
    // The exit's notice and the enter's heard.
    EXPECT_TRUE(waitUntil([&] {
        return notices() == before + 2
            && rig.director->dongle()->profile().state == quint8(DongleState::SERV_M);
    }));
    ASSERT_TRUE(reaches(Page::waiting_for_set_only_dongle_password_state));
    typeTwice(QStringLiteral("abcd"));
    QTest::mouseClick(setButton(), Qt::LeftButton);
    EXPECT_TRUE(reaches(Page::password_set_done_state));
}

// The dongle unplugged before a pass takes the page back and nothing more; unplugged mid-pass,
// the person is told once, over the page shown then, that the devices may now differ.
TEST_F(SecurityFixture, ADongleUnpluggedMidPassIsToldOnceAndBeforeAPassNot)
{
    ASSERT_TRUE(startWithOnePc());
    auto const& told = rig.app->h.messages;
    auto backOnMenu = [&] { return rig.container.controller.currentPageName() == "Menu"; };
    for (bool midPass : { false, true }) {
        ASSERT_TRUE(rig.show(QStringLiteral("Security")));
        ASSERT_TRUE(reaches(Page::waiting_for_set_devices_password_state));
        if (midPass) {
            rig.emulator().updateHeadset([](emu::HeadsetModel& h) { h.replyDelayMs = 1000; });
            typeTwice("half");
            QTest::mouseClick(setButton(), Qt::LeftButton);
            ASSERT_EQ(page->state(), Page::waiting_for_set_password_done);
        }
        ASSERT_TRUE(rig.unplug());
        ASSERT_TRUE(waitUntil([&] { return backOnMenu() && told.size() == int(midPass); }));
        testutil::spin(100); // a second message would follow at once
        ASSERT_EQ(told.size(), int(midPass));
        if (!midPass) {
            ASSERT_TRUE(rig.replug());
        }
    }
    EXPECT_EQ(told.at(0).title, QStringLiteral("Security"));
    EXPECT_TRUE(
        told.at(0).text.startsWith(QStringLiteral("The dongle was unplugged while the new password")));
}

// A pass whose headset refuses the password, left before its end by Back, or from Help where its
// result came: the refusal is told once over the page shown then. Back from Help shows the result
// on the page, and leaving after that tells nothing more.
TEST_F(SecurityFixture, ARefusalThePersonLeftBeforeSeeingIsToldOnceOverThePageShown)
{
    ASSERT_TRUE(startWithOnePc(7, { QStringLiteral("Help") }));
    rig.container.controller.show(); // a page back from Help is seen
    auto on = [&](const char* name) {
        return !rig.container.controller.isSwitching() && rig.container.controller.currentPageName() == name;
    };
    enum class Leave { Back, HelpThenBack, HelpThenMenu };
    for (Leave leave : { Leave::Back, Leave::HelpThenBack, Leave::HelpThenMenu }) {
        SCOPED_TRACE(int(leave));
        BoxAnswerer boxes;
        boxes.answer(QStringLiteral("Security"), QStringLiteral("OK"));
        ASSERT_TRUE(rig.show(QStringLiteral("Security")));
        ASSERT_TRUE(reaches(Page::waiting_for_set_devices_password_state));
        typeTwice("refused");
        QTest::mouseClick(setButton(), Qt::LeftButton);
        if (leave == Leave::Back) {
            rig.container.clickLeft();
        } else {
            ASSERT_TRUE(
                rig.container.controller.showPage(QStringLiteral("Help"), OX::Page::FromTop, 1000, true));
            ASSERT_TRUE(waitUntil([&] { return on("Help"); }));
            ASSERT_TRUE(reaches(Page::password_set_error_state));
            if (leave == Leave::HelpThenBack) {
                ASSERT_TRUE(
                    rig.container.controller.page(QStringLiteral("Help"))->perform(OX::PageAction::back));
                ASSERT_TRUE(waitUntil([&] { return on("Security"); }));
                rig.container.clickLeft();
            } else {
                ASSERT_TRUE(rig.show(QStringLiteral("Menu")));
            }
        }
        ASSERT_TRUE(waitUntil([&] { return on("Menu"); }) && rig.requestsAnswered());
        const int told = leave == Leave::HelpThenBack ? 0 : 1;
        ASSERT_TRUE(waitUntil([&] { return boxes.seen().size() == told; }))
            << boxes.shownTexts().join('|').toStdString();
        testutil::spin(200); // a second box would follow at once
        EXPECT_EQ(boxes.seen().size(), told);
        EXPECT_TRUE(boxes.unexpected().isEmpty());
        if (told)
            EXPECT_EQ(boxes.shownTexts().value(0),
                QStringLiteral("Not every device took the new network password."));
    }
}

// The dongle leaves service mode by itself mid-pass, so that leaving takes nothing out and the
// page is shown again while the devices have not answered yet: once they have, the person is told
// once that a device did not take the password, and the new visit goes on untouched.
TEST_F(SecurityFixture, APassStillOutWhenThePageIsShownAgainIsToldOnceItEnds)
{
    ASSERT_TRUE(startWithOnePc());
    BoxAnswerer boxes;
    boxes.answer(QStringLiteral("Security"), QStringLiteral("OK"));
    ASSERT_TRUE(
        rig.show(QStringLiteral("Security")) && reaches(Page::waiting_for_set_devices_password_state));
    const auto key = emu::FrameFilter::of(emu::pid::KEY);
    rig.emulator().addFault(emu::FaultRule::noReply(key));
    LogCapture log;
    typeTwice("unheard");
    QTest::mouseClick(setButton(), Qt::LeftButton);
    rig.emulator().noticeState(1);
    ASSERT_TRUE(waitUntil([&] { return rig.director->dongle()->profile().state == 1; }));
    rig.container.clickLeft();
    ASSERT_TRUE(waitUntil([&] { return rig.container.controller.currentPageName() == "Menu"; }));
    ASSERT_TRUE(rig.show(QStringLiteral("Security")));
    ASSERT_FALSE(log.contains("Set password failed")) << "a device answered before the page was shown again";

    ASSERT_TRUE(waitUntil([&] { return boxes.seen().size() == 1; }, scaled(10000)));
    rig.emulator().clearFaults();
    testutil::spin(200); // a second box would follow at once
    EXPECT_EQ(boxes.shownTexts(),
        QStringList { QStringLiteral("Not every device took the new network password.") });
    EXPECT_TRUE(boxes.unexpected().isEmpty());
    EXPECT_NE(page->state(), Page::password_set_error_state);
}

TEST_F(SecurityFixture, RefusalsNeverEndAPassEarlyAndLeavingNeverWaits)
{
    ASSERT_TRUE(open());
    ASSERT_TRUE(reaches(Page::waiting_for_set_only_dongle_password_state));
    typeTwice("x");
    ASSERT_TRUE(waitUntil([&] { return rig.director->dongle()->profile().state == 0; }));
    // The dongle has left service mode (after a restart, say) and takes no enter request from now
    // on: a late copy of the one it took would put it back. Every copy it took has told its state
    // before that.
    const emu::FrameFilter enter
        = emu::FrameFilter::dcp(37).where([](emu::Frame const& f) { return f.lsb() != 0; });
    const emu::FrameFilter inService
        = emu::FrameFilter::dcp(64).withFlags(0).where([](emu::Frame const& f) { return f.lsb() == 0; });
    const int refused = rig.emulator().addFault(emu::FaultRule::noReply(enter));
    ASSERT_TRUE(waitUntil([&] {
        const int notTaken = rig.emulator().faultHits(refused);
        return rig.emulator().sentCount(inService) == rig.emulator().receivedCount(enter) - notTaken;
    }));
    rig.emulator().noticeState(1);
    ASSERT_TRUE(waitUntil([&] { return rig.director->dongle()->profile().state == 1; }));
    LogCapture log;

    // networkLeaveServiceMode refuses outside service mode: the page change goes on at once.
    bool done = false;
    page->pageWillDisappear(QStringLiteral("Menu"), [&] { done = true; });
    EXPECT_TRUE(done);
    EXPECT_TRUE(child<QLineEdit>("TypePassword")->text().isEmpty());

    // Entering service mode fails: the hint, then back when the dongle goes.
    rig.emulator().addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(37)));
    BoxAnswerer boxes;
    boxes.answer(QStringLiteral("Unable to enter service mode"), QStringLiteral("Ok"));
    page->pageWillAppear(QString());
    page->pageDidAppear();
    ASSERT_TRUE(waitUntil([&] { return boxes.seen().size() == 1; }));
    EXPECT_TRUE(boxes.unexpected().isEmpty());
    EXPECT_EQ(page->state(), Page::waiting_for_dongle_service_mode_state);
    EXPECT_FALSE(rig.container.busy); // nothing more happens: the way back is open
    EXPECT_TRUE(waitUntil([&] { return log.contains("HIDE HINT [enter_service_mode_failed_hint]"); }));
}

TEST_F(SecurityFixture, APageLeftBeforeTheDongleEnteredServiceModeTakesItOutAgain)
{
    ASSERT_TRUE(rig.startDirector());
    // The dongle takes the enter request only once the page has been left, but well within the
    // director's time-out for it (three tries of a tenth of the local reply time): an answer later
    // than that is a dongle that did not answer, and the page then has nothing to take back.
    const int late = scaled(Dongle::LocalTimeoutMs / 20);
    rig.emulator().addFault(emu::FaultRule::delayRequest(emu::FrameFilter::dcp(37), late, -1));
    const int mark = rig.emulator().mark();
    BoxAnswerer boxes;
    page = new Page(&rig.container);
    rig.page = page;
    page->pageWillAppear(QStringLiteral("Menu"));
    page->pageDidAppear();
    bool done = false;
    page->endVisit(); // as the controller does when the leave begins
    page->pageWillDisappear(QStringLiteral("Menu"), [&] { done = true; });
    EXPECT_TRUE(done); // not in service mode yet: nothing to wait for
    rig.container.setProgress(true); // the spinner of the page shown next

    // Nothing else takes the dongle out of service mode: the page does so once it has entered.
    auto exit = [](emu::Frame const& f) { return f.lsb() == 0 && f.msb() == 0; };
    EXPECT_TRUE(rig.emulator().waitForFrame(emu::FrameFilter::dcp(37).where(exit), scaled(3000), mark));
    EXPECT_TRUE(waitUntil([&] { return rig.emulator().dongle().state == emu::state::Idle; }, 3000));
    EXPECT_TRUE(boxes.seen().isEmpty());
    EXPECT_TRUE(rig.container.busy) << "the page left takes no step of its pass";
    EXPECT_EQ(page->state(), Page::waiting_for_dongle_service_mode_state);
}

// The dongle echoes every copy of a request that it reads: a late echo of the enter is no answer
// to the exit that follows it, which still waits for its own.
TEST_F(SecurityFixture, ALateEchoOfTheEnterNeverAnswersTheExit)
{
    ASSERT_TRUE(rig.startDirector());
    Dongle* dongle = rig.director->dongle();
    auto entered = std::make_shared<int>(-1), left = std::make_shared<int>(-1);
    dongle->enterServiceMode([entered](DongleResult r) { *entered = r.code; });
    ASSERT_TRUE(waitUntil([&] { return *entered != -1; }));
    ASSERT_EQ(*entered, DongleResult::Ok);

    auto exit = emu::FrameFilter::dcp(37).where([](emu::Frame const& f) { return f.lsb() == 0; });
    rig.emulator().addFault(emu::FaultRule::noReply(exit));
    const int mark = rig.emulator().mark();
    dongle->exitServiceMode([left](DongleResult r) { *left = r.code; });
    ASSERT_TRUE(rig.emulator().waitForFrame(exit, scaled(3000), mark)); // the exit waits for its echo
    emu::Frame late = emu::Frame::local(37, 1, 1);
    late.flags |= 0x01;
    dongle->appendBytes(late.encode());
    ASSERT_TRUE(waitUntil([&] { return *left != -1; }));
    EXPECT_EQ(*left, DongleResult::TimedOut);
}

} // namespace

// The mismatch bubble says only what the fields say now: editing the first field empties the
// second (the start of any password), and a visit starts without the last one's bubble.
TEST_F(SecurityFixture, TheMismatchBubbleGoesWithTheMismatch)
{
    ASSERT_TRUE(rig.startDirector());
    page = new Page(&rig.container, &rig.container.controller);
    rig.registerPage(page, QStringLiteral("Security"));
    auto shown = [&] {
        return rig.show(QStringLiteral("Security"))
            && reaches(Page::waiting_for_set_only_dongle_password_state);
    };
    auto mismatch = [&] {
        child<QLineEdit>("TypePassword")->clear();
        type("TypePassword", "abcd");
        type("reTypePassword", "ax");
        return page->isMismatchShown();
    };
    ASSERT_TRUE(shown() && mismatch());
    type("TypePassword", "e");
    EXPECT_FALSE(page->isMismatchShown());
    type("reTypePassword", "abcde");
    EXPECT_FALSE(page->isMismatchShown());
    EXPECT_TRUE(setButton()->isEnabled());

    ASSERT_TRUE(mismatch());
    ASSERT_TRUE(rig.show(QStringLiteral("Menu")) && shown());
    EXPECT_FALSE(page->isMismatchShown());
}
