// The single-keystroke key capture of the profiles page on a real display, where the key
// button needs the keyboard focus.
#include "ui/pages/ProfilesPage.h"

#include "app/Settings.h"
#include "common/FakePageContainer.h"
#include "common/gui_util.h"
#include "ui/toolkit/KeyboardButton.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

TEST(ProfilesPageDisplay, ReturnAndF5AreCapturedAndACodelessKeyOnlyEndsTheCapture)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "no display";
    QTemporaryDir dir;
    Settings settings(dir.filePath(QStringLiteral("s.ini")), nullptr);
    testutil::FakePageContainer fake;
    fake.settings = &settings;
    OX::ProfilesPage page(&fake);
    page.show();
    page.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
    page.pageWillAppear(QString());
    page.pageDidAppear();
    QTest::mouseClick(page.findChild<QWidget*>("singleKeystrokeButton"), Qt::LeftButton);
    auto* key = page.findChild<OX::KeyboardButton*>("skButton");
    auto* todo = page.findChild<QLabel*>("skTodoText");

    const std::pair<Qt::Key, KeyCode> cases[] = { { Qt::Key_Return, 0xB0 }, { Qt::Key_F5, 0xC6 } };
    for (auto const& c : cases) {
        QTest::mouseClick(key, Qt::LeftButton);
        ASSERT_TRUE(key->isChecked());
        EXPECT_EQ(todo->text(), QStringLiteral("Press any keyboard button to assign"));
        QTest::keyClick(QApplication::focusWidget(), c.first);
        EXPECT_FALSE(key->isChecked());
        EXPECT_EQ(page.editedProfile().ACATKeyCode(), c.second);
        EXPECT_EQ(todo->text(), QStringLiteral("Press the button to assign a keyboard button"));
    }
    EXPECT_EQ(fake.footer.right.action, OX::PageAction::apply);
    testutil::saveScreenshot(&page, "profiles-key-captured");

    // A key without a code (Shift alone) ends the capture and changes nothing.
    QTest::mouseClick(key, Qt::LeftButton);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Shift);
    EXPECT_FALSE(key->isChecked());
    EXPECT_EQ(page.editedProfile().ACATKeyCode(), 0xC6);
}
