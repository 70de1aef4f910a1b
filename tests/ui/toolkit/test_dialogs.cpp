// The mouse-profile dialogs: Return never confirms untried settings, the countdown never closes
// the question, and the base profiles are offered by their shown names.
#include "ui/toolkit/ProfileSelectionDialog.h"

#include "common/qt_wait.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

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
