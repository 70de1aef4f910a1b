// Page switches: which are refused, the order of the hooks around a slide, the way back, Help's
// exceptions, a page that holds its done, and navigateToPage's delay.
#include "common/FakePageContainer.h"
#include "common/gui_util.h"
#include "common/qt_wait.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>

using OX::PageAction;
using testutil::RecordingPage;
using testutil::waitUntil;

namespace
{

struct PageSwitch : ::testing::Test {
    testutil::FakePageContainer c;
    RecordingPage* menu = new RecordingPage(&c, "Menu", &c.controller);
    RecordingPage* status = new RecordingPage(&c, "Status", &c.controller);
    RecordingPage* help = new RecordingPage(&c, "Help", &c.controller);

    void SetUp() override
    {
        c.controller.setSlideDurationOverride(10);
        c.controller.addPage(menu, "Menu");
        c.controller.addPage(status, "Status");
        c.controller.addPage(help, "Help");
        c.controller.show();
        c.controller.setInitialPage("Menu");
        QObject::connect(&c.controller, &OX::PageController::pageWillAppearSignal, &c.controller,
            [this](OX::Page* p) { c.record("signal(" + p->name + ")"); });
        c.calls.clear();
    }
    // Switches and waits until the slide is over; the calls made meanwhile.
    QStringList go(QString const& name, int transition, bool record)
    {
        c.calls.clear();
        EXPECT_TRUE(c.controller.showPage(name, transition, 1000, record)) << name.toStdString();
        EXPECT_TRUE(waitUntil([&] { return !c.controller.isSwitching(); }));
        return c.calls;
    }
};

TEST_F(PageSwitch, RefusedSwitchesWriteNoLogLine)
{
    testutil::LogCapture log;
    OX::PageController fresh(&c);
    RecordingPage lone(&c, "Lone");
    fresh.addPage(&lone, "Lone");
    EXPECT_FALSE(fresh.showPage("Lone", 1, 1000, true)); // before setInitialPage
    EXPECT_FALSE(c.controller.showPage("Menu", 1, 1000, true));
    EXPECT_FALSE(c.controller.showPage("Nowhere", 1, 1000, true));
    EXPECT_FALSE(c.controller.addPage(status, "Menu"));
    ASSERT_TRUE(c.controller.showPage("Status", 1, 1000, true));
    EXPECT_FALSE(c.controller.showPage("Help", 1, 1000, true)); // during the slide
    EXPECT_FALSE(c.controller.shouldShowPage("Help"));
    EXPECT_EQ(log.count("Show Page ["), 1);
    EXPECT_TRUE(log.contains("Show Page [Status]"));
    EXPECT_FALSE(log.contains("Page shown [")); // only once the slide has ended
    ASSERT_TRUE(waitUntil([&] { return !c.controller.isSwitching(); }));
    EXPECT_EQ(log.lines().filter("Page shown [").join(""), "debug: Page shown [Status]");
}

TEST_F(PageSwitch, AnimatedSwitchCallsInOrderAndRecordsTheWayBack)
{
    c.setTitle("OrvixTools");
    c.setLeft("Hide", PageAction::hide, nullptr);
    menu->helpKey = "menu_anchor";
    const OX::PageHeader::State header = c.header;
    const OX::PageFooter::State footer = c.footer;
    status->onWillAppear = [&] { c.setTitle("Status"), c.setLeft("Back", PageAction::back, status); };

    const QStringList calls = go("Status", 1, true);
    EXPECT_EQ(calls,
        QStringList({ "signal(Status)", "Status.pageWillAppear(Menu)", "setTitle(Status)",
            "setLeft(Back,3,Status)", "setNavigationEnable(0,255)", "Menu.pageWillDisappear(Status)",
            "setNavigationEnable(1,255)", "Status.pageDidAppear", "Menu.pageDidDisappear" }));
    EXPECT_EQ(status->state.page, menu);
    EXPECT_EQ(status->state.name, "Menu");
    EXPECT_EQ(status->state.helpKey, "menu_anchor");
    EXPECT_EQ(status->state.transition, 1);
    EXPECT_EQ(status->state.duration, 1000);
    EXPECT_EQ(status->state.header, header); // taken before Status changed it
    EXPECT_EQ(status->state.footer, footer);
    EXPECT_TRUE(status->isVisible() && !menu->isVisible());
    EXPECT_EQ(status->pos(), QPoint(0, 0));
    EXPECT_TRUE(status->appeared && !menu->appeared);
}

TEST_F(PageSwitch, HelpOpensOverAPageAndReturnsUnnoticed)
{
    go("Status", 1, true);
    EXPECT_EQ(go("Help", 4, true),
        QStringList({ "signal(Help)", "Help.pageWillAppear(Status)", "setNavigationEnable(0,255)",
            "setNavigationEnable(1,255)", "Help.pageDidAppear" }));
    c.calls.clear();
    ASSERT_TRUE(help->perform(PageAction::back));
    ASSERT_TRUE(waitUntil([&] { return !c.controller.isSwitching(); }));
    EXPECT_EQ(c.calls,
        QStringList(
            { "Help.perform(3)", "Help.pageShouldDisappear", "setHeaderState(,)", "setFooterState(,,)",
                "setHeaderState(,)", "setFooterState(,,)", "signal(Status)", "setNavigationEnable(0,255)",
                "Help.pageWillDisappear(Status)", "setNavigationEnable(1,255)", "Help.pageDidDisappear" }));
    EXPECT_EQ(c.controller.currentPageName(), "Status");
    EXPECT_EQ(help->state.page, nullptr); // used up
    EXPECT_EQ(status->state.page, menu); // Status's own way back is untouched
}

TEST_F(PageSwitch, ThePageUnderHelpHearsLossesAndGoingBackFromThereLeavesHelpToo)
{
    go("Status", 1, true);
    go("Help", 4, true);
    c.calls.clear();
    c.controller.updateWithDongle(nullptr, DongleChangeMask::lost);
    c.controller.updateWithHeadset(nullptr, HeadsetChangeMask::lost);
    EXPECT_TRUE(c.calls.contains("Status.updateWithDongle(40000000)")) << c.calls.join(", ").toStdString();
    EXPECT_TRUE(c.calls.contains("Status.updateWithHeadset(1000)"));
    ASSERT_TRUE(status->perform(PageAction::back)); // as a page of the dongle does without one
    ASSERT_TRUE(waitUntil([&] { return !c.controller.isSwitching(); }));
    EXPECT_EQ(c.controller.currentPageName(), "Menu");
    EXPECT_TRUE(c.calls.contains("Help.pageDidDisappear") && c.calls.contains("Status.pageDidDisappear"));
}

TEST_F(PageSwitch, HomeFromHelpTellsBothPagesTheyWent)
{
    go("Status", 1, true);
    go("Help", 4, true);
    EXPECT_EQ(go("Menu", 3, false),
        QStringList({ "signal(Menu)", "Menu.pageWillAppear(Help)", "setNavigationEnable(0,255)",
            "Help.pageWillDisappear(Menu)", "Status.pageWillDisappear(Menu)", "setNavigationEnable(1,255)",
            "Menu.pageDidAppear", "Help.pageDidDisappear", "Status.pageDidDisappear" }));
    EXPECT_FALSE(help->perform(PageAction::back)); // Help's way back went with it
    // Without animation the same holds, and the switch waits for the page under Help too.
    go("Status", 1, true);
    go("Help", 4, true);
    status->holdDone = true;
    c.calls.clear();
    ASSERT_TRUE(c.controller.showPage("Menu", 0, 0, false));
    EXPECT_TRUE(c.controller.isSwitching());
    EXPECT_FALSE(c.controller.shouldShowPage("Status"));
    EXPECT_FALSE(c.controller.showPage("Status", 0, 0, false));
    status->releaseDone();
    EXPECT_EQ(c.calls,
        QStringList({ "Help.pageWillDisappear(Menu)", "Status.pageWillDisappear(Menu)",
            "Help.pageDidDisappear", "Status.pageDidDisappear", "signal(Menu)", "Menu.pageWillAppear(Help)",
            "Menu.pageDidAppear" }));
    EXPECT_EQ(c.controller.currentPageName(), "Menu");
}

// A page opened from Help (as navigateToPage does) goes back to Help as to any page: nothing
// would bring it back from under Help; Help then still leads back to where it was opened from.
// And the page under Help, opened again from Help, keeps its own way back instead of one that
// loops between it and Help.
TEST_F(PageSwitch, OnlyAPageHelpLeadsBackToStaysUnderIt)
{
    go("Status", 1, true);
    go("Help", 4, true);
    go("Menu", 1, true);
    EXPECT_TRUE(menu->perform(PageAction::back));
    ASSERT_TRUE(waitUntil([&] { return !c.controller.isSwitching(); }));
    EXPECT_TRUE(c.calls.contains("Menu.pageWillDisappear(Help)") && c.calls.contains("Menu.pageDidDisappear"))
        << c.calls.join(", ").toStdString();
    EXPECT_FALSE(menu->isVisit(menu->visit()));
    c.calls.clear();
    ASSERT_TRUE(help->perform(PageAction::back)) << "Help still leads to the page it was opened from";
    ASSERT_TRUE(waitUntil([&] { return c.controller.currentPageName() == "Status"; }));
    EXPECT_TRUE(c.calls.contains("Status.pageWillAppear(Help)"));
    go("Help", 4, true);
    go("Status", 1, true);
    EXPECT_EQ(status->state.page, menu);
    EXPECT_EQ(help->state.page, nullptr);
}

TEST_F(PageSwitch, HeldDoneKeepsBothPagesAndNavigationOff)
{
    menu->holdDone = true;
    ASSERT_TRUE(c.controller.showPage("Status", 1, 1000, true));
    testutil::spin(50);
    EXPECT_TRUE(menu->isVisible() && status->isVisible());
    EXPECT_EQ(status->pos(), QPoint(c.controller.width(), 0));
    EXPECT_EQ(menu->pos(), QPoint(0, 0));
    EXPECT_FALSE(c.navigationEnabled(OX::NavigationOptions::header_left));
    // Notifications reach the incoming page first.
    c.calls.clear();
    c.controller.settingsChanged(nullptr);
    EXPECT_EQ(c.calls, QStringList({ "Status.settingsChanged", "Menu.settingsChanged" }));
    menu->releaseDone();
    ASSERT_TRUE(waitUntil([&] { return !c.controller.isSwitching(); }));
    EXPECT_TRUE(c.navigationEnabled(OX::NavigationOptions::all));
    EXPECT_FALSE(menu->isVisible());
}

TEST_F(PageSwitch, APageGoneMidSlideGivesTheNavigationBack)
{
    // The page being left goes while it holds its done: the page coming in stays.
    menu->holdDone = true;
    ASSERT_TRUE(c.controller.showPage("Status", 1, 1000, true));
    ASSERT_FALSE(c.navigationEnabled(OX::NavigationOptions::all));
    delete menu;
    EXPECT_FALSE(c.controller.isSwitching());
    EXPECT_EQ(c.controller.currentPage(), status);
    EXPECT_TRUE(c.navigationEnabled(OX::NavigationOptions::all));
}

TEST_F(PageSwitch, APageComingInGoneMidSlideLeavesThePageShownWhereItIs)
{
    menu->holdDone = true;
    ASSERT_TRUE(c.controller.showPage("Status", 1, 1000, true));
    const QPoint rest = menu->pos();
    delete status;
    EXPECT_TRUE(c.navigationEnabled(OX::NavigationOptions::all));
    menu->releaseDone(); // late: the slide it would start is gone
    testutil::spin(50);
    EXPECT_FALSE(c.controller.isSwitching());
    EXPECT_EQ(c.controller.currentPage(), menu);
    EXPECT_EQ(menu->pos(), rest);
    EXPECT_TRUE(menu->isVisible());
}

TEST_F(PageSwitch, NavigateToPageWaitsHalfASecondAndTheSecondIsRefused)
{
    testutil::LogCapture log;
    menu->holdDone = true; // the first switch is still under way when the second timer fires
    QElapsedTimer clock;
    clock.start();
    emit c.controller.navigateToPage("Status");
    emit c.controller.navigateToPage("Help");
    ASSERT_TRUE(waitUntil([&] { return c.controller.isSwitching(); }));
    EXPECT_GE(clock.elapsed(), OX::PageController::NavigateDelayMs - 5);
    testutil::spin(100);
    EXPECT_EQ(log.count("Show Page ["), 1);
    menu->releaseDone();
    ASSERT_TRUE(waitUntil([&] { return c.controller.currentPageName() == "Status"; }));
    EXPECT_EQ(status->state.transition, 1);
    EXPECT_EQ(status->state.page, menu);
}

TEST_F(PageSwitch, CurrentPageCannotBeRemoved)
{
    testutil::LogCapture log;
    c.controller.removePage("Menu", true);
    EXPECT_EQ(c.controller.page("Menu"), menu);
    EXPECT_EQ(menu->controller, &c.controller);
    EXPECT_EQ(log.count("warning"), 1);
    c.controller.removePage(status, false);
    EXPECT_EQ(c.controller.page("Status"), nullptr);
    EXPECT_EQ(status->controller, nullptr);
    EXPECT_TRUE(status->name.isEmpty());
}

TEST_F(PageSwitch, TheWayBackNeitherLosesThePageUnderHelpNorKeepsAPageGone)
{
    go("Status", 1, true);
    go("Help", 4, true);
    c.controller.removePage("Status", false);
    EXPECT_EQ(status->controller, &c.controller);
    ASSERT_TRUE(help->perform(PageAction::back));
    ASSERT_TRUE(waitUntil([&] { return c.controller.currentPageName() == "Status"; }));
    delete menu;
    EXPECT_EQ(status->state.page, nullptr);
    EXPECT_FALSE(status->perform(PageAction::back));
}

TEST_F(PageSwitch, APageLeftTakesNobodyBack)
{
    RecordingPage* other = new RecordingPage(&c, "Other", &c.controller);
    c.controller.addPage(other, "Other");
    go("Status", 1, true);
    go("Other", 1, false); // as home does: Status keeps its way back to Menu
    EXPECT_FALSE(status->perform(PageAction::back)); // a late reply of its visit
    EXPECT_FALSE(c.controller.isSwitching());
    EXPECT_EQ(c.controller.currentPageName(), "Other");
    EXPECT_EQ(status->state.page, menu);
}

TEST_F(PageSwitch, BackWithoutAWayBackDoesNothing)
{
    QSignalSpy closed(menu, &OX::Page::closeDialog);
    EXPECT_FALSE(menu->perform(PageAction::back));
    go("Status", 0, true); // transition 0 records nothing
    EXPECT_FALSE(status->perform(PageAction::back));
    EXPECT_EQ(closed.count(), 0);
}

TEST_F(PageSwitch, BackClosesAnOpenQuestion)
{
    go("Status", 3, true);
    QTimer::singleShot(20, status, [this] { status->perform(PageAction::back); });
    EXPECT_EQ(status->showQuestion("Leave?", "Really", { "Yes", "No" }), -1);
    ASSERT_TRUE(
        waitUntil([&] { return c.controller.currentPageName() == "Menu" && !c.controller.isSwitching(); }));
    EXPECT_EQ(c.callsStartingWith("Menu.pageWillAppear"), QStringList({ "Menu.pageWillAppear(Status)" }));
}

TEST_F(PageSwitch, RefusedBackRestoresNothingAndKeepsTheWayBack)
{
    go("Status", 1, true);
    status->refuseToLeave = true;
    c.calls.clear();
    EXPECT_FALSE(status->perform(PageAction::back));
    EXPECT_TRUE(c.callsStartingWith("setHeaderState").isEmpty());
    EXPECT_EQ(status->state.page, menu);
    status->refuseToLeave = false;
    EXPECT_TRUE(status->perform(PageAction::back));
    ASSERT_TRUE(waitUntil([&] { return c.controller.currentPageName() == "Menu"; }));
}

TEST(Page, QuestionGivesTheIndexOfTheClickedLabel)
{
    testutil::FakePageContainer c;
    RecordingPage page(&c, "Page");
    testutil::answerNextBox("Third");
    EXPECT_EQ(page.showQuestion("T", "Which?", { "First", "Second", "Third" }), 2);
    testutil::answerNextBox("OK"); // the button Qt adds to an empty list is none of ours
    EXPECT_EQ(page.showQuestion("T", "Nothing to choose", {}), -1);
}

TEST_F(PageSwitch, EveryAppearanceAndDisappearanceBeginsANewVisit)
{
    const quint64 before = status->visit();
    EXPECT_FALSE(status->isVisit(before));
    go("Status", 1, true);
    const quint64 shown = status->visit();
    EXPECT_NE(shown, before);
    EXPECT_TRUE(status->isVisit(shown));
    go("Help", 1, true); // Help opens over the page: its visit goes on
    EXPECT_TRUE(status->isVisit(shown));
    go("Status", 1, false);
    EXPECT_TRUE(status->isVisit(shown));
    ASSERT_TRUE(c.controller.showPage("Menu", 1, 1000, false));
    EXPECT_TRUE(c.controller.isSwitching());
    EXPECT_FALSE(status->isVisit(shown)) << "the visit ends when the leave begins, not after the slide";
    ASSERT_TRUE(waitUntil([&] { return !c.controller.isSwitching(); }));
    EXPECT_FALSE(status->isVisit(status->visit()));
}

// Help over a page: what the page writes meanwhile is kept for its return, its question waits for
// it, and it hears the whole device state as it comes back. A page leaving writes and asks nothing
// over the next one but its explicit last word.
TEST_F(PageSwitch, OnlyThePageOnScreenWritesTheFooterOrAsks)
{
    using OX::PageFooter;
    go("Status", 1, true);
    OX::PageContainer* own = status->container;
    own->setRight("Cancel", PageAction::cancel, status, PageFooter::MainButton);
    go("Help", 4, true);
    own->setRight("Reset", PageAction::reset, status, PageFooter::MainButton);
    own->setRightEnabled(PageFooter::MainButton, false);
    own->setProgress(true);
    EXPECT_EQ(c.footer.right.text, "Cancel") << "Help's footer is Help's";
    EXPECT_TRUE(c.rightEnabled[0] && !c.busy);
    int answered = -2;
    status->ask({ OX::Page::Icon::Question, "Under Help", "", "", { "First", "Second" }, {} },
        [&](int index) { answered = index; });
    testutil::spin(50);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    c.calls.clear();
    ASSERT_TRUE(help->perform(PageAction::back));
    ASSERT_TRUE(waitUntil([&] { return !c.controller.isSwitching(); }));
    EXPECT_EQ(c.footer.right.text, "Reset");
    EXPECT_FALSE(c.rightEnabled[0]);
    EXPECT_TRUE(c.busy) << "the work it began under Help still runs";
    EXPECT_TRUE(c.calls.contains("signal(Status)")) << "the whole device state is told again";
    testutil::answerNextBox("Second");
    EXPECT_TRUE(waitUntil([&] { return answered == 1; }));

    testutil::BoxAnswerer boxes;
    boxes.answer("Last word", "Fine");
    status->holdDone = true;
    ASSERT_TRUE(c.controller.showPage("Menu", 1, 1000, false));
    own->setRight("Late", PageAction::reset, status, PageFooter::MainButton);
    status->ask({ OX::Page::Icon::Question, "Too late", "", "", {}, {} });
    status->askOnLeaving({ OX::Page::Icon::Information, "Last word", "", "", { "Fine" }, {} });
    status->releaseDone();
    ASSERT_TRUE(waitUntil([&] { return !c.controller.isSwitching() && !boxes.seen().isEmpty(); }));
    testutil::spin(50);
    EXPECT_NE(c.footer.right.text, "Late");
    EXPECT_EQ(boxes.seen(), QStringList { "Last word" });
}

// What a page told under Help is told once all the same when Help leads elsewhere (Home); a
// question that waited there, or a message about something gone meanwhile, goes with the visit.
TEST_F(PageSwitch, AMessageThatWaitedUnderHelpIsStillToldWhenHelpLeadsElsewhere)
{
    go("Status", 1, true);
    go("Help", 4, true);
    auto* headset = new QObject;
    int answered = -2;
    status->ask({ OX::Page::Icon::Warning, "Told", "", "", {}, {} });
    status->ask({ OX::Page::Icon::Warning, "About a headset gone", "", "", {}, { headset } });
    status->ask({ OX::Page::Icon::Question, "Asked", "", "", { "Yes", "No" }, {} },
        [&](int index) { answered = index; });
    testutil::spin(50);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "nothing opens over Help";
    delete headset;
    testutil::BoxAnswerer boxes;
    boxes.answer("Told", "OK");
    go("Menu", 3, false);
    ASSERT_TRUE(waitUntil([&] { return !boxes.seen().isEmpty(); }));
    testutil::spin(100);
    EXPECT_EQ(boxes.seen(), QStringList { "Told" });
    EXPECT_TRUE(boxes.unexpected().isEmpty());
    EXPECT_EQ(answered, -2);
}

TEST_F(PageSwitch, ThePageLeftLetsGoOfTheFooterBeforeTheNextPageSetsItsOwn)
{
    using OX::PageFooter;
    go("Status", 1, true);
    status->container->setProgress(true);
    // Cancelled, the page puts its button back: an answer the back action leaves on its way.
    status->ask({ OX::Page::Icon::Question, "Sure?", "", "", { "Yes", "No" }, {} }, [this](int) {
        status->container->setRight("Again", PageAction::apply, status, PageFooter::MainButton);
    });
    ASSERT_TRUE(waitUntil([] { return QApplication::activeModalWidget() != nullptr; }));
    menu->onWillAppear = [this] {
        menu->container->setRight("Menu's", PageAction::apply, menu, PageFooter::MainButton);
        menu->container->setProgress(true);
    };
    ASSERT_TRUE(status->perform(PageAction::back));
    ASSERT_TRUE(waitUntil([&] { return !c.controller.isSwitching(); }));
    EXPECT_EQ(c.footer.right.text, "Menu's");
    EXPECT_EQ(c.footer.right.page, menu) << "no button of the page gone";
    EXPECT_TRUE(c.busy) << "the menu's own work still runs";
}

// How a question ends: what happens while it is asked or open, and the answer that reaches the page.
struct AskCase {
    const char* name;
    bool closeBeforeOpening; // the event happens before the box could open
    std::function<void(PageSwitch&, QObject* about)> event; // null: the person clicks "Second"
    int expectedAnswer; // -2: no answer at all
};

// A question box (ask) or a dialog of the page's own (open): the person's click is the second
// button, or the dialog accepted (result 1 as well).
class Ask : public PageSwitch, public ::testing::WithParamInterface<std::tuple<AskCase, bool>>
{
};

TEST_P(Ask, OpensFromTheEventLoopAndAnswersOnlyWithinTheVisit)
{
    AskCase const& t = std::get<0>(GetParam());
    const bool dialog = std::get<1>(GetParam());
    go("Status", 1, true);
    auto* about = new QObject;
    QPointer<QObject> guard(about);
    int answered = -2;
    int answers = 0;
    auto answer = [&](int index) {
        answered = index;
        ++answers;
    };
    QPointer<QDialog> own = dialog ? new QDialog : nullptr;
    if (dialog)
        status->open(own, { about }, answer);
    else
        status->ask(
            { OX::Page::Icon::Warning, "Title", "Text", "More", { "First", "Second" }, { about } }, answer);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr); // never inside the caller
    if (t.closeBeforeOpening)
        t.event(*this, about);
    else
        ASSERT_TRUE(waitUntil([] { return QApplication::activeModalWidget() != nullptr; }));
    if (!t.event && dialog)
        testutil::onNextBox([](QWidget* w) { static_cast<QDialog*>(w)->accept(); });
    else if (!t.event)
        testutil::answerNextBox("Second");
    else if (!t.closeBeforeOpening)
        t.event(*this, about);
    ASSERT_TRUE(waitUntil([&] { return !QApplication::activeModalWidget() && !c.controller.isSwitching(); }));
    EXPECT_TRUE(waitUntil([&] { return !own; })) << "the dialog is deleted once closed or dropped";
    EXPECT_EQ(answered, t.expectedAnswer);
    EXPECT_LE(answers, 1);
    delete guard.data();
}

