// The LINK settings page over the emulator: the navigator, the wizard shared by both pages, the
// backup, what "Apply" sends and takes back, the "Link not present" road, and work that ends after
// the page was left or the LINK was dropped.
#include "app/Settings.h"
#include "common/PageRig.h"
#include "device/Link.h"
#include "ui/link/LinkPage.h"
#include "ui/link/LinkProfilesDialog.h"
#include "ui/toolkit/LinkForm.h"
#include "ui/toolkit/MasterDetailView.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <gtest/gtest.h>

#include "common/gui_util.h"

using testutil::waitUntil;

namespace
{

QString hex(QByteArray const& bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

class LinkPageTest : public ::testing::Test
{
protected:
    void start()
    {
        ASSERT_TRUE(rig.startWithLinks());
        settings = std::make_unique<Settings>(dir.filePath(QStringLiteral("s.ini")), nullptr);
        rig.container.settings = settings.get();
        query();
        // Owned by the controller, as the stub pages are, whether shown or not.
        indoor = new OX::LinkPage(&rig.container, OrvixDevice::LinkDrive, &rig.container.controller);
        outdoor = new OX::LinkPage(&rig.container, OrvixDevice::LinkOutdoorDrive, &rig.container.controller);
        rig.registerPage(indoor, QStringLiteral("LinkIndoor"));
        rig.container.controller.addPage(outdoor, QStringLiteral("LinkOutdoor"));
    }
    void TearDown() override
    {
        rig.page = nullptr;
        rig.close(HasFailure());
    }
    // What the selection page's refresh does: the dongle learns the LINKs afresh.
    void query()
    {
        bool done = false;
        rig.dongle()->queryDevices(rig.headset()->channelMap(), nullptr, [&](auto*) { done = true; });
        ASSERT_TRUE(waitUntil([&] { return done; }));
    }
    void open(OX::LinkPage* page = nullptr)
    {
        page = page ? page : indoor;
        rig.page = page;
        ASSERT_TRUE(rig.show(page == indoor ? "LinkIndoor" : "LinkOutdoor"));
        ASSERT_TRUE(waitUntil([&] { return page->state() != OX::LinkPage::not_initialized_state; }));
    }
    void back()
    {
        rig.container.clickLeft();
        waitUntil([&] { return rig.container.controller.currentPageName() == "Menu"; }, 2000);
    }
    QString footer() const
    {
        return rig.container.footer.right.text + '|' + rig.container.footer.alternativeRight.text;
    }
    LPP onLink(int index) { return LPP(PacketData(rig.emulator().link(index).parameters)); }
    LPP backup() const { return settings->linkProfile(QStringLiteral("backup")).parameters; }
    // A person's edit: one wheel notch up on the General form's tremor filter.
    void edit()
    {
        QWidget* slider = indoor->form("general")->findChild<QWidget*>(QStringLiteral("tfSlider"));
        ASSERT_TRUE(slider);
        testutil::moveSlider(slider->findChild<QSlider*>(), testutil::SliderMove::WheelUp);
    }
    // Reset to the built-in "Normal" through the dialog.
    void resetToNormal()
    {
        ASSERT_TRUE(testutil::answerDialog(
            // The window hands reset to the page shown.
            [this] { rig.container.perform(OX::PageAction::reset, nullptr); },
            [](QWidget* box) {
                auto* dialog = qobject_cast<OX::LinkProfilesDialog*>(box);
                ASSERT_TRUE(dialog);
                QTest::keyClick(dialog->findChild<QComboBox*>(QStringLiteral("comboBox")), Qt::Key_Down);
                QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
            }));
    }
    // An edit applied while the LINK reads it only a second later; the person leaves by the main
    // menu and comes back before its reply, then finds it in the forms again. Later requests are
    // answered, or given up, at once.
    void applySlowlyAndComeBack()
    {
        Dongle::Timing timing { 0, 4, testutil::timeScale() }; // one write per attempt; a long wait
        rig.dongle()->setTiming(timing);
        edit();
        const LPP edited = indoor->parameters();
        const int since = rig.emulator().mark();
        rig.emulator().addFault(
            emu::FaultRule::delayRequest(emu::FrameFilter::of(0xBF), testutil::scaled(1000)));
        rig.container.clickRight(0);
        ASSERT_TRUE(rig.emulator().waitForFrame(emu::FrameFilter::of(0xBF), testutil::scaled(3000), since));
        timing.timeoutScale = 0.05 * testutil::timeScale();
        rig.dongle()->setTiming(timing);
        ASSERT_TRUE(rig.show("Menu"));
        open();
        ASSERT_EQ(indoor->parameters(), edited);
    }
    // Another chair's LINK comes under the drive preset: its serial and its record's first byte differ.
    void replaceLink(char const* serial, char first)
    {
        rig.emulator().updateLink(0, [&](emu::LinkModel& l) { l.serial = serial, l.parameters[0] = first; });
        query();
    }
    OX::MasterDetailView* view(OX::LinkPage* page, char const* name) const
    {
        return page->findChild<OX::MasterDetailView*>(QLatin1String(name));
    }

    QTemporaryDir dir;
    std::unique_ptr<Settings> settings;
    pagetest::PageRig rig;
    OX::LinkPage* indoor = nullptr;
    OX::LinkPage* outdoor = nullptr;
};

TEST(LinkNavigator, OrdersKeysAndAnswersForUnknownOnesWithEmptiesAndExtremes)
{
    OX::LinkNavigator nav;
    for (char const* key : { "general", "drive_settings", "turn_outer_deadzone" })
        nav.addPage(key, "g", QString());
    EXPECT_EQ(nav.compare("general", "general"), 0);
    EXPECT_EQ(nav.compare("turn_outer_deadzone", "general"), 1);
    EXPECT_EQ(nav.compare("general", "turn_outer_deadzone"), -1);
    EXPECT_EQ(nav.compare("", "general"), INT_MIN);
    EXPECT_EQ(nav.compare("general", "nokey"), INT_MAX);
    EXPECT_EQ(nav.getNextOf("turn_outer_deadzone"), "");
    EXPECT_EQ(nav.getPrevOf("general"), "");
    EXPECT_EQ(nav["nokey"], "");
    nav.addPage("first", "g", "nokey");
    EXPECT_EQ(nav.head()->key, "first");
    EXPECT_EQ(nav.getPrevOf("general"), "first");
}

TEST_F(LinkPageTest, TheWizardUnlocksForwardOnlyAndBothPagesShareTheStep)
{
    start();
    settings->setLinkProfileWizardState("drive_settings");
    open();
    QTabWidget* tabs = indoor->tabWidget();
    EXPECT_TRUE(tabs->isTabEnabled(1));
    EXPECT_FALSE(tabs->isTabEnabled(2));
    EXPECT_TRUE(view(indoor, "drive")->isEnabled("drive_settings"));
    EXPECT_FALSE(view(indoor, "drive")->isEnabled("forward_movement"));
    EXPECT_FALSE(indoor->prevButton()->isEnabled());

    rig.container.controller.show();
    QApplication::setActiveWindow(&rig.container.controller);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&rig.container.controller));
    QTest::keyClick(
        rig.container.controller.windowHandle(), Qt::Key_S, Qt::ControlModifier); // Next, not Apply
    ASSERT_TRUE(waitUntil([&] { return indoor->currentKey() == "drive_settings"; })); // an animated click
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_EQ(indoor->helpKey, "link_settings_forward_anchor");
    EXPECT_EQ(settings->linkProfileWizardState(), "forward_movement");
    EXPECT_EQ(indoor->state(), OX::LinkPage::initialized_state);
    EXPECT_EQ(footer(), "Reset|");
    QTest::mouseClick(indoor->prevButton(), Qt::LeftButton);
    EXPECT_EQ(indoor->currentKey(), "general");
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(indoor->helpKey, "link_settings_general_anchor");
    EXPECT_EQ(settings->linkProfileWizardState(), "forward_movement") << "never back";
    // Next lands on the page after, never on the tab's furthest one on the way.
    QTest::mouseClick(indoor->nextButton(), Qt::LeftButton);
    EXPECT_EQ(indoor->currentKey(), "drive_settings");
    EXPECT_EQ(settings->linkProfileWizardState(), "forward_movement") << "nothing unlocked unseen";
    QTest::mouseClick(indoor->prevButton(), Qt::LeftButton);

