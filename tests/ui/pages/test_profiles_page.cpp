// The mouse profiles page: loading without editing, uploads over the emulated dongle (apply,
// trial, refusals, a silent dongle), the list operations and leaving with edits.
#include "ui/pages/ProfileListModel.h"
#include "ui/pages/ProfilesPage.h"

#include "app/Settings.h"
#include "common/PageRig.h"
#include "common/gui_util.h"
#include "device/Dongle.h"
#include "ui/toolkit/TimeoutDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QSlider>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QTranslator>
#include <gtest/gtest.h>

using namespace testutil;
using testutil::onNextBox;

namespace
{

// The sliders that show the fractions showFractions sets.
const char* const kFractionSliders[]
    = { "tremorFilter_pac", "hmHorizontalRange", "hmVertialRange", "mouseSpeed" };

struct ProfilesFixture : ::testing::Test {
    ~ProfilesFixture() override { delete page; }

    // The page over the emulator (director's settings), shown as the window would show it.
    bool bringUp()
    {
        if (!rig.startDirector())
            return false;
        open(&rig.container);
        return true;
    }
    // The page over a settings store alone, no dongle.
    void openOffline()
    {
        settings = std::make_unique<Settings>(dir.filePath(QStringLiteral("s.ini")), nullptr);
        offline.settings = settings.get();
        open(&offline);
    }
    void open(FakePageContainer* c)
    {
        fake = c;
        page = new OX::ProfilesPage(c);
        page->resize(674, 630);
        page->show();
        page->pageWillAppear(QStringLiteral("Menu"));
        page->pageDidAppear();
    }
    Settings* store() { return fake->getSettings(); }
    // A stored profile "Shaky" beside the selected one, shown in the list; its row.
    int addShaky()
    {
        MouseProfile shaky(MouseProfile::Tremor);
        shaky.setProfileName(QStringLiteral("Shaky"));
        if (!store()->addProfile(shaky))
            return -1;
        page->pageWillAppear(QStringLiteral("Menu")); // the list again
        return store()->indexOf(QStringLiteral("Shaky"));
    }
    MouseProfile* selected() { return store()->selectedProfile(); }
    // The selected profile's tremor filter, both view angles and speed all at f, shown.
    void showFractions(float f)
    {
        selected()->setTremorFilter(f);
        selected()->setHorizontalViewAnglePercent(f);
        selected()->setVerticalViewAnglePercent(f);
        selected()->setMouseSpeedPercent(f);
        page->onProfileChanged();
    }
    template <typename T> T* child(const char* name) { return page->findChild<T*>(QLatin1String(name)); }
    QSlider* inner(const char* slider) { return child<QWidget>(slider)->findChild<QSlider*>(); }
    // A person's press and release on the handle, without moving it.
    void releaseHandle(const char* slider) { testutil::releaseHandle(inner(slider)); }
    bool footerOffersApply() const { return fake->footer.right.action == OX::PageAction::apply; }
    // Clicks button, chooses base entry index (and name) in the selection dialog it opens and
    // confirms it; true once the page has taken the answer.
    bool chooseBase(const char* button, int index, QString const& name = QString())
    {
        return answerDialog([&] { QTest::mouseClick(child<QWidget>(button), Qt::LeftButton); },
            [index, name](QWidget* w) {
                w->findChild<QComboBox*>()->setCurrentIndex(index);
                if (auto* field = w->findChild<QLineEdit*>())
                    field->setText(name);
                testutil::clickStandard(w, QDialogButtonBox::Ok);
            });
    }
    // The DCP payload (command, lsb, msb) the emulated dongle stores for a write command.
    std::pair<uint8_t, uint8_t> param(uint8_t command) { return rig.emulator().dongle().params[command]; }