// A page that asks before it lets the person leave, and leaves on "Leave".
struct LeaveAskingPage : RecordingPage {
    using RecordingPage::RecordingPage;
    bool pageShouldDisappear() override
    {
        return askBeforeLeaving({ OX::Page::Icon::Question, "Leaving", "Sure?", {}, { "Stay", "Leave" }, {} },
            [](int answer) { return answer == 1; });
    }
};

TEST(Page, ALeaveAskedAboutIsRefusedThenPerformedOnlyOnTheAnswerThatLeaves)
{
    testutil::FakePageContainer c;
    c.controller.setSlideDurationOverride(0);
    c.controller.addPage(new RecordingPage(&c, "Menu", &c.controller), "Menu");
    c.controller.addPage(new LeaveAskingPage(&c, "Asking", &c.controller), "Asking");
    c.controller.show();
    c.controller.setInitialPage("Menu");
    ASSERT_TRUE(c.controller.showPage("Asking", 1, 0, true));
    ASSERT_TRUE(waitUntil([&] { return !c.controller.isSwitching(); }));
    testutil::BoxAnswerer boxes;
    for (const char* button : { "Stay", "Leave" }) {
        boxes.answer("Leaving", button);
        c.controller.perform(PageAction::back);
        EXPECT_EQ(c.controller.currentPageName(), "Asking"); // never left inside the back action
        ASSERT_TRUE(waitUntil([&] { return boxes.seen().size() == (button[0] == 'S' ? 1 : 2); }));
    }
    ASSERT_TRUE(waitUntil([&] { return c.controller.currentPageName() == "Menu"; }));
    EXPECT_EQ(boxes.seen().size(), 2);
    EXPECT_TRUE(boxes.unexpected().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Page, Ask,
    ::testing::Combine(
        ::testing::Values(AskCase { "Clicked", false, nullptr, 1 },
            AskCase { "ClosedByTheBackAction", false,
                [](PageSwitch& f, QObject*) { f.status->perform(PageAction::back); }, -1 },
            AskCase {
                "PageLeftWhileOpen", false, [](PageSwitch& f, QObject*) { f.go("Menu", 1, false); }, -2 },
            AskCase {
                "PageLeftBeforeOpening", true, [](PageSwitch& f, QObject*) { f.go("Menu", 1, false); }, -2 },
            AskCase { "DeviceGoneWhileOpen", false, [](PageSwitch&, QObject* about) { delete about; }, -2 },
            AskCase {
                "DeviceGoneBeforeOpening", true, [](PageSwitch&, QObject* about) { delete about; }, -2 }),
        ::testing::Bool()),
    [](::testing::TestParamInfo<std::tuple<AskCase, bool>> const& info) {
        return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "_Dialog" : "_Box");
    });

} // namespace