    settings->setLinkProfileWizardState("drive_outer_deadzone");
    indoor->setActive("drive_outer_deadzone");
    EXPECT_EQ(settings->linkProfileWizardState(), "right_movement");
    EXPECT_TRUE(tabs->isTabEnabled(2));
    QTest::mouseClick(indoor->nextButton(), Qt::LeftButton);
    EXPECT_EQ(indoor->currentKey(), "right_movement");
    EXPECT_EQ(tabs->currentIndex(), 2);
    EXPECT_EQ(indoor->helpKey, "link_settings_turn_anchor");
    for (int i : { 2, 1, 0 }) {
        tabs->setCurrentIndex(i);
        testutil::saveScreenshot(&rig.container.controller, QStringLiteral("link-settings-tab-%1").arg(i));
    }

    back();
    open(outdoor);
    EXPECT_TRUE(outdoor->tabWidget()->isTabEnabled(2)) << "LinkOutdoor starts from LinkIndoor's step";
    EXPECT_TRUE(view(outdoor, "turn")->isEnabled("right_safety_limit")); // viewing right_movement unlocked it
    EXPECT_FALSE(view(outdoor, "turn")->isEnabled("left_movement"));

    settings->setLinkProfileWizardState("turn_outer_deadzone");
    outdoor->updateWizard();
    for (char const* key : { "right_movement", "left_safety_limit", "turn_outer_deadzone" })
        EXPECT_TRUE(view(outdoor, "turn")->isEnabled(key)) << key;
    EXPECT_TRUE(view(outdoor, "drive")->isEnabled("drive_outer_deadzone"));
}

TEST_F(LinkPageTest, TheBackupIsStoredSilentlyOnceAndOfferedWhenTheLinkChangedBehindTheApp)
{
    start();
    testutil::BoxAnswerer boxes;
    open();
    EXPECT_TRUE(boxes.seen().isEmpty());
    EXPECT_EQ(backup(), onLink(0));
    EXPECT_EQ(footer(), "Reset|");
    const LPP first = onLink(0);

    back();
    rig.emulator().updateLink(0, [](emu::LinkModel& l) { l.parameters[0] = 60; });
    query(); // the selection page's refresh
    boxes.answer("Save settings", "Don't save");
    open();
    ASSERT_TRUE(waitUntil([&] { return boxes.seen().size() == 1 && !QApplication::activeModalWidget(); }));
    EXPECT_EQ(indoor->parameters(), onLink(0)) << "never a stale record";
    EXPECT_EQ(backup(), first);
    EXPECT_EQ(footer(), "Reset|Restore");

    rig.container.clickRight(1); // Restore
    EXPECT_EQ(indoor->parameters(), first);
    EXPECT_EQ(footer(), "Apply|Revert");
    rig.container.clickRight(1); // Revert
    EXPECT_EQ(indoor->parameters(), onLink(0));
    EXPECT_EQ(footer(), "Reset|Restore");

    back();
    boxes.answer("Save settings", "Save");
    open();
    EXPECT_TRUE(waitUntil([&] { return backup() == onLink(0); })); // answered from the event loop
    EXPECT_EQ(footer(), "Reset|");
    EXPECT_TRUE(boxes.unexpected().isEmpty()) << boxes.unexpected().join(", ").toStdString();
}

