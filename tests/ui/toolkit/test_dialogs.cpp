// The mouse-profile dialogs: Return never confirms untried settings, the countdown never closes
// the question, and the base profiles are offered by their shown names.
#include "ui/toolkit/ProfileSelectionDialog.h"
#include "ui/toolkit/TimeoutDialog.h"
#include "ui/toolkit/TimerWidget.h"

#include "common/qt_wait.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

TEST(TimeoutDialog, ReturnInAFreshDialogAnswersNo)
{
    OX::TimeoutDialog dialog;
    EXPECT_EQ(dialog.duration(), 0);
    dialog.setDuration(30000);
    dialog.setMessage(QStringLiteral("Keep these settings?"));
    dialog.show();
    ASSERT_TRUE(testutil::waitUntil([&] { return dialog.isVisible(); }));
    QWidget* target = dialog.focusWidget() ? dialog.focusWidget() : &dialog;
    QTest::keyClick(target, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST(TimeoutDialog, AFullCountdownLeavesTheQuestionOpen)
{
    OX::TimeoutDialog dialog;
    dialog.setDuration(50);
    auto* clock = dialog.findChild<OX::TimerWidget*>(QStringLiteral("clockWidget"));
    ASSERT_NE(clock, nullptr);
    QSignalSpy timeout(clock, &OX::TimerWidget::timeout);
    dialog.show();
    ASSERT_TRUE(timeout.wait(testutil::scaled(2000)));
    EXPECT_TRUE(dialog.isVisible());
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Yes)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(TimeoutDialog, ShownAgainTheClockGoesOnWhereItWas)
{
    OX::TimeoutDialog dialog;
    dialog.setDuration(testutil::scaled(20000));
    auto* clock = dialog.findChild<OX::TimerWidget*>(QStringLiteral("clockWidget"));
    dialog.show();
    ASSERT_TRUE(testutil::waitUntil([&] { return clock->progress() >= 2; }));
    // Hidden and shown again, as a window minimised and restored is.
    dialog.hide();
    dialog.show();
    EXPECT_GE(clock->progress(), 2);
}

// Whether label shows its whole word-wrapped text inside window.
bool showsWhole(QLabel* label, QWidget* window)
{
    const QRect inWindow(label->mapTo(window, QPoint(0, 0)), label->size());
    return label->height() >= label->heightForWidth(label->width()) && window->rect().contains(inWindow);
}

TEST(TimeoutDialog, ALongQuestionShowsWholeAlsoWhenChangedWhileShown)
{
    const QString question = QStringLiteral(
        "Kényelmes? Meg szeretné tartani a változtatásokat? 30 másodperc elteltével a beállítások "
        "visszaállnak az utolsó állapotra. ");
    OX::TimeoutDialog dialog;
    dialog.setDuration(30000);
    dialog.setMessage(question.repeated(4));
    dialog.show();
    auto* label = dialog.findChild<QLabel*>(QStringLiteral("message"));
    ASSERT_TRUE(testutil::waitUntil([&] { return showsWhole(label, &dialog); }));
    dialog.setMessage(question.repeated(8));
    EXPECT_TRUE(testutil::waitUntil([&] { return showsWhole(label, &dialog); }));
}

TEST(ProfileSelectionDialog, OffersTheThreeBaseProfilesFirstSelected)
{
    OX::ProfileSelectionDialog dialog(QStringLiteral("New profile"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("New profile"));
    auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("profilesComboBox"));
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(dialog.getSelectedProfile(), QStringLiteral("Normal"));
    EXPECT_EQ(combo->itemText(2), QStringLiteral("Tremor"));
    EXPECT_TRUE(dialog.getProfileName().isEmpty());

    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("profileName"));
    dialog.show();
    EXPECT_FALSE(name->isVisible());
    dialog.setNameFieldVisible(true);
    EXPECT_TRUE(name->isVisible());
    QTest::keyClicks(name, QStringLiteral(" Mine "));
    EXPECT_EQ(dialog.getProfileName(), QStringLiteral(" Mine "));
}

} // namespace