    pagetest::PageRig rig;
    QTemporaryDir dir;
    std::unique_ptr<Settings> settings;
    FakePageContainer offline;
    FakePageContainer* fake = nullptr;
    OX::ProfilesPage* page = nullptr;
};

TEST(ProfileListModel, TheDefaultRowInAnyCaseIsNotEditable)
{
    OX::ProfileListModel model;
    model.setStringList({ "default", "DeFault", "Calm", "defaults" });
    EXPECT_FALSE(model.flags(model.index(0)) & Qt::ItemIsEditable);
    EXPECT_FALSE(model.flags(model.index(1)) & Qt::ItemIsEditable);
    EXPECT_TRUE(model.flags(model.index(2)) & Qt::ItemIsEditable);
    EXPECT_TRUE(model.flags(model.index(3)) & Qt::ItemIsEditable);
    EXPECT_TRUE(model.flags(model.index(1)) & Qt::ItemIsSelectable);
}

TEST_F(ProfilesFixture, EveryHundredthLoadsAsItsPositionAndAnUnmovedReleaseEditsNothing)
{
    openOffline();
    for (int k = 0; k <= 100; ++k) {
        showFractions(float(k) / 100.0f);
        for (const char* s : kFractionSliders)
            ASSERT_EQ(inner(s)->value(), k) << s << " at " << k;
    }
    // A value between hundredths (0.537) shows rounded: letting go of a handle keeps it all the same.
    for (float f : { 0.53f, 0.59f, 0.537f }) {
        showFractions(f);
        for (const char* s : { "tremorFilter_pac", "hmHorizontalRange", "hmVertialRange" })
            releaseHandle(s);
        EXPECT_TRUE(page->editedProfile().isEqual(*selected(), false)) << f;
        EXPECT_EQ(fake->footer.right.action, OX::PageAction::none) << f;
    }
    // A moved slider is an edit.
    inner("tremorFilter_pac")->setValue(60);
    releaseHandle("tremorFilter_pac");
    EXPECT_FLOAT_EQ(page->editedProfile().tremorFilter(), 0.60f);
    EXPECT_TRUE(footerOffersApply());
    EXPECT_EQ(fake->footer.alternativeRight.action, OX::PageAction::tryIt);
}

// A stored value half-way between two hundredths shows as the byte the dongle is sent for it.
TEST_F(ProfilesFixture, AHalfWayValueShowsAsThePercentUploaded)
{
    openOffline();
    for (float f : { 0.005f, 0.145f, 0.205f, 0.535f }) {
        showFractions(f);
        for (const char* s : kFractionSliders)
            EXPECT_EQ(inner(s)->value(), int(Dongle::percentFromFraction(f))) << s << " at " << f;
    }
}

TEST_F(ProfilesFixture, TheSpeedSliderMovedByKeysPageUpOrWheelIsAnEdit)
{
    openOffline();
    using testutil::SliderMove;
    for (SliderMove move : { SliderMove::RightKey, SliderMove::PageUp, SliderMove::WheelUp }) {
        selected()->setMouseSpeedPercent(0.5f);
        page->onProfileChanged();
        ASSERT_FALSE(footerOffersApply());
        testutil::moveSlider(inner("mouseSpeed"), move);
        ASSERT_TRUE(waitUntil([&] { return footerOffersApply(); }, 2000)) << testutil::sliderMoveName(move);
        EXPECT_FLOAT_EQ(page->editedProfile().mouseSpeedPercent(), inner("mouseSpeed")->value() / 100.0f);
        EXPECT_GT(page->editedProfile().mouseSpeedPercent(), 0.5f);
    }
}

TEST_F(ProfilesFixture, SetCenterModesLoadWithoutEditing)
{
    openOffline();
    selected()->setAutoZeroEnable(false);
    selected()->setZeroTimeInterval(15000);
    page->onProfileChanged();
    auto* timing = child<QTimeEdit>("scTiming");
    EXPECT_EQ(timing->text(), QStringLiteral("15"));
    EXPECT_TRUE(timing->isEnabled());
    // An interval the edit cannot show runs as the default countdown, and shows so.
    selected()->setZeroTimeInterval(90000);
    page->onProfileChanged();
    EXPECT_EQ(timing->text(), QStringLiteral("05"));
    EXPECT_EQ(page->editedProfile().zeroTimeInterval(), 90000);
    EXPECT_EQ(fake->footer.right.action, OX::PageAction::none);

    // Automatic with visual feedback on: shown off and disabled, the profile untouched.
    selected()->setAutoZeroEnable(true);
    selected()->setVisualFeedback(true);
    page->onProfileChanged();
    EXPECT_EQ(timing->text(), QStringLiteral("00"));
    EXPECT_FALSE(timing->isEnabled());
    EXPECT_FALSE(child<QCheckBox>("scVisualFeedback")->isEnabled());
    EXPECT_TRUE(page->editedProfile().visualFeedback());
    EXPECT_EQ(fake->footer.right.action, OX::PageAction::none);
    saveScreenshot(page, "profiles-absolute");

    // The user's Timer then Automatic turns the crosshair off in the edited profile.
    QTest::mouseClick(child<QWidget>("scModeTimerButton"), Qt::LeftButton);
    EXPECT_TRUE(child<QCheckBox>("scVisualFeedback")->isChecked());
    QTest::mouseClick(child<QWidget>("scModeAutomaticButton"), Qt::LeftButton);
    EXPECT_FALSE(page->editedProfile().visualFeedback());
    EXPECT_TRUE(footerOffersApply());

    QTest::mouseClick(child<QWidget>("moveAndClickButton"), Qt::LeftButton);
    EXPECT_EQ(page->editedProfile().controlMode(), MouseMode::Relative);
    saveScreenshot(page, "profiles-relative");
    QTest::mouseClick(child<QWidget>("singleKeystrokeButton"), Qt::LeftButton);
    EXPECT_EQ(child<QStackedWidget>("generalParametersStack")->currentIndex(), 1);
    saveScreenshot(page, "profiles-single-keystroke");
}

TEST_F(ProfilesFixture, ApplyUploadsTheSevenParametersAndTheStoreKeepsThem)
{
    ASSERT_TRUE(bringUp());
    QTest::mouseClick(child<QWidget>("moveAndClickButton"), Qt::LeftButton);
    QTest::mouseClick(child<QWidget>("scModeTimerButton"), Qt::LeftButton);
    inner("mouseSpeed")->setValue(73);
    releaseHandle("mouseSpeed");
    ASSERT_TRUE(footerOffersApply());

    fake->clickRight(0);
    EXPECT_TRUE(rig.rec->progressTitles.contains(QStringLiteral("Upload mouse\nprofile")));
    ASSERT_TRUE(waitUntil([&] { return !rig.busy(); }));
    EXPECT_EQ(param(25).second, 2); // relative
    EXPECT_EQ(param(26).second, 73);
    EXPECT_FALSE(rig.emulator().dongle().autoZero);
    EXPECT_EQ(fake->footer.right.action, OX::PageAction::none);
    Settings reread(rig.app->h.dir.filePath(QStringLiteral("settings.ini")), nullptr);
    reread.load();
    ASSERT_TRUE(reread.hasSelectedProfile());
    EXPECT_TRUE(reread.selectedProfile()->isEqual(page->editedProfile(), false));

    // A silent dongle: the box, the indicator gone, the store unchanged.
    BoxAnswerer boxes;
    boxes.answer(QStringLiteral("Apply Profile"), QStringLiteral("OK"));
    rig.emulator().addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(25)));
    QTest::mouseClick(child<QWidget>("pointAndClickButton"), Qt::LeftButton);
    fake->clickRight(0);
    ASSERT_TRUE(waitUntil([&] { return boxes.seen().size() == 1; }, 8000));
    EXPECT_TRUE(boxes.unexpected().isEmpty());
    EXPECT_FALSE(rig.busy());
    EXPECT_EQ(selected()->controlMode(), MouseMode::Relative);
    EXPECT_TRUE(footerOffersApply());

    // No dongle at all: apply is refused at once; box, indicator hidden, no trial on "Try It".
    rig.emulator().clearFaults();
    ASSERT_TRUE(rig.unplug());
    boxes.answer(QStringLiteral("Apply Profile"), QStringLiteral("OK"));
    boxes.answer(QStringLiteral("Test Profile"), QStringLiteral("OK"));
    fake->clickRight(0);
    fake->clickRight(1);
    EXPECT_TRUE(waitUntil([&] { return boxes.seen().size() == 3; }));
    QStringList seen = boxes.seen(); // open at once: in either order
    seen.sort();
    EXPECT_EQ(seen, QStringList({ "Apply Profile", "Apply Profile", "Test Profile" }));
    EXPECT_TRUE(boxes.unexpected().isEmpty());
    EXPECT_FALSE(rig.busy());

    // With the dongle back, the edits still waiting are applied.
    ASSERT_TRUE(rig.replug());
    fake->clickRight(0);
    EXPECT_TRUE(waitUntil([&] { return !footerOffersApply() && !rig.busy(); }));
    EXPECT_TRUE(selected()->isEqual(page->editedProfile(), false));
    EXPECT_EQ(boxes.seen().size(), 3);
}