// Each page keeps the backup of its own LINK: the drive LINK's is never offered to restore onto
// the outdoor LINK, nor overwritten by it.
TEST_F(LinkPageTest, EachLinkKeepsItsOwnBackup)
{
    start();
    rig.emulator().updateLink(1, [](emu::LinkModel& l) { l.parameters[0] = 60; });
    query();
    testutil::BoxAnswerer boxes;
    open();
    back();
    open(outdoor);
    EXPECT_TRUE(waitUntil([&] { return footer() == "Reset|"; }));
    testutil::spin(50);
    EXPECT_TRUE(boxes.seen().isEmpty()) << boxes.seen().join(", ").toStdString();
    EXPECT_EQ(backup(), onLink(0));
    EXPECT_EQ(settings->linkProfile(QStringLiteral("backup outdoor")).parameters, onLink(1));
}

// Two chairs whose LINKs share the preset: the backup is the LINK's it was taken from (or, stored
// by an earlier version, the first LINK's seen). The other chair's LINK is asked whether to save
// its own record, is never offered the first one's, and "Don't save" keeps it for the first one.
TEST_F(LinkPageTest, AnotherChairsLinkIsNeverOfferedTheFirstOnesBackup)
{
    start();
    const emu::LinkModel chairA = rig.emulator().link(0);
    testutil::BoxAnswerer boxes;
    for (bool earlierVersion : { false, true }) {
        settings = std::make_unique<Settings>(
            dir.filePath(earlierVersion ? QStringLiteral("old.ini") : QStringLiteral("new.ini")), nullptr);
        rig.container.settings = settings.get();
        rig.emulator().updateLink(0, [&](emu::LinkModel& l) { l = chairA; });
        query();
        if (earlierVersion) {
            settings->setLinkProfile(QStringLiteral("backup"), LinkProfile::Normal.parameters);
            boxes.answer("Save settings", "Don't save");
        }
        const LPP kept = earlierVersion ? LinkProfile::Normal.parameters : onLink(0);
        open();
        ASSERT_TRUE(waitUntil([&] {
            return footer() == (earlierVersion ? "Reset|Restore" : "Reset|")
                && !QApplication::activeModalWidget();
        }));
        back();

        const int asked = boxes.seen().size();
        replaceLink("LK19000999", 60);
        boxes.answer("Save settings", "Don't save");
        open();
        ASSERT_TRUE(waitUntil(
            [&] { return boxes.seen().size() == asked + 1 && !QApplication::activeModalWidget(); }))
            << earlierVersion;
        EXPECT_EQ(footer(), "Reset|") << earlierVersion;
        rig.container.perform(OX::PageAction::restore, nullptr);
        EXPECT_EQ(indoor->parameters(), onLink(0)) << earlierVersion;
        EXPECT_EQ(backup(), kept) << earlierVersion;
        back();

        // Chair A again, its record changed behind the app: its backup is offered to it.
        rig.emulator().updateLink(0, [&](emu::LinkModel& l) { l = chairA, l.parameters[0] = 61; });
        query();
        boxes.answer("Save settings", "Don't save");
        open();
        ASSERT_TRUE(waitUntil(
            [&] { return boxes.seen().size() == asked + 2 && !QApplication::activeModalWidget(); }));
        EXPECT_EQ(footer(), "Reset|Restore") << earlierVersion;
        rig.container.clickRight(1); // Restore
        EXPECT_EQ(indoor->parameters(), kept) << earlierVersion;
        rig.container.clickRight(1); // Revert
        back();
    }
    EXPECT_TRUE(boxes.unexpected().isEmpty()) << boxes.unexpected().join(", ").toStdString();
}

// The same LINK paired again, under another PAN and address, keeps its serial and its backup.
TEST_F(LinkPageTest, ALinkPairedAgainIsOfferedItsOwnBackup)
{
    start();
    Link const* link = rig.dongle()->links().value(OrvixDevice::LinkDrive);
    ASSERT_TRUE(link);
    settings->setLinkProfile(QStringLiteral("backup"), LinkProfile::Normal.parameters,
        Link::identityOf(link->pan() + 1, link->address() + 2, link->serial()));
    testutil::BoxAnswerer boxes;
    boxes.answer("Save settings", "Don't save");
    open();
    ASSERT_TRUE(waitUntil([&] { return boxes.seen().size() == 1 && !QApplication::activeModalWidget(); }));
    EXPECT_EQ(footer(), "Reset|Restore");
    rig.container.clickRight(1); // Restore
    EXPECT_EQ(indoor->parameters(), LinkProfile::Normal.parameters);
}

// A LINK record outside the limits is never offered as the backup: the stored one stays for Restore.
TEST_F(LinkPageTest, ALinkRecordOutsideTheLimitsIsNotOfferedAsTheBackup)
{
    start();
    rig.emulator().updateLink(0, [](emu::LinkModel& l) { l.parameters[14] = char(255); });
    query();
    settings->setLinkProfile(QStringLiteral("backup"), LinkProfile::Normal.parameters);
    testutil::BoxAnswerer boxes;
    boxes.answer("Parameters outside their limits", "OK");
    open();
    ASSERT_TRUE(waitUntil([&] { return footer() == "Reset|Restore" && !QApplication::activeModalWidget(); }));
    testutil::spin(50);
    EXPECT_EQ(boxes.seen(), QStringList { "Parameters outside their limits" });
    EXPECT_EQ(backup(), LinkProfile::Normal.parameters);
}