// A page that calls done twice, late or at once, switches once: the page under Help is told once,
// and a done kept from a switch that ended starts nothing of the next one.
TEST_F(PageSwitch, ADoneCalledTwiceSwitchesOnce)
{
    go("Status", 1, true);
    go("Help", 4, true);
    help->holdDone = status->holdDone = true;
    ASSERT_TRUE(c.controller.showPage("Menu", 0, 1000, false));
    const auto helpDone = help->heldDone;
    help->releaseDone();
    helpDone();
    EXPECT_EQ(c.calls.count("Status.pageWillDisappear(Menu)"), 1);
    EXPECT_TRUE(c.controller.isSwitching()) << "waits for the page under Help";
    const auto statusDone = status->heldDone;
    status->releaseDone();
    statusDone();
    EXPECT_EQ(c.calls.count("Menu.pageDidAppear"), 1);
    EXPECT_TRUE(menu->isOnScreen() && !status->isVisible() && !help->isVisible());

    menu->holdDone = true;
    ASSERT_TRUE(c.controller.showPage("Status", 1, 1000, true));
    const auto menuDone = menu->heldDone;
    menu->releaseDone();
    ASSERT_TRUE(waitUntil([&] { return !c.controller.isSwitching(); }));
    status->holdDone = true;
    ASSERT_TRUE(c.controller.showPage("Menu", 2, 1000, false));
    menuDone();
    statusDone();
    testutil::spin(50);
    EXPECT_TRUE(c.controller.isSwitching()) << "the slide waits for its own page's done";
    EXPECT_EQ(status->pos(), QPoint(0, 0));
    status->releaseDone();
    ASSERT_TRUE(waitUntil([&] { return !c.controller.isSwitching(); }));
    EXPECT_TRUE(menu->isOnScreen());
    EXPECT_TRUE(c.navigationEnabled(OX::NavigationOptions::all));
}