TEST_F(ProfilesFixture, ADoubleClickEditsTheNameAndUploadsNothing)
{
    ASSERT_TRUE(bringUp());
    const int row = addShaky();
    auto* list = child<QListView>("mouseProfilesListView");
    ASSERT_GT(row, 0);
    const int selectedBefore = store()->selectedIndex();
    const QPoint at = list->visualRect(list->model()->index(row, 0)).center();

    int since = rig.emulator().mark();
    // What a person's double click delivers: a click, then the double click and its release.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    auto* editor = list->findChild<QLineEdit*>();
    ASSERT_TRUE(editor && editor->isVisible());
    testutil::spin(QApplication::doubleClickInterval() + 100);
    EXPECT_FALSE(rig.emulator().waitForFrame(emu::FrameFilter::dcp(25), 0, since));
    EXPECT_EQ(store()->selectedIndex(), selectedBefore);
    // Renamed: the highlight goes back to the selected profile, not the renamed row.
    editor->setText(QStringLiteral("Steady"));
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return store()->indexOf(QStringLiteral("Steady")) == row; }));
    EXPECT_EQ(list->currentIndex().row(), selectedBefore);
    EXPECT_EQ(
        list->selectionModel()->selectedRows(), QModelIndexList { list->model()->index(selectedBefore, 0) });

    // A single click still selects and uploads.
    since = rig.emulator().mark();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    ASSERT_TRUE(waitUntil([&] { return store()->selectedIndex() == row; }));
    EXPECT_TRUE(rig.emulator().waitForFrame(emu::FrameFilter::dcp(25), scaled(2000), since));
}

// A click on a profile the dongle never takes: the selection stays where it was, the list shows
// it so again, and the person is told instead of editing one profile under another's name.
TEST_F(ProfilesFixture, AClickedProfileTheDongleDoesNotTakeIsToldAndTheListShowsTheSelectedOne)
{
    ASSERT_TRUE(bringUp());
    const int row = addShaky();
    auto* list = child<QListView>("mouseProfilesListView");
    const int selectedBefore = store()->selectedIndex();
    ASSERT_NE(row, selectedBefore);
    QStringList told;
    onNextBox([&told](QWidget* w) {
        told << w->windowTitle() + QStringLiteral(": ") + qobject_cast<QMessageBox*>(w)->text();
        saveScreenshot(w, "profiles-selection-failed");
        QTest::keyClick(w, Qt::Key_Escape);
    });
    rig.emulator().addFault(emu::FaultRule::noReply(emu::FrameFilter::of(emu::pid::DCP)));
    QTest::mouseClick(
        list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(row, 0)).center());
    ASSERT_TRUE(waitUntil([&] { return !told.isEmpty() && !rig.busy(); }, 8000));
    // Nothing answered, the write-back of the selected profile either: the dongle may run with
    // part of the clicked one.
    EXPECT_EQ(told, QStringList { QStringLiteral("Select Profile: Profile selection failed\n\n")
                                  + ProfileManager::settingsMayDifferText() });
    EXPECT_EQ(store()->selectedIndex(), selectedBefore);
    EXPECT_EQ(list->currentIndex().row(), selectedBefore);
}