TEST_F(LinkPageTest, ApplySendsTheBuiltInRecordAndTakesTheClampedReply)
{
    start();
    rig.emulator().updateLink(0, [](emu::LinkModel& l) { l.clamp = emu::LinkModel::angleClamp(40); });
    open();
    resetToNormal();
    ASSERT_EQ(indoor->parameters(), LinkProfile::Normal.parameters);
    EXPECT_EQ(footer(), "Apply|Revert");

    const int since = rig.emulator().mark();
    rig.container.clickRight(0);
    auto sent
        = rig.emulator().waitForFrame(emu::FrameFilter::of(0xBF).withDst(3), testutil::scaled(3000), since);
    ASSERT_TRUE(sent);
    EXPECT_EQ(hex(sent->raw.left(13)), "55 AA 00 34 12 04 00 03 00 1D BF 00 D8");
    EXPECT_EQ(sent->raw.mid(13, 27), LinkProfile::Normal.parameters.getData().bytes());
    EXPECT_EQ(hex(sent->raw.right(4)), "00 00 C0 1C");
    ASSERT_TRUE(waitUntil([&] { return indoor->state() == OX::LinkPage::initialized_state; }));
    LPP clamped = LinkProfile::Normal.parameters;
    clamped.angleForward = clamped.angleBackward = clamped.angleLeft = clamped.angleRight = 40;
    EXPECT_EQ(indoor->parameters(), clamped);
    EXPECT_EQ(onLink(0), clamped);
    EXPECT_FALSE(indoor->hasPendingApply());
    EXPECT_EQ(footer(), "Reset|Restore");
}

TEST_F(LinkPageTest, AnApplyTheLinkNeverAnsweredComesBackAfterRetry)
{
    start();
    open();
    edit();
    EXPECT_EQ(footer(), "Apply|Revert");
    const LPP edited = indoor->parameters();
    const int rule = rig.emulator().addFault(emu::FaultRule::noReply(emu::FrameFilter::of(0xBF)));
    testutil::onNextBox([&](QWidget* box) {
        testutil::saveScreenshot(box, "link-not-present-hint");
        rig.emulator().removeFault(rule);
        EXPECT_TRUE(testutil::clickButton(box, "Retry"));
    });
    rig.container.clickRight(0);
    ASSERT_TRUE(waitUntil([&] { return indoor->state() == OX::LinkPage::initialized_state; }, 8000));
    EXPECT_EQ(indoor->parameters(), edited);
    EXPECT_NE(onLink(0), edited);
    EXPECT_EQ(footer(), "Apply|Revert");

    testutil::BoxAnswerer boxes; // leaving with changes asks first
    boxes.answer(
        "You have changes in your selected link profile. Do you want to apply changes?", "Stay on page");
    rig.container.clickLeft();
    EXPECT_EQ(rig.container.controller.currentPageName(), "LinkIndoor");
    boxes.answer("You have changes in your selected link profile. Do you want to apply changes?",
        "Dismiss and leave page");
    back();
    open(); // the visit waits for the end of Retry's search, should it still run
    ASSERT_TRUE(waitUntil([&] { return indoor->state() == OX::LinkPage::initialized_state; }, 8000));
    EXPECT_EQ(indoor->parameters(), onLink(0)) << "leaving applied nothing and kept nothing";
}

// The retry finds another LINK under the preset (another chair's): the apply the first one never
// confirmed does not come back to be sent to it.
TEST_F(LinkPageTest, AnUnconfirmedApplyComesBackForItsOwnLinkOnly)
{
    start();
    open();
    edit();
    const int rule = rig.emulator().addFault(emu::FaultRule::noReply(emu::FrameFilter::of(0xBF)));
    testutil::onNextBox([&](QWidget* box) {
        rig.emulator().removeFault(rule);
        rig.emulator().updateLink(0, [](emu::LinkModel& l) { l.serial = "LK19000999"; });
        EXPECT_TRUE(testutil::clickButton(box, "Retry"));
    });
    rig.container.clickRight(0);
    ASSERT_TRUE(waitUntil([&] { return indoor->state() == OX::LinkPage::initialized_state; }, 8000));
    EXPECT_EQ(indoor->parameters(), onLink(0));
    EXPECT_EQ(footer(), "Reset|");
}

// A refresh slowed by the LINK meets another chair's LINK at the same address while an Apply waits
// behind it in the dongle: the first LINK's record (with the edit) reaches no LINK, and the page
// reads the new one's record instead.
TEST_F(LinkPageTest, AnApplyQueuedBehindASearchThatMeetsAnotherLinkSendsNothing)
{
    start();
    open();
    rig.emulator().addFault(
        emu::FaultRule::delayRequest(emu::FrameFilter::of(0x30).withDst(3), testutil::scaled(300), -1));
    testutil::BoxAnswerer boxes;
    // Queued while the search asks who is there, then while it reads the new LINK's record.
    for (int queuedDuring : { 97, 100 }) {
        edit();
        rig.emulator().updateLink(0, [&](emu::LinkModel& l) {
            l.serial = "LK19000" + QByteArray::number(queuedDuring + 800), l.parameters[0] = char(queuedDuring / 2);
        });
        const int since = rig.emulator().mark();
        bool refreshed = false;
        rig.dongle()->queryDevices(rig.headset()->channelMap(), nullptr, [&](auto*) { refreshed = true; });
        ASSERT_TRUE(rig.emulator().waitForFrame(
            emu::FrameFilter::of(0x30, queuedDuring).withDst(3), testutil::scaled(3000), since));
        boxes.answer("Save settings", "Don't save");
        rig.container.clickRight(0); // Apply, checked against the LINK known so far
        ASSERT_TRUE(waitUntil(
            [&] {
                return refreshed && indoor->state() == OX::LinkPage::initialized_state
                    && !QApplication::activeModalWidget() && !boxes.seen().isEmpty();
            },
            8000));
        EXPECT_EQ(rig.emulator().receivedCount(emu::FrameFilter::of(0xBF)), 0) << queuedDuring;
        EXPECT_EQ(indoor->parameters(), onLink(0)) << queuedDuring;
    }
    EXPECT_EQ(boxes.seen(), (QStringList { "Save settings", "Save settings" }));
}

