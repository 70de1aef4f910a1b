// The firmware wizard's frame with stub steps: the order of the notifications, the recovery
// detour on the step dots, the Next button, failure, a step that will not leave, leaving the
// page; and the image view's height for a width.
#include "ui/firmware/DFUConnectForm.h"
#include "ui/firmware/DFUFailedForm.h"
#include "ui/firmware/FirmwarePage.h"
#include "ui/firmware/ImageView.h"
#include "ui/toolkit/StepsWidget.h"

#include "common/FakePageContainer.h"
#include "common/gui_util.h"
#include "common/qt_wait.h"

#include <QPushButton>
#include <QSignalSpy>
#include <gtest/gtest.h>

using OX::DFUForm;
using OX::FirmwarePage;

namespace
{

// Records its notifications as "<tag>.<hook>"; allows moves unless told otherwise.
struct StubForm : DFUForm {
    StubForm(OX::DFUFormDelegate& d, QString tag, QStringList& log)
        : DFUForm(d)
        , tag(std::move(tag))
        , log(log)
    {
    }
    void retranslate() override { }
    void pageWillAppear() override { log << tag + ".willAppear"; }
    bool pageShouldDisappear() override
    {
        log << tag + ".shouldDisappear";
        return !refuse;
    }
    void pageWillDisappear(std::function<void()> done) override
    {
        log << tag + ".willDisappear";
        done();
    }
    void pageDidAppear() override { log << tag + ".didAppear"; }
    void pageDidDisappear() override { log << tag + ".didDisappear"; }
    void prepareForNavigation(NavigationDirection direction, std::function<void()> done) override
    {
        log << tag + ".prepare" + QString::number(int(direction));
        if (hold)
            held = done;
        else
            done();
    }
    void pageAbandoned() override { log << tag + ".abandoned"; }

    QString tag;
    QStringList& log;
    bool refuse = false;
    bool hold = false;
    std::function<void()> held;
};

// A connect step that moves on at once and leaves the recovery flag as the test set it.
struct StubConnect : OX::DFUConnectForm {
    using DFUConnectForm::DFUConnectForm;
    void pageWillAppear() override { }
    void prepareForNavigation(NavigationDirection, std::function<void()> done) override { done(); }
};

struct FrameFixture : ::testing::Test {
    FrameFixture()
    {
        page = std::make_unique<FirmwarePage>(&fake, nullptr, [this](FirmwarePage& p) {
            for (int id : { 1, 2, 3, 4, 6, 5 }) {
                DFUForm* form = id == 2 ? static_cast<DFUForm*>(new StubConnect(p))
                                        : new StubForm(p, QString::number(id), log);
                p.insertStep(form, id);
            }
        });
        next = page->findChild<QPushButton*>(QStringLiteral("nextButton"));
        stepper = page->findChild<OX::StepsWidget*>(QStringLiteral("stepper"));
        visitAgain();
    }
    // As the controller shows the page: a new visit, then the hook.
    void visitAgain()
    {
        page->endVisit();
        page->beginVisit();
        page->pageWillAppear(QStringLiteral("Menu"));
    }
    StubForm* stub(int id) { return static_cast<StubForm*>(page->stepForm(id)); }