// A clicked profile the dongle takes only after the person left and came back (the list was
// shown anew meanwhile): the list then highlights the profile now selected, whose values are shown.
TEST_F(ProfilesFixture, AClickTakenAfterLeavingAndComingBackHighlightsTheProfileSelected)
{
    ASSERT_TRUE(bringUp());
    const int row = addShaky();
    ASSERT_NE(row, store()->selectedIndex());
    rig.registerPage(page, QStringLiteral("Profiles"));
    ASSERT_TRUE(rig.show(QStringLiteral("Profiles")));
    auto* list = child<QListView>("mouseProfilesListView");
    LogCapture log;
    rig.emulator().addFault(emu::FaultRule::delayRequest(emu::FrameFilter::of(emu::pid::DCP), scaled(300)));
    QTest::mouseClick(
        list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(row, 0)).center());
    ASSERT_TRUE(waitUntil([&] { return log.count("Apply profile: ") == 1; }));
    rig.container.clickLeft();
    ASSERT_TRUE(waitUntil([&] { return rig.container.controller.currentPageName() == "Menu"; }));
    ASSERT_TRUE(rig.show(QStringLiteral("Profiles")));
    ASSERT_TRUE(rig.busy());
    ASSERT_TRUE(waitUntil([&] { return !rig.busy(); }, 8000));
    ASSERT_EQ(store()->selectedIndex(), row);
    EXPECT_EQ(list->currentIndex().row(), row);
    EXPECT_TRUE(selected()->isEqual(page->editedProfile(), false));
    EXPECT_FALSE(footerOffersApply());

    // A name being typed in place when the answer comes stays the person's to confirm.
    rig.emulator().addFault(emu::FaultRule::delayRequest(emu::FrameFilter::of(emu::pid::DCP), scaled(300)));
    const QModelIndex renamed = list->model()->index(1, 0);
    const QString name = renamed.data().toString();
    QTest::mouseClick(
        list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(2, 0)).center());
    ASSERT_TRUE(waitUntil([&] { return log.count("Apply profile: ") == 2; }));
    list->setCurrentIndex(renamed);
    list->edit(renamed);
    auto* editor = list->viewport()->findChild<QLineEdit*>();
    ASSERT_TRUE(editor);
    editor->setFocus();
    editor->setText(QStringLiteral("Half typed"));
    ASSERT_TRUE(waitUntil([&] { return !rig.busy() && store()->selectedIndex() == 2; }, 8000));
    EXPECT_EQ(store()->profileAt(1)->name(), name);
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_EQ(list->currentIndex().row(), 2);
}

// "Apply", "Try It", Remove, Add and Reset reached from the keyboard while a clicked profile
// uploads (the busy veil stops only the mouse) start nothing: once the dongle took the clicked
// profile, the list, the controls, the store and the dongle all hold it.
TEST_F(ProfilesFixture, NothingElseStartsWhileAClickedProfileUploads)
{
    ASSERT_TRUE(bringUp());
    const int row = addShaky();
    const int count = store()->profileCount();
    ASSERT_NE(row, store()->selectedIndex());
    inner("tremorFilter_pac")->setValue(81);
    releaseHandle("tremorFilter_pac");
    ASSERT_TRUE(footerOffersApply());
    BoxAnswerer boxes;
    boxes.answer(QStringLiteral("You have changes in your selected profile. Do you want to dismiss changes?"),
        QStringLiteral("Dismiss changes"));
    LogCapture log;
    rig.emulator().addFault(emu::FaultRule::delayRequest(emu::FrameFilter::of(emu::pid::DCP), scaled(300)));
    auto* list = child<QListView>("mouseProfilesListView");
    QTest::mouseClick(
        list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(row, 0)).center());
    ASSERT_TRUE(waitUntil([&] { return log.count("Apply profile: ") == 1; }));
    ASSERT_TRUE(rig.busy());
    fake->clickRight(0);
    fake->clickRight(1);
    // A row neither selected nor clicked nor "default".
    int other = 0;
    while (other == row || other == store()->selectedIndex()
        || store()->profileAt(other)->name().toLower() == QLatin1String("default"))
        ++other;
    ASSERT_LT(other, count);
    list->setCurrentIndex(list->model()->index(other, 0));
    for (const char* button : { "removeProfileButton", "addProfileButton", "resetProfileButton" })
        QTest::keyClick(child<QWidget>(button), Qt::Key_Space);

    const QString shaky = QStringLiteral("Shaky");
    ASSERT_TRUE(waitUntil([&] { return selected()->name() == shaky && !rig.busy(); }, 8000));
    testutil::spin(600); // an upload started meanwhile would end in this time
    EXPECT_EQ(log.count("Apply profile: "), 1);
    EXPECT_EQ(log.count("Test profile: "), 0);
    EXPECT_EQ(store()->profileCount(), count);
    EXPECT_EQ(selected()->name(), shaky);
    EXPECT_EQ(list->currentIndex().data().toString(), shaky);
    EXPECT_TRUE(page->editedProfile().isEqual(*selected(), false));
    EXPECT_FALSE(footerOffersApply());
    EXPECT_EQ(param(3).second, Dongle::percentFromFraction(selected()->tremorFilter()));
    EXPECT_TRUE(boxes.unexpected().isEmpty());
}

// Remove reached from the keyboard while "Apply" uploads to a dongle that never answers starts
// nothing either: the store keeps the profile it had, and the edits stay offered for "Apply".
TEST_F(ProfilesFixture, ARemovalWhileApplyUploadsStartsNothing)
{
    ASSERT_TRUE(bringUp());
    const int row = addShaky();
    const int count = store()->profileCount();
    const float tremor = selected()->tremorFilter();
    inner("tremorFilter_pac")->setValue(81);
    releaseHandle("tremorFilter_pac");
    BoxAnswerer boxes;
    boxes.answer(QStringLiteral("Apply Profile"), QStringLiteral("OK"));
    rig.emulator().addFault(emu::FaultRule::noReply(emu::FrameFilter::of(emu::pid::DCP)));
    fake->clickRight(0);
    auto* list = child<QListView>("mouseProfilesListView");
    list->setCurrentIndex(list->model()->index(row, 0));
    QTest::keyClick(child<QWidget>("removeProfileButton"), Qt::Key_Space);

    ASSERT_TRUE(waitUntil([&] { return !boxes.seen().isEmpty() && !rig.busy(); }, 8000));
    testutil::spin(1500); // an upload started meanwhile would fail in this time
    EXPECT_EQ(store()->profileCount(), count);
    EXPECT_FLOAT_EQ(selected()->tremorFilter(), tremor);
    EXPECT_FLOAT_EQ(page->editedProfile().tremorFilter(), 0.81f);
    EXPECT_TRUE(footerOffersApply());
    EXPECT_EQ(boxes.seen(), QStringList { QStringLiteral("Apply Profile") });
}