// Another chair's LINK found under the preset while the forms show the first one's record (a search
// of an earlier visit, a refresh): the forms take its own record and drop the edits. Apply on a
// page that missed the change sends nothing and takes the new LINK's record all the same.
TEST_F(LinkPageTest, AnotherLinkUnderThePresetIsNeverSentTheFirstOnesRecord)
{
    start();
    open();
    testutil::BoxAnswerer boxes; // its record differs from the backup: asked as on a visit
    testutil::LogCapture log;
    int asked = 0;
    for (bool heard : { true, false }) {
        edit();
        boxes.answer("Save settings", "Don't save");
        rig.page = heard ? indoor : nullptr; // unheard, the dongle's word reaches no page
        replaceLink(heard ? "LK19000999" : "LK19000998", heard ? 60 : 61);
        rig.page = indoor;
        if (!heard)
            rig.container.clickRight(0); // Apply
        ++asked;
        EXPECT_TRUE(
            waitUntil([&] { return boxes.seen().size() == asked && !QApplication::activeModalWidget(); }));
        EXPECT_EQ(indoor->parameters(), onLink(0));
    }
    EXPECT_EQ(rig.emulator().receivedCount(emu::FrameFilter::of(0xBF)), 0);
    EXPECT_EQ(log.count("and its edits are dropped"), 2);
}

// "Save" answered once another chair's LINK came under the preset keeps the first one's record out
// of the preset's backup, where Restore would offer it to the new one; that one is asked anew.
TEST_F(LinkPageTest, TheBackupOfALinkReplacedBeforeTheAnswerIsNotSaved)
{
    start();
    settings->setLinkProfile(QStringLiteral("backup"), LinkProfile::Normal.parameters);
    bool answered = false;
    testutil::onNextBox([&](QWidget* box) {
        replaceLink("LK19000999", 60);
        answered = testutil::clickButton(box, "Save");
        testutil::answerNextBox("Don't save");
    });
    open();
    ASSERT_TRUE(waitUntil([&] { return answered && !QApplication::activeModalWidget(); }));
    EXPECT_EQ(indoor->parameters(), onLink(0));
    EXPECT_EQ(backup(), LinkProfile::Normal.parameters);
}

// "Save" answered while the settings folder can no longer be written: the backup is not claimed as
// kept, the person is told.
TEST_F(LinkPageTest, ABackupTheSettingsCannotWriteIsToldNotSaved)
{
    start();
    const QString folder = dir.filePath(QStringLiteral("cfg"));
    settings = std::make_unique<Settings>(folder + QStringLiteral("/s.ini"), nullptr);
    rig.container.settings = settings.get();
    settings->setLinkProfile(QStringLiteral("backup"), LinkProfile::Normal.parameters);
    // A file where the settings folder was.
    ASSERT_TRUE(QDir(folder).removeRecursively() && QFile(folder).open(QIODevice::WriteOnly));
    testutil::BoxAnswerer boxes;
    boxes.answer("Save settings", "Save");
    boxes.answer("Backup not saved", "OK");
    open();
    ASSERT_TRUE(waitUntil([&] { return boxes.seen().size() == 2 && !QApplication::activeModalWidget(); }));
    EXPECT_EQ(boxes.seen(), (QStringList { "Save settings", "Backup not saved" }));
    EXPECT_EQ(backup(), onLink(0)) << "offered for Restore until the application quits";
}

// The first backup, stored without a question, is told as not saved all the same.
TEST_F(LinkPageTest, AFirstBackupTheSettingsCannotWriteIsToldNotSaved)
{
    start();
    const QString folder = dir.filePath(QStringLiteral("cfg"));
    settings = std::make_unique<Settings>(folder + QStringLiteral("/s.ini"), nullptr);
    rig.container.settings = settings.get();
    ASSERT_TRUE(QDir(folder).removeRecursively() && QFile(folder).open(QIODevice::WriteOnly));
    testutil::BoxAnswerer boxes;
    boxes.answer("Backup not saved", "OK");
    open();
    ASSERT_TRUE(waitUntil([&] { return boxes.seen().size() == 1 && !QApplication::activeModalWidget(); }));
    EXPECT_EQ(boxes.seen(), QStringList { "Backup not saved" });
}

// A visit that comes while a search of an earlier one still runs waits for its end: the search may
// still put another chair's LINK under the preset, at the same address, after an Apply was queued.
TEST_F(LinkPageTest, AVisitWaitsForTheSearchOfAnEarlierOneBeforeAnythingIsSent)
{
    start();
    open();
    const emu::FrameFilter queries = emu::FrameFilter::of(0x30).withDst(3);
    rig.emulator().addFault(emu::FaultRule::delayRequest(queries, testutil::scaled(300), -1));
    indoor->searchLink(); // as Retry does
    back();
    rig.emulator().updateLink(0, [](emu::LinkModel& l) { l.serial = "LK19000999", l.parameters[0] = 60; });
    testutil::BoxAnswerer boxes;
    boxes.answer("Save settings", "Don't save");
    open();
    edit();
    if (!rig.container.busy)
        rig.container.clickRight(0); // Apply, where a person can
    ASSERT_TRUE(
        waitUntil([&] { return boxes.seen().size() == 1 && !QApplication::activeModalWidget(); }, 8000));
    EXPECT_EQ(rig.emulator().receivedCount(emu::FrameFilter::of(0xBF)), 0);
    EXPECT_EQ(indoor->parameters(), onLink(0));
}

