// The header and footer: what a button set with action none shows, what setting button 0 does
// to button 1, the busy state, a button handed to another page, clicks handed to the container,
// and the header's window drag.
#include "common/FakePageContainer.h"
#include "ui/toolkit/PageFooter.h"
#include "ui/toolkit/PageHeader.h"
#include "ui/toolkit/ProgressWheel.h"
#include "ui/toolkit/Skin.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using OX::PageAction;
using OX::PageFooter;

namespace
{

TEST(PageFooter, MainRightButtonClearsTheAlternativeOne)
{
    testutil::FakePageContainer c;
    testutil::RecordingPage page(&c, "Page");
    PageFooter footer(&c);
    footer.show();
    footer.setLeft("Back", PageAction::none, &page);
    EXPECT_FALSE(footer.leftButton()->isVisible());
    EXPECT_EQ(footer.state().left.page, &page); // stored all the same
    footer.setRight("Apply", PageAction::apply, &page, PageFooter::MainButton);
    footer.setRight("Revert", PageAction::revert, &page, PageFooter::AlternativeButton);
    footer.setRightEnabled(PageFooter::AlternativeButton, false);
    EXPECT_TRUE(footer.rightButton(1)->isVisible());
    EXPECT_FALSE(footer.state().alternativeRight.enabled) << "a snapshot restores it as it is";

    footer.setRight("", PageAction::none, nullptr, PageFooter::MainButton);
    EXPECT_FALSE(footer.rightButton(0)->isVisible());
    EXPECT_FALSE(footer.rightButton(1)->isVisible());
    const PageFooter::ButtonState& alt = footer.state().alternativeRight;
    EXPECT_TRUE(alt.text.isEmpty() && alt.page == nullptr && alt.action == PageAction::none && alt.enabled);
    footer.setRight("X", PageAction::apply, &page, PageFooter::ButtonIndex(2)); // stores nothing
    EXPECT_TRUE(footer.state().right.text.isEmpty());
}

TEST(PageFooter, BusyDisablesTheRightButtonsAndIdleEnablesBoth)
{
    testutil::FakePageContainer c;
    testutil::RecordingPage page(&c, "Page");
    PageFooter footer(&c);
    footer.show();
    footer.setRight("Apply", PageAction::apply, &page, PageFooter::MainButton);
    footer.setRight("Revert", PageAction::revert, &page, PageFooter::AlternativeButton);
    footer.setRightEnabled(PageFooter::MainButton, false); // the page's own choice
    footer.setProgress(true);
    EXPECT_FALSE(footer.rightButton(1)->isEnabled());
    EXPECT_TRUE(footer.progressWheel()->isVisible() && footer.progressWheel()->isAnimated());
    footer.setProgress(false);
    EXPECT_TRUE(footer.rightButton(0)->isEnabled() && footer.rightButton(1)->isEnabled());
    EXPECT_FALSE(footer.progressWheel()->isVisible());

    QTest::mouseClick(footer.rightButton(1), Qt::LeftButton);
    EXPECT_EQ(c.calls.last(), "Page.perform(10)"); // through the container, to the page that set it
    EXPECT_TRUE(c.calls.contains("perform(10,Page)"));
}

TEST(PageFooter, AButtonSetForAnotherPageLeavesTheDisabledStateOfThePageBeforeBehind)
{
    testutil::FakePageContainer c;
    testutil::RecordingPage selection(&c, "Selection"), menu(&c, "Menu"), profiles(&c, "Profiles");
    PageFooter footer(&c);
    footer.setRight("Settings", PageAction::settings, &selection, PageFooter::MainButton);
    footer.setRight("Refresh", PageAction::refresh, &selection, PageFooter::AlternativeButton);
    footer.setRightEnabled(PageFooter::MainButton, false);
    footer.setRightEnabled(PageFooter::AlternativeButton, false);
    footer.setRight("Settings", PageAction::settings, &selection, PageFooter::MainButton); // same page
    EXPECT_FALSE(footer.rightButton(0)->isEnabled());

    footer.setRight("Quit", PageAction::quit, &menu, PageFooter::MainButton);
    EXPECT_TRUE(footer.rightButton(0)->isEnabled());
    footer.setRight("Apply", PageAction::apply, &profiles, PageFooter::MainButton);
    footer.setProgress(true);
    footer.setRight("Try It", PageAction::tryIt, &profiles, PageFooter::AlternativeButton);
    EXPECT_FALSE(footer.rightButton(1)->isEnabled()) << "busy";
    footer.setProgress(false);
    EXPECT_TRUE(footer.rightButton(1)->isEnabled());
}

// The press as a pointer gives it: moves carry the held left button.
void pointer(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButtons held)
{
    QMouseEvent e(type, pos, w->mapToGlobal(pos), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
        held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

TEST(PageBars, APressSlidOffOrCutByTheButtonGoingOffActsOnceOrNotAtAll)
{
    testutil::FakePageContainer c;
    testutil::RecordingPage page(&c, "Page");
    PageFooter footer(&c);
    OX::PageHeader header(&c);
    footer.show();
    header.show();
    footer.setRight("Next", PageAction::apply, &page, PageFooter::MainButton);
    QPushButton* next = footer.rightButton(0);
    const QPoint in = next->rect().center();
    const QPoint out(-20, -20);
    pointer(next, QEvent::MouseButtonPress, in, Qt::LeftButton);
    pointer(next, QEvent::MouseMove, out, Qt::LeftButton);
    pointer(next, QEvent::MouseMove, in, Qt::LeftButton);
    pointer(next, QEvent::MouseButtonRelease, in, Qt::NoButton);
    EXPECT_EQ(c.calls.count("perform(4,Page)"), 1) << "one press, one step";

    pointer(next, QEvent::MouseButtonPress, in, Qt::LeftButton);
    pointer(next, QEvent::MouseMove, out, Qt::LeftButton);
    pointer(next, QEvent::MouseButtonRelease, out, Qt::NoButton);
    pointer(next, QEvent::MouseButtonPress, in, Qt::LeftButton);
    footer.setProgress(true); // the page went busy under the held button
    pointer(next, QEvent::MouseButtonRelease, in, Qt::NoButton);
    QToolButton* home = header.homeButton();
    pointer(home, QEvent::MouseButtonPress, home->rect().center(), Qt::LeftButton);
    header.setLeftEnabled(false);
    pointer(home, QEvent::MouseButtonRelease, home->rect().center(), Qt::NoButton);
    EXPECT_EQ(c.calls.count("perform(4,Page)"), 1);
    EXPECT_FALSE(c.calls.contains("perform(13,null)")) << c.calls.join(' ').toStdString();
}

TEST(PageHeader, OnlyALeftButtonDragMovesTheWindow)
{
    testutil::FakePageContainer c;
    OX::PageHeader header(&c);
    header.resize(400, 68);
    header.show();
    QTest::mousePress(&header, Qt::RightButton, {}, QPoint(200, 30));
    QTest::mouseMove(&header, QPoint(220, 40));
    QTest::mouseRelease(&header, Qt::RightButton, {}, QPoint(220, 40));
    EXPECT_TRUE(c.callsStartingWith("moveContainer").isEmpty());

    QTest::mousePress(&header, Qt::LeftButton, {}, QPoint(200, 30));
    // QTest's moves carry no buttons: send one with the left button held.
    QMouseEvent move(QEvent::MouseMove, QPointF(230, 20), header.mapToGlobal(QPoint(230, 20)), Qt::NoButton,
        Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&header, &move);
    QTest::mouseRelease(&header, Qt::LeftButton, {}, QPoint(230, 20));
    EXPECT_EQ(c.moved, QPoint(30, -10));

    QTest::mouseClick(header.helpButton(), Qt::LeftButton);
    QTest::mouseClick(header.homeButton(), Qt::LeftButton);
    EXPECT_EQ(c.callsStartingWith("perform"), QStringList({ "perform(14,null)", "perform(13,null)" }));
}

} // namespace

TEST(PageHeader, DisabledButtonsShowTheirShapeInTheDisabledGrey)
{
    testutil::FakePageContainer c;
    OX::PageHeader header(&c);
    header.setLeftEnabled(false);
    const QImage shape = header.homeButton()->icon().pixmap(48, 48, QIcon::Disabled).toImage();
    const QColor grey = OX::Skin::color(QStringLiteral("disabledWidgetColor"));
    int opaque = 0;
    for (int y = 0; y < shape.height(); ++y)
        for (int x = 0; x < shape.width(); ++x) {
            const QColor c = shape.pixelColor(x, y);
            if (c.alpha() < 255)
                continue;
            ++opaque;
            EXPECT_EQ(c.rgb(), grey.rgb()) << x << "," << y;
            if (c.rgb() != grey.rgb())
                return;
        }
    EXPECT_GT(opaque, 0);
}