TEST_F(ProfilesFixture, TrialKeptOrRevertedOnceOrTwice)
{
    ASSERT_TRUE(bringUp());
    const float before = selected()->tremorFilter();
    LogCapture log;
    auto tryTremor = [&](int position) {
        inner("tremorFilter_pac")->setValue(position);
        releaseHandle("tremorFilter_pac");
        log.clear();
        fake->clickRight(1);
    };

    // Yes: the selected profile goes back first, then the edited one is applied and stored.
    onNextBox([this](QWidget* w) {
        // Over the page's window, not a window of its own beside it.
        EXPECT_EQ(w->parentWidget() ? w->parentWidget()->window() : nullptr, page->window());
        EXPECT_EQ(w->windowType(), Qt::Dialog);
        saveScreenshot(w, "profiles-trial-dialog");
        testutil::clickStandard(w, QDialogButtonBox::Yes);
    });
    tryTremor(81);
    ASSERT_TRUE(waitUntil([&] { return !rig.busy() && log.count("Apply profile: ") == 2; }));
    EXPECT_EQ(log.count("Test profile: "), 1);
    ASSERT_TRUE(waitUntil([&] { return param(3).second == 81; }));
    EXPECT_FLOAT_EQ(selected()->tremorFilter(), 0.81f);

    // No before the timer: one revert; the edits are dropped.
    onNextBox([](QWidget* w) { testutil::clickStandard(w, QDialogButtonBox::No); });
    tryTremor(12);
    ASSERT_TRUE(waitUntil([&] { return log.count("Apply profile: ") == 1 && param(3).second == 81; }));
    EXPECT_FLOAT_EQ(page->editedProfile().tremorFilter(), 0.81f);

    // No after the timer fired: the dongle was reverted at the timer, and once more on the answer.
    page->setTrialDuration(300);
    onNextBox([](QWidget* w) { testutil::clickStandard(w, QDialogButtonBox::No); },
        [&](QWidget*) { return log.count("Apply profile: ") == 1 && param(3).second == 81; });
    tryTremor(12);
    ASSERT_TRUE(waitUntil([&] { return log.count("Apply profile: ") == 2; }));
    EXPECT_EQ(log.count("Test profile: "), 1);
    EXPECT_NE(before, 0.12f);
    EXPECT_EQ(fake->footer.right.action, OX::PageAction::none);
}

// "Try It" pressed again before its question opened starts no second trial; the clock counts the
// trial's own time; "keep it" stores the settings tried even when the edited profile was reloaded
// meanwhile (a late list-click reply does so).
TEST_F(ProfilesFixture, OneTrialAtATimeAndKeepingStoresWhatWasTried)
{
    ASSERT_TRUE(bringUp());
    LogCapture log;
    page->setTrialDuration(scaled(20000));
    inner("tremorFilter_pac")->setValue(81);
    releaseHandle("tremorFilter_pac");
    int clock = -1;
    onNextBox([&](QWidget* w) {
        clock = w->property("duration").toInt();
        emit page->updateProfile();
        testutil::clickStandard(w, QDialogButtonBox::Yes);
    });
    fake->clickRight(1);
    fake->clickRight(1);
    ASSERT_TRUE(waitUntil([&] { return !rig.busy() && log.count("Apply profile: ") == 2; }));
    EXPECT_EQ(clock, scaled(20000));
    EXPECT_EQ(log.count("Test profile: "), 1);
    EXPECT_FLOAT_EQ(selected()->tremorFilter(), 0.81f);
    EXPECT_TRUE(waitUntil([&] { return param(3).second == 81; }));
    testutil::spin(100);
    const auto trials = page->findChildren<OX::TimeoutDialog*>();
    EXPECT_TRUE(trials.isEmpty());
    for (OX::TimeoutDialog* left : trials)
        left->done(QDialog::Rejected);
}

// The dongle replaced while its question is open ends the trial: the new dongle gets the selected
// profile, never the one tried, and the edits wait for "Apply" or a new trial.
TEST_F(ProfilesFixture, ADongleReplacedMidTrialGetsTheSelectedProfile)
{
    ASSERT_TRUE(bringUp());
    rig.page = page;
    const int selectedTremor = Dongle::percentFromFraction(selected()->tremorFilter());
    ASSERT_NE(selectedTremor, 81);
    inner("tremorFilter_pac")->setValue(81);
    releaseHandle("tremorFilter_pac");
    fake->clickRight(1);
    ASSERT_TRUE(waitUntil(
        [&] { return param(3).second == 81 && !page->findChildren<OX::TimeoutDialog*>().isEmpty(); }));
    ASSERT_TRUE(rig.unplug());
    EXPECT_FALSE(page->isTrialRunning());
    EXPECT_TRUE(waitUntil([&] { return page->findChildren<OX::TimeoutDialog*>().isEmpty(); }));
    ASSERT_TRUE(rig.replug());
    EXPECT_TRUE(waitUntil([&] { return param(3).second == selectedTremor; }));
    EXPECT_TRUE(footerOffersApply());
    onNextBox([](QWidget* w) { testutil::clickStandard(w, QDialogButtonBox::No); });
    fake->clickRight(1);
    EXPECT_TRUE(waitUntil([&] { return !footerOffersApply() && param(3).second == selectedTremor; }));
}