// The LINK's answer becomes the record: an edit tried before it comes is not taken, so none is lost.
// Back meanwhile leaves without offering to dismiss the record, which goes all the same.
TEST_F(LinkPageTest, NothingIsEditedWhileTheLinkIsWritten)
{
    start();
    open();
    edit();
    const LPP edited = indoor->parameters();
    rig.emulator().addFault(emu::FaultRule::delayRequest(emu::FrameFilter::of(0xBF), 300));
    rig.container.clickRight(0);
    ASSERT_EQ(indoor->state(), OX::LinkPage::applying_parameters_state);
    edit();
    EXPECT_EQ(indoor->parameters(), edited);
    testutil::BoxAnswerer boxes;
    back();
    EXPECT_TRUE(boxes.seen().isEmpty()) << boxes.seen().join(", ").toStdString();
    ASSERT_TRUE(waitUntil([&] { return indoor->state() == OX::LinkPage::initialized_state; }, 8000));
    EXPECT_EQ(indoor->parameters(), onLink(0));
    EXPECT_TRUE(indoor->isEnabled());
}

// The language changes while the reset dialog is open: every text of it follows, and its OK
// button keeps naming what it does.
TEST_F(LinkPageTest, TheResetDialogFollowsALanguageChangeWhileOpen)
{
    rig.viaDirector = true;
    start();
    open();
    const QLocale before;
    auto language = [this](char const* code) {
        rig.director->loadLanguage(QLatin1String(code));
        rig.container.controller.retranslate(); // as the main window does
    };
    ASSERT_TRUE(testutil::answerDialog([this] { rig.container.perform(OX::PageAction::reset, nullptr); },
        [&](QWidget* box) {
            auto* dialog = qobject_cast<OX::LinkProfilesDialog*>(box);
            ASSERT_TRUE(dialog);
            auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("comboBox"));
            auto* message = dialog->findChild<QLabel*>(QStringLiteral("message"));
            language("fr");
            const QString reset = QStringLiteral("Réinitialiser les paramètres");
            EXPECT_TRUE(waitUntil([&] { return combo->itemText(0) == QStringLiteral("Choisir un profil"); }));
            EXPECT_EQ(dialog->okButton()->text(), reset);
            EXPECT_EQ(dialog->windowTitle(), reset);
            testutil::saveScreenshot(dialog, "link-reset-dialog-after-language-change");
            EXPECT_TRUE(message->text().contains(QStringLiteral("valeurs par défaut")))
                << message->text().toStdString();
            language("en");
            EXPECT_TRUE(waitUntil([&] { return combo->itemText(0) == QStringLiteral("Select profile"); }));
            EXPECT_EQ(dialog->okButton()->text(), QStringLiteral("Reset parameters"));
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Reset Parameters"));
            EXPECT_FALSE(dialog->okButton()->isEnabled()) << "nothing chosen yet";
            testutil::clickStandard(dialog, QDialogButtonBox::Cancel);
        }));
    QLocale::setDefault(before);
}

// Work that ends while the page is not shown changes its state only; what it sends is kept, and
// its failure is told by the director. "Save settings" then keeps the LINK's record, not the apply.
TEST_F(LinkPageTest, WorkEndingOffScreenKeepsThePendingApplyAndIsToldByTheDirector)
{
    rig.viaDirector = true;
    start();
    testutil::BoxAnswerer boxes;
    open();
    edit();
    const LPP edited = indoor->parameters();
    rig.emulator().addFault(emu::FaultRule::noReply(emu::FrameFilter::of(0xBF)));
    rig.container.clickRight(0);
    ASSERT_TRUE(rig.show("Menu")); // by the main menu, meanwhile
    const int footerCalls = rig.container.callsStartingWith("setRight").size();
    auto const& told = rig.app->h.messages;
    ASSERT_TRUE(waitUntil(
        [&] { return indoor->state() == OX::LinkPage::looking_for_link_state && !told.isEmpty(); }, 8000));
    EXPECT_TRUE(indoor->hasPendingApply());
    EXPECT_TRUE(boxes.seen().isEmpty());
    EXPECT_EQ(rig.container.callsStartingWith("setRight").size(), footerCalls);
    ASSERT_EQ(told.size(), 1);
    EXPECT_EQ(told.at(0).title + ": " + told.at(0).text.section('\n', 0, 0),
        "Link: Link lost, save parameters failed");

    rig.emulator().clearFaults();
    rig.emulator().updateLink(0, [](emu::LinkModel& l) { l.parameters[0] = 60; }); // changed behind
    query();
    boxes.answer("Save settings", "Save");
    open();
    EXPECT_EQ(indoor->parameters(), edited) << "the unconfirmed apply returns";
    EXPECT_EQ(footer(), "Apply|Revert");
    EXPECT_TRUE(waitUntil([&] { return backup() == onLink(0); })); // answered from the event loop
    EXPECT_EQ(boxes.seen(), QStringList { "Save settings" });
}