    QStringList log;
    testutil::FakePageContainer fake;
    std::unique_ptr<FirmwarePage> page;
    QPushButton* next = nullptr;
    OX::StepsWidget* stepper = nullptr;
};

TEST_F(FrameFixture, NextNotifiesTheLeavingAndTheComingStepInOrder)
{
    EXPECT_EQ(page->stepOrder(), (QList<int> { 1, 2, 3, 4, 6, 5 }));
    EXPECT_EQ(stepper->steps(), 5);
    EXPECT_EQ(log, (QStringList { "1.willAppear", "1.didAppear" }));
    EXPECT_EQ(fake.header.title, QStringLiteral("Firmware update"));
    EXPECT_EQ(fake.footer.left.action, OX::PageAction::back);
    log.clear();

    next->click();
    EXPECT_EQ(log, (QStringList { "1.prepare1", "1.shouldDisappear", "1.willDisappear", "1.didDisappear" }));
    EXPECT_EQ(page->currentIndex(), 1);
    EXPECT_EQ(page->visibleIndex(), 1);
    EXPECT_EQ(stepper->currentStep(), 1);
    EXPECT_EQ(page->shownForm(), page->stepForm(2));

    // Prev is never offered, and a step back from the first step does nothing.
    EXPECT_FALSE(page->findChild<QPushButton*>(QStringLiteral("prevButton"))->isEnabled());
    visitAgain();
    log.clear();
    page->navigateToPrevStep(nullptr);
    EXPECT_TRUE(log.isEmpty());
}

TEST_F(FrameFixture, RecoveryTakesTheConnectDotAndLeadsToGetFirmware)
{
    QSignalSpy dots(stepper, &OX::StepsWidget::currentStepChanged);
    next->click(); // Welcome -> Connect
    page->setRecoveryMode(true);
    next->click(); // Connect -> Recovery
    EXPECT_EQ(page->currentIndex(), 5);
    EXPECT_EQ(page->shownForm(), page->stepForm(5));
    EXPECT_EQ(stepper->currentStep(), 1);
    ASSERT_EQ(dots.count(), 3);
    EXPECT_EQ(dots.at(1).at(0).toInt(), 0);
    EXPECT_EQ(dots.at(2).at(0).toInt(), 1);

    next->click(); // Recovery -> Get firmware
    EXPECT_EQ(page->currentIndex(), 2);
    EXPECT_EQ(page->shownForm(), page->stepForm(3));
    EXPECT_EQ(stepper->currentStep(), 2);

    // Without the flag Connect leads straight to Get firmware.
    visitAgain();
    page->setRecoveryMode(false);
    next->click();
    next->click();
    EXPECT_EQ(page->currentIndex(), 2);
    EXPECT_EQ(stepper->currentStep(), 2);
}

TEST_F(FrameFixture, NextButtonTextAndState)
{
    page->setNextStepEnabled(nullptr, false, QStringLiteral("Connect"));
    EXPECT_EQ(next->text(), QStringLiteral("Connect"));
    EXPECT_FALSE(next->isEnabled());
    page->setNextStepEnabled(nullptr, true, QString());
    EXPECT_EQ(next->text(), QStringLiteral("Connect"));
    EXPECT_TRUE(next->isEnabled());
    page->setNextStepEnabled(nullptr, false, QString());
    EXPECT_TRUE(next->text().isEmpty());
    EXPECT_FALSE(next->isEnabled());
}

TEST_F(FrameFixture, AFailedStepShowsTheFailedFormUntilTheNextVisit)
{
    next->click();
    page->stepFailed(page->stepForm(2), QStringLiteral("Unable to communicate with the link."));
    EXPECT_EQ(page->shownForm(), page->failedForm());
    EXPECT_EQ(page->failedForm()->message(), QStringLiteral("Unable to communicate with the link."));
    EXPECT_EQ(fake.header.subtitle, QStringLiteral("Failed"));
    EXPECT_EQ(page->visibleIndex(), 6);
    EXPECT_EQ(page->currentIndex(), 1);
    EXPECT_FALSE(next->isEnabled());

    visitAgain();
    EXPECT_EQ(page->shownForm(), page->stepForm(1));
    EXPECT_EQ(page->visibleIndex(), 0);
    EXPECT_EQ(stepper->currentStep(), 0);
    EXPECT_TRUE(next->isEnabled());
}

// A step that fails while Help covers the page shows the failure in the failed form, which the
// person sees on coming back; leaving from Help instead never shows it, so it is told once over
// the page shown then.
TEST_F(FrameFixture, AFailureUnderHelpIsToldOnLeavingOnlyWhenItWasNeverSeen)
{
    testutil::BoxAnswerer boxes;
    boxes.answer(QStringLiteral("Firmware update"), QStringLiteral("OK"));
    const auto failUnderHelp = [&](QString const& message) {
        page->show();
        next->click();
        page->setCovered(true); // as the controller brings Help over the page
        page->hide();
        page->stepFailed(page->stepForm(2), message);
    };
    failUnderHelp(QStringLiteral("Seen on coming back."));
    page->setCovered(false);
    page->show();
    page->endVisit();
    page->pageWillDisappear(QStringLiteral("Menu"), [] {});

    visitAgain();
    failUnderHelp(QStringLiteral("Unable to communicate with the link."));
    page->endVisit();
    page->pageWillDisappear(QStringLiteral("Menu"), [] {});
    ASSERT_TRUE(testutil::waitUntil([&] { return !boxes.seen().isEmpty(); }));
    EXPECT_EQ(boxes.shownTexts(), QStringList { "Unable to communicate with the link." });
    EXPECT_TRUE(boxes.unexpected().isEmpty());
}

TEST_F(FrameFixture, AStepThatWillNotLeaveKeepsTheScreen)
{
    stub(1)->refuse = true;
    next->click();
    EXPECT_EQ(page->shownForm(), page->stepForm(1));
    EXPECT_EQ(page->visibleIndex(), 0);
    EXPECT_FALSE(log.contains("1.willDisappear"));

    // A step that does not allow the move keeps everything where it is.
    visitAgain();
    stub(1)->hold = true;
    next->click();
    EXPECT_EQ(page->currentIndex(), 0);
    EXPECT_EQ(stepper->currentStep(), 0);
}

TEST_F(FrameFixture, LeavingTellsTheStepOnScreenAndDropsItsLateMove)
{
    stub(1)->hold = true;
    next->click();
    log.clear();
    const quint64 earlier = page->stepForm(1)->visit();
    bool done = false;
    page->pageWillDisappear(QStringLiteral("Menu"), [&] { done = true; });
    EXPECT_TRUE(done);
    EXPECT_EQ(log, QStringList { "1.abandoned" });
    EXPECT_FALSE(page->stepForm(1)->isOnScreen());

    visitAgain();
    stub(1)->held(); // the move the earlier visit asked for
    EXPECT_EQ(page->currentIndex(), 0);
    EXPECT_EQ(page->shownForm(), page->stepForm(1));
    // The step's token is the page's: work of the earlier visit is not this one's.
    EXPECT_EQ(page->stepForm(1)->visit(), page->visit());
    EXPECT_FALSE(page->stepForm(1)->isVisit(earlier));
    EXPECT_TRUE(page->stepForm(1)->isOnScreen());

    // Losing the dongle tells the step too.
    log.clear();
    page->updateWithDongle(nullptr, DongleChangeMask());
    EXPECT_EQ(log, QStringList { "1.abandoned" });

    // A step switched away within the visit no longer acts either.
    visitAgain();
    const quint64 now = page->visit();
    stub(1)->hold = false;
    next->click();
    EXPECT_FALSE(page->stepForm(1)->isVisit(now));
    EXPECT_TRUE(page->stepForm(2)->isVisit(now));
}

TEST(ImageView, HeightFollowsTheWidthWithThePicturesAspect)
{
    OX::ImageView view;
    view.resize(120, 90);
    EXPECT_EQ(view.heightForWidth(150), 90); // no picture: its own height
    QPixmap wide(200, 100);
    wide.fill(Qt::white);
    view.setPixmap(wide);
    EXPECT_EQ(view.heightForWidth(150), 75);
    view.setPixmap(QPixmap(300, 200));
    EXPECT_EQ(view.heightForWidth(100), 66);
    EXPECT_EQ(view.sizeHint(), QSize(120, 80));
    EXPECT_EQ(view.scaledPixmap().size(), QSize(120, 80));
    // At the limits: a tall picture at the widest width, and a width below nothing.
    view.setPixmap(QPixmap(1, 400));
    EXPECT_EQ(view.heightForWidth(QWIDGETSIZE_MAX), QWIDGETSIZE_MAX);
    EXPECT_EQ(view.heightForWidth(-5), 0);
    // A picture that cannot be read clears the view without a word in the log.
    testutil::LogCapture log;
    view.setPixmap(QPixmap(QStringLiteral(":/no/such/picture")));
    view.resize(60, 40);
    EXPECT_TRUE(view.pixmap(Qt::ReturnByValue).isNull());
    EXPECT_EQ(view.heightForWidth(150), 40);
    EXPECT_TRUE(log.lines().filter(QStringLiteral("warning")).isEmpty())
        << log.lines().join('\n').toStdString();
}

} // namespace