// A name refused in place (taken in any letter case, blank) changes nothing and is told;
// the row always shows the stored name.
TEST_F(ProfilesFixture, ARefusedRenameChangesNothingAndIsTold)
{
    openOffline();
    auto* list = child<QListView>("mouseProfilesListView");
    const QStringList before = store()->profileNames();
    ASSERT_GE(before.size(), 2);
    const QModelIndex row = list->model()->index(1, 0);
    BoxAnswerer boxes;
    const QStringList refused { before.at(0).toUpper(), QStringLiteral("   ") };
    for (QString const& name : refused) {
        boxes.answer(QStringLiteral("Rename profile"), QStringLiteral("OK"));
        list->model()->setData(row, name);
        EXPECT_EQ(row.data().toString(), before.at(1)) << name.toStdString();
    }
    // The same name with spaces around it: nothing to rename, and the row shows it as stored.
    list->model()->setData(row, QStringLiteral(" ") + before.at(1) + QStringLiteral("  "));
    EXPECT_EQ(row.data().toString(), before.at(1));
    EXPECT_EQ(store()->profileNames(), before);
    EXPECT_TRUE(waitUntil([&] { return boxes.seen().size() == refused.size(); }));
    EXPECT_TRUE(boxes.unexpected().isEmpty());
}

TEST_F(ProfilesFixture, AddRenameRemoveAndBasesInFrench)
{
    openOffline();
    ASSERT_TRUE(chooseBase("addProfileButton", 1));
    ASSERT_TRUE(chooseBase("addProfileButton", 1, QStringLiteral("  ")));
    const QStringList names = store()->profileNames();
    ASSERT_EQ(names.mid(3), QStringList({ "Restricted 1", "Restricted 2" }));
    EXPECT_TRUE(store()->profileAt(4)->isEqual(MouseProfile::Restricted, false));

    QTranslator french;
    ASSERT_TRUE(french.load(QStringLiteral(":/languages/fr")));
    QCoreApplication::installTranslator(&french);
    ASSERT_TRUE(chooseBase("addProfileButton", 2, QStringLiteral("Mes tremblements")));
    ASSERT_TRUE(chooseBase("resetProfileButton", 2));
    page->retranslate();
    EXPECT_EQ(fake->header.title, QStringLiteral("Profils de souris"));
    QCoreApplication::removeTranslator(&french);
    ASSERT_EQ(store()->profileCount(), 6);
    EXPECT_TRUE(store()->profileAt(5)->isEqual(MouseProfile::Tremor, false));
    EXPECT_TRUE(page->editedProfile().isEqual(MouseProfile::Tremor, false));
    EXPECT_TRUE(footerOffersApply());

    // In-place rename goes to the store; a name taken in another case goes back, and is told.
    BoxAnswerer boxes;
    boxes.answer(QStringLiteral("Rename profile"), QStringLiteral("OK"));
    auto* list = child<QListView>("mouseProfilesListView");
    list->model()->setData(list->model()->index(5, 0), QStringLiteral("Shaky"));
    list->model()->setData(list->model()->index(4, 0), QStringLiteral("shaky"));
    EXPECT_EQ(store()->profileAt(5)->name(), QStringLiteral("Shaky"));
    EXPECT_EQ(list->model()->index(4, 0).data().toString(), QStringLiteral("Restricted 2"));
    EXPECT_EQ(store()->profileAt(4)->name(), QStringLiteral("Restricted 2"));

    // "default" stays, with a box; another row goes without a question.
    boxes.answer(QStringLiteral("Delete profile"), QStringLiteral("OK"));
    list->setCurrentIndex(list->model()->index(0, 0));
    QTest::mouseClick(child<QWidget>("removeProfileButton"), Qt::LeftButton);
    EXPECT_EQ(store()->profileCount(), 6);
    list->setCurrentIndex(list->model()->index(5, 0));
    QTest::mouseClick(child<QWidget>("removeProfileButton"), Qt::LeftButton);
    EXPECT_EQ(store()->profileCount(), 5);
    EXPECT_FALSE(store()->profileNameExists(QStringLiteral("Shaky")));
    EXPECT_TRUE(waitUntil([&] { return boxes.seen().size() == 2; }));
    QStringList seen = boxes.seen(); // open at once: in either order
    seen.sort();
    EXPECT_EQ(seen, QStringList({ "Delete profile", "Rename profile" }));
    EXPECT_TRUE(boxes.unexpected().isEmpty());
}