// An apply lost while Help covers the page: back from Help, "Link not present" says it on the
// page; left from Help for the menu, the director tells it once instead.
TEST_F(LinkPageTest, AnApplyLostUnderHelpIsToldOnceWhereverThePersonGoes)
{
    rig.viaDirector = true;
    start();
    OX::PageController& c = rig.container.controller;
    c.addPage(new testutil::RecordingPage(&rig.container, QStringLiteral("Help"), &c), QStringLiteral("Help"));
    c.show(); // a page back from Help is seen
    rig.emulator().addFault(emu::FaultRule::noReply(emu::FrameFilter::of(0xBF)));
    auto const& told = rig.app->h.messages;
    for (bool backFromHelp : { true, false }) {
        testutil::BoxAnswerer boxes;
        boxes.answer("Link not present", "Cancel");
        open();
        edit();
        rig.container.clickRight(0);
        ASSERT_TRUE(c.showPage(QStringLiteral("Help"), OX::Page::FromTop, 1000, true));
        ASSERT_TRUE(waitUntil([&] { return indoor->state() == OX::LinkPage::looking_for_link_state; }, 8000));
        if (backFromHelp)
            ASSERT_TRUE(c.page(QStringLiteral("Help"))->perform(OX::PageAction::back));
        else
            ASSERT_TRUE(rig.show("Menu"));
        ASSERT_TRUE(waitUntil([&] { return c.currentPageName() == "Menu" && !c.isSwitching(); }));
        ASSERT_TRUE(waitUntil([&] { return told.size() + boxes.seen().size() == 1; }));
        testutil::spin(200); // a second word would follow at once
        EXPECT_EQ(boxes.seen().size(), backFromHelp ? 1 : 0);
        ASSERT_EQ(told.size(), backFromHelp ? 0 : 1);
    }
    EXPECT_EQ(told.at(0).text.section('\n', 0, 0), "Link lost, save parameters failed");
}

// The reply of an apply sent in an earlier visit settles that apply only: a newer one that is
// lost still comes back into the forms.
TEST_F(LinkPageTest, AnEarlierVisitsReplyLeavesTheNewerApplyToComeBack)
{
    start();
    open();
    const LPP before = onLink(0);
    applySlowlyAndComeBack();
    edit();
    const LPP second = indoor->parameters();
    rig.emulator().addFault(emu::FaultRule::noReply(emu::FrameFilter::of(0xBF))); // the first one is in
    testutil::BoxAnswerer boxes;
    boxes.answer("Link not present", "Retry");
    boxes.answer("Save settings", "Don't save");
    rig.container.clickRight(0);
    ASSERT_EQ(onLink(0), before) << "the first reply came before the second apply: nothing tested";
    ASSERT_TRUE(
        waitUntil([&] { return boxes.seen().size() == 2 && !QApplication::activeModalWidget(); }, 8000));
    EXPECT_EQ(indoor->parameters(), second);
}

// The LINK confirms an earlier visit's apply that the forms show again: nothing is left to apply.
TEST_F(LinkPageTest, AnEarlierVisitsConfirmedApplyLeavesNoApplyInTheFooter)
{
    start();
    open();
    applySlowlyAndComeBack();
    EXPECT_TRUE(waitUntil([&] { return footer() == "Reset|Restore"; })) << footer().toStdString();
}

// A wheel notch and Back at once: leaving asks. Then the LINK answers an apply only while the page
// slides out: no "Link not present" over the menu (its Cancel would take a hidden page back).
TEST_F(LinkPageTest, AWheelNotchThenBackAsksAndAnApplyFailingAsThePageSlidesOutOpensNoBox)
{
    start();
    open();
    testutil::BoxAnswerer boxes;
    boxes.answer(
        "You have changes in your selected link profile. Do you want to apply changes?", "Stay on page");
    edit();
    rig.container.clickLeft();
    ASSERT_TRUE(waitUntil([&] { return boxes.seen().size() == 1 && !QApplication::activeModalWidget(); }));
    EXPECT_EQ(footer(), "Apply|Revert");
    rig.emulator().addFault(emu::FaultRule::noReply(emu::FrameFilter::of(0xBF)));
    rig.container.clickRight(0);
    OX::PageController& c = rig.container.controller;
    c.setSlideDurationOverride(testutil::scaled(2500)); // outlasts the LINK's silence
    ASSERT_TRUE(c.showPage(QStringLiteral("Menu"), 1, 1000, true));
    ASSERT_TRUE(waitUntil([&] { return indoor->state() == OX::LinkPage::looking_for_link_state; }, 8000));
    EXPECT_TRUE(c.isSwitching()) << "the answer came after the slide";
    ASSERT_TRUE(waitUntil([&] { return !c.isSwitching(); }, testutil::scaled(5000)));
    EXPECT_EQ(boxes.seen().size(), 1) << boxes.seen().join(", ").toStdString();
}

// A headset whose channel map lists no LINK of the page's preset: Retry ends unanswered, never busy for good.
TEST_F(LinkPageTest, ARetryOverAChannelMapWithoutThePresetAsksAgain)
{
    rig.map = { { 3, 0x81, emu::preset::LinkDrive } };
    rig.linkAddresses = { 3 };
    start();
    testutil::BoxAnswerer boxes;
    boxes.answer("Link not present", "Retry");
    boxes.answer("Link not present", "Cancel");
    open(outdoor);
    ASSERT_TRUE(waitUntil([&] { return rig.container.controller.currentPageName() == "Menu"; }, 8000));
    EXPECT_EQ(outdoor->state(), OX::LinkPage::looking_for_link_state);
    EXPECT_EQ(boxes.seen(), (QStringList { "Link not present", "Link not present" }));
}

TEST_F(LinkPageTest, OtherPresetsAndUpdatesBeforeAppearingChangeNothingAndADroppedLinkIsSafe)
{
    start();
    outdoor->updateWithDongle(rig.env.dongle.get(), DongleChangeMask::linkLost);
    EXPECT_EQ(outdoor->state(), OX::LinkPage::not_initialized_state);
    testutil::BoxAnswerer boxes;
    open();
    rig.emulator().updateLink(1, [](emu::LinkModel& l) { l.answering = false; });
    indoor->searchLink();
    ASSERT_TRUE(
        waitUntil([&] { return !rig.env.dongle->links().contains(OrvixDevice::LinkOutdoorDrive); }, 8000));
    EXPECT_EQ(indoor->state(), OX::LinkPage::initialized_state);
    EXPECT_TRUE(boxes.seen().isEmpty());

    // The dongle forgets its LINKs while an apply is on its way.
    rig.emulator().addFault(emu::FaultRule::delayRequest(emu::FrameFilter::of(0xBF), 300));
    edit();
    boxes.answer("Link not present", "Cancel");
    rig.container.clickRight(0);
    rig.env.dongle->stop();
    ASSERT_TRUE(waitUntil([&] { return rig.container.controller.currentPageName() == "Menu"; }, 8000));
    EXPECT_EQ(indoor->state(), OX::LinkPage::looking_for_link_state);
    EXPECT_EQ(boxes.seen(), QStringList { "Link not present" });
}

// Each parameter outside its limits, from each place a record comes from: nothing reaches the
// wire, and the person is told which parameter is outside which limits.
struct OutOfLimits {
    int offset; // byte of the record; the tremor filter sets both of its bytes
    uchar value;
    char const* told;
};
enum class Source { Form, StoredProfile, BuiltIn, File, ReadBack };

class LinkLimitsTest : public LinkPageTest,
                       public ::testing::WithParamInterface<std::tuple<OutOfLimits, Source>>
{
protected:
    LPP bad(LPP record) const
    {
        QByteArray bytes = record.getData().bytes();
        const OutOfLimits row = std::get<0>(GetParam());
        bytes[row.offset] = char(row.value);
        if (row.offset == 12)
            bytes[13] = char(row.value);
        return LPP(PacketData(bytes, PacketData::LittleEndian));
    }
    // The informative text of the next limits box, answered with OK.
    void expectBox(QString& text)
    {
        auto* timer = new QTimer(&watch);
        timer->setInterval(5);
        QObject::connect(timer, &QTimer::timeout, [timer, &text] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || box->text() != "Parameters outside their limits")
                return;
            timer->stop();
            text = box->informativeText();
            testutil::clickButton(box, "OK");
        });
        timer->start();
    }
    QObject watch;
};

TEST_P(LinkLimitsTest, NothingIsSentAndTheLimitIsNamed)
{
    const auto [row, source] = GetParam();
    QString told;
    if (source == Source::File) {
        QSettings raw(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
        raw.setValue("link/profile/list",
            QVariantList { QVariantMap {
                { "name", "backup" }, { "data", bad(LinkProfile::Normal.parameters).getData().bytes() } } });
    }
    start();
    if (source == Source::File) {
        told = settings->linkProfileProblems().join('\n');
        EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("s.ini.damaged"))));
        EXPECT_FALSE(settings->linkProfile("backup").defined) << "set aside, not taken";
    }
    if (source == Source::ReadBack) {
        const QByteArray record = bad(LinkProfile::Normal.parameters).getData().bytes();
        rig.emulator().updateLink(0, [&](emu::LinkModel& l) { l.parameters = record; });
        query();
        expectBox(told);
    }
    open();
    switch (source) {
    case Source::Form:
        indoor->form("general")->parameters() = bad(indoor->parameters()); // what a form writes into
        expectBox(told);
        rig.container.perform(OX::PageAction::apply, indoor);
        break;
    case Source::StoredProfile:
        settings->store()->setValue("link/profile/list",
            QVariantList { QVariantMap {
                { "name", "backup" }, { "data", bad(indoor->parameters()).getData().bytes() } } });
        expectBox(told);
        rig.container.perform(OX::PageAction::restore, indoor);
        EXPECT_EQ(indoor->parameters(), onLink(0)) << "not taken";
        break;
    case Source::BuiltIn: {
        // A built-in made wrong by a later edit.
        auto& builtIn = const_cast<LinkProfile&>(LinkProfile::Normal);
        const LPP good = builtIn.parameters;
        builtIn.parameters = bad(good);
        resetToNormal();
        builtIn.parameters = good;
        expectBox(told);
        rig.container.clickRight(0);
        break;
    }
    case Source::File:
    case Source::ReadBack:
        expectBox(told);
        rig.container.perform(OX::PageAction::apply, indoor);
        break;
    }
    ASSERT_TRUE(waitUntil([&] { return !told.isEmpty(); }, 5000));
    EXPECT_TRUE(told.contains(QString::fromUtf8(row.told))) << told.toStdString();
    EXPECT_EQ(rig.emulator().receivedCount(emu::FrameFilter::of(0xBF)), 0);
    ASSERT_TRUE(waitUntil([&] { return indoor->state() == OX::LinkPage::initialized_state; }));
}

INSTANTIATE_TEST_SUITE_P(Limits, LinkLimitsTest,
    ::testing::Combine(::testing::Values(OutOfLimits { 14, 255, "safety angle forward 255° (limits 0–170°)" },
                           OutOfLimits { 18, 0, "emergency-brake window 0 ms (limits 40–1000 ms)" },
                           OutOfLimits { 23, 255, "back-tilt offset 255 (limits 0–100)" },
                           OutOfLimits { 12, 255, "tremor filter 100.053 % (limits 0–100 %)" }),
        ::testing::Values(
            Source::Form, Source::StoredProfile, Source::BuiltIn, Source::File, Source::ReadBack)));

} // namespace