// A removal with the dongle unplugged is stored and shown, and told as no failure: there was no
// dongle to send the selection to, and the next one gets the selected profile as it connects.
TEST_F(ProfilesFixture, ARemovalWithoutADongleIsStoredAndNotToldAsAFailure)
{
    ASSERT_TRUE(bringUp());
    const int row = addShaky();
    const int shakyTremor = Dongle::percentFromFraction(store()->profileAt(row)->tremorFilter());
    ASSERT_TRUE(store()->apply(row, {}));
    ASSERT_TRUE(waitUntil([&] { return store()->selectedIndex() == row && param(3).second == shakyTremor; }));
    page->pageWillAppear(QStringLiteral("Menu"));
    ASSERT_TRUE(rig.unplug());
    BoxAnswerer boxes;
    auto* list = child<QListView>("mouseProfilesListView");
    ASSERT_EQ(list->currentIndex().data().toString(), QStringLiteral("Shaky"));
    QTest::mouseClick(child<QWidget>("removeProfileButton"), Qt::LeftButton);
    EXPECT_EQ(store()->indexOf(QStringLiteral("Shaky")), -1);
    EXPECT_FALSE(static_cast<QStringListModel*>(list->model())->stringList().contains("Shaky"));
    EXPECT_TRUE(page->editedProfile().isEqual(*selected(), false));
    EXPECT_EQ(list->currentIndex().row(), store()->selectedIndex());

    const int selectedTremor = Dongle::percentFromFraction(selected()->tremorFilter());
    ASSERT_NE(selectedTremor, shakyTremor);
    ASSERT_TRUE(rig.replug());
    EXPECT_TRUE(waitUntil([&] { return param(3).second == selectedTremor; }));
    EXPECT_TRUE(boxes.seen().isEmpty());
}

// A profile clicked while the dongle uploads it and is unplugged, or clicked with the dongle
// unplugged, is selected and stored, and told as no failure: the next dongle gets it as it connects.
TEST_F(ProfilesFixture, AClickWithoutADongleSelectsTheProfileForTheNextDongle)
{
    ASSERT_TRUE(bringUp());
    const int first = store()->selectedIndex();
    const int row = addShaky();
    auto tremorAt = [&](int i) { return Dongle::percentFromFraction(store()->profileAt(i)->tremorFilter()); };
    ASSERT_NE(tremorAt(first), tremorAt(row));
    BoxAnswerer boxes;
    LogCapture log;
    auto* list = child<QListView>("mouseProfilesListView");
    auto click = [&](int r) {
        QTest::mouseClick(
            list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(r, 0)).center());
    };
    auto storedAndSent = [&](int r) {
        ASSERT_TRUE(waitUntil([&] { return store()->selectedIndex() == r && !rig.busy(); }));
        EXPECT_EQ(list->currentIndex().row(), r);
        EXPECT_TRUE(page->editedProfile().isEqual(*selected(), false));
        Settings reread(rig.app->h.dir.filePath(QStringLiteral("settings.ini")), nullptr);
        reread.load();
        EXPECT_EQ(reread.selectedIndex(), r);
        ASSERT_TRUE(rig.replug());
        EXPECT_TRUE(waitUntil([&] { return param(3).second == tremorAt(r); }));
    };

    rig.emulator().addFault(emu::FaultRule::noReply(emu::FrameFilter::of(emu::pid::DCP)));
    click(row);
    ASSERT_TRUE(waitUntil([&] { return log.count("Apply profile: ") == 1; }));
    ASSERT_TRUE(rig.unplug());
    rig.emulator().clearFaults();
    storedAndSent(row);

    ASSERT_TRUE(rig.unplug());
    click(first);
    storedAndSent(first);
    EXPECT_TRUE(boxes.seen().isEmpty());
}

// The language changes from French to English while a dialog of the page is open: the dialog
// speaks English, and the base chosen after the change is the one taken.
TEST_F(ProfilesFixture, DialogsFollowALanguageChangeWhileOpen)
{
    ASSERT_TRUE(bringUp());
    const QLocale before;
    rig.director->loadLanguage(QStringLiteral("fr"));
    page->retranslate();
    auto toEnglish = [this] {
        rig.director->loadLanguage(QStringLiteral("en"));
        page->retranslate(); // as the main window does
    };
    ASSERT_TRUE(answerDialog([&] { QTest::mouseClick(child<QWidget>("resetProfileButton"), Qt::LeftButton); },
        [&](QWidget* w) {
            auto* bases = w->findChild<QComboBox*>();
            toEnglish();
            EXPECT_TRUE(waitUntil([&] { return bases->itemText(2) == QStringLiteral("Tremor"); }));
            EXPECT_EQ(w->windowTitle(), QStringLiteral("Reset profile"));
            EXPECT_EQ(w->findChild<QLabel*>(QStringLiteral("profilesTitle"))->text(),
                QStringLiteral("Select the base profile"));
            saveScreenshot(w, "profiles-reset-dialog-after-language-change");
            bases->setCurrentIndex(2);
            testutil::clickStandard(w, QDialogButtonBox::Ok);
        }));
    EXPECT_TRUE(page->editedProfile().isEqual(MouseProfile::Tremor, false));

    rig.director->loadLanguage(QStringLiteral("fr"));
    page->retranslate();
    inner("tremorFilter_pac")->setValue(81);
    releaseHandle("tremorFilter_pac");
    ASSERT_TRUE(answerDialog([&] { fake->clickRight(1); },
        [&](QWidget* w) {
            toEnglish();
            EXPECT_EQ(w->windowTitle(), QStringLiteral("Testing in progress"));
            EXPECT_TRUE(
                w->findChild<QLabel*>(QStringLiteral("message"))->text().startsWith("Is it confortable?"));
            testutil::clickStandard(w, QDialogButtonBox::No);
        }));
    QLocale::setDefault(before);
}

// A name another profile bears in another letter case still gives the person the new profile.
TEST_F(ProfilesFixture, ANameTakenInAnotherCaseStillAddsTheProfile)
{
    openOffline();
    ASSERT_TRUE(chooseBase("addProfileButton", 2, QStringLiteral("tremor")));
    ASSERT_TRUE(chooseBase("addProfileButton", 0, QStringLiteral("DEFAULT")));
    EXPECT_EQ(store()->profileNames().mid(3), QStringList({ "tremor 1", "DEFAULT 1" }));
}

// A store whose only profile is removed: nothing is left to apply, and the next profile added
// is edited with its own settings, not those of the profile removed.
TEST_F(ProfilesFixture, AfterTheLastProfileIsRemovedTheNextOneAddedShowsItsOwnSettings)
{
    openOffline();
    store()->removeAllProfiles();
    MouseProfile work(QStringLiteral("Work"), MouseProfile::Tremor);
    work.setMouseSpeedPercent(0.11f);
    ASSERT_TRUE(store()->addProfile(work));
    page->pageWillAppear(QStringLiteral("Menu"));
    QTest::mouseClick(child<QWidget>("hmAutoRange"), Qt::LeftButton);
    ASSERT_TRUE(footerOffersApply());

    auto* list = child<QListView>("mouseProfilesListView");
    list->setCurrentIndex(list->model()->index(0, 0));
    QTest::mouseClick(child<QWidget>("removeProfileButton"), Qt::LeftButton);
    ASSERT_EQ(store()->profileCount(), 0);
    EXPECT_EQ(fake->footer.right.action, OX::PageAction::none);

    ASSERT_TRUE(chooseBase("addProfileButton", 1, QStringLiteral("New")));
    ASSERT_EQ(store()->profileNames(), QStringList { QStringLiteral("New") });
    EXPECT_TRUE(page->editedProfile().isEqual(MouseProfile::Restricted, false));
    EXPECT_EQ(inner("mouseSpeed")->value(), 75);
    EXPECT_EQ(fake->footer.right.action, OX::PageAction::none);
}

// A wheel notch and Back at once: leaving asks and staying keeps the notch. "Apply" to a silent
// dongle, then leaving: the failure is told once by the director, and the menu's footer stays.
TEST_F(ProfilesFixture, AWheelNotchThenBackAsksAndAFailureAfterLeavingIsToldNotWritten)
{
    ASSERT_TRUE(bringUp());
    rig.registerPage(page, QStringLiteral("Profiles"));
    ASSERT_TRUE(rig.show(QStringLiteral("Profiles")));
    const QString leave
        = QStringLiteral("You have changes in your selected profile. Do you want to apply changes?");
    BoxAnswerer boxes;
    boxes.answer(leave, QStringLiteral("Stay on page"));
    boxes.answer(leave, QStringLiteral("Dismiss and Leave page"));
    testutil::moveSlider(inner("mouseSpeed"), testutil::SliderMove::WheelUp);
    rig.container.clickLeft();
    ASSERT_TRUE(waitUntil([&] { return boxes.seen().size() == 1 && !QApplication::activeModalWidget(); }));
    EXPECT_FLOAT_EQ(page->editedProfile().mouseSpeedPercent(), inner("mouseSpeed")->value() / 100.0f);
    ASSERT_TRUE(footerOffersApply());

    rig.emulator().addFault(emu::FaultRule::noReply(emu::FrameFilter::of(emu::pid::DCP)));
    rig.container.clickRight(0);
    rig.container.clickLeft();
    auto& told = rig.app->h.messages;
    ASSERT_TRUE(waitUntil([&] { return !told.isEmpty() && !rig.busy(); }, 8000));
    EXPECT_EQ(rig.container.controller.currentPageName(), QStringLiteral("Menu"));
    EXPECT_NE(rig.container.footer.right.page, page);
    ASSERT_EQ(told.size(), 1);
    EXPECT_EQ(
        told.at(0).title + ": " + told.at(0).text,
        QStringLiteral("Apply Profile: Profile upload failed\n\n") + ProfileManager::settingsMayDifferText());
}

TEST_F(ProfilesFixture, LeavingWithEditsAsksAndAnEmptyStoreNeverCrashes)
{
    openOffline();
    // Opened from the menu, as the window has it.
    OX::PageController& c = offline.controller;
    c.setSlideDurationOverride(0);
    c.addPage(new RecordingPage(&offline, QStringLiteral("Menu"), &c), QStringLiteral("Menu"));
    c.addPage(page, QStringLiteral("Profiles"));
    c.setInitialPage(QStringLiteral("Menu"));
    ASSERT_TRUE(c.showPage(QStringLiteral("Profiles"), 1, 0, true));
    ASSERT_TRUE(waitUntil([&] { return c.currentPageName() == "Profiles" && !c.isSwitching(); }));
    EXPECT_TRUE(page->pageShouldDisappear());
    QTest::mouseClick(child<QWidget>("hmAutoRange"), Qt::LeftButton);
    ASSERT_TRUE(footerOffersApply());
    {
        BoxAnswerer boxes;
        boxes.answer(
            QStringLiteral("You have changes in your selected profile. Do you want to apply changes?"),
            QStringLiteral("Stay on page"));
        offline.clickLeft();
        ASSERT_TRUE(
            waitUntil([&] { return boxes.seen().size() == 1 && !QApplication::activeModalWidget(); }));
        EXPECT_TRUE(boxes.unexpected().isEmpty());
    }
    // Escape is "Dismiss and Leave page": the page goes, and nothing was uploaded or stored.
    onNextBox([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    offline.clickLeft();
    EXPECT_EQ(c.currentPageName(), QStringLiteral("Profiles"));
    ASSERT_TRUE(waitUntil([&] { return c.currentPageName() == "Menu"; }));
    EXPECT_FALSE(selected()->isEqual(page->editedProfile(), false));

    store()->removeAllProfiles();
    page->pageWillAppear(QString());
    EXPECT_TRUE(page->pageShouldDisappear());
    EXPECT_TRUE(page->perform(OX::PageAction::tryIt));
    EXPECT_TRUE(page->perform(OX::PageAction::apply));
}

} // namespace
