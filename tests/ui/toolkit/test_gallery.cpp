// Screenshots for a person: the toolkit's small widgets as the application paints them.
#include "ui/toolkit/IconButton.h"
#include "ui/toolkit/KeyboardButton.h"
#include "ui/toolkit/Pixmap.h"
#include "ui/toolkit/ProgressMarker.h"
#include "ui/toolkit/ProgressView.h"
#include "ui/toolkit/ProgressWheel.h"
#include "ui/toolkit/ProgressWidget.h"
#include "ui/toolkit/Skin.h"
#include "ui/toolkit/TimerWidget.h"
#include "ui/toolkit/ToolButton.h"

#include "common/gui_util.h"
#include "common/qt_wait.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <QtMath>

#include <cmath>
#include <gtest/gtest.h>

namespace
{

// A white star with a transparent margin, as the icon drawings are.
QPixmap starShape()
{
    QPixmap shape(64, 64);
    shape.fill(Qt::transparent);
    QPainter p(&shape);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 ? 12 : 28;
        const double a = M_PI / 2 + i * M_PI / 5;
        star << QPointF(32 + r * std::cos(a), 32 - r * std::sin(a));
    }
    p.drawPolygon(star);
    return shape;
}

QIcon skinIcon(const char* key)
{
    OX::Pixmap icon(starShape());
    icon.tint(OX::Skin::color(QLatin1String(key)));
    return QIcon(icon);
}

QWidget* darkBackground(QWidget* widget, const char* key)
{
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, OX::Skin::color(QLatin1String(key)));
    widget->setPalette(palette);
    return widget;
}

TEST(Gallery, SmallWidgetsForAPerson)
{
    QWidget page;
    darkBackground(&page, "pageBackgroundColor");
    auto* grid = new QGridLayout(&page);

    // The toolbar's buttons on its black strip: at rest, and blinking (shown in its second phase).
    auto* strip = darkBackground(new QWidget, "sidebarBackgroundColor");
    auto* stripRow = new QHBoxLayout(strip);
    auto* rest = new OX::ToolButton;
    auto* blinking = new OX::ToolButton;
    for (OX::ToolButton* b : { rest, blinking }) {
        b->setIconSize(QSize(48, 48));
        stripRow->addWidget(b);
    }
    rest->setIcon(skinIcon("passiveWidgetColor"));
    const QIcon active = skinIcon("activeWidgetColor");
    blinking->startBlinking(skinIcon("passiveWidgetColor"), active, 5);
    ASSERT_TRUE(testutil::waitUntil([&] { return blinking->icon().cacheKey() == active.cacheKey(); }));
    blinking->stopBlinking();
    blinking->QToolButton::setIcon(active);
    grid->addWidget(strip, 0, 0, 1, 2);

    auto* iconButton = new OX::IconButton;
    iconButton->setIconSize(QSize(24, 24));
    iconButton->setIcon(QIcon(starShape()));
    grid->addWidget(iconButton, 0, 2);

    // Key caps: up with a letter, capturing, pressed.
    auto* keys = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        auto* key = new OX::KeyboardButton;
        key->setFixedSize(64, 64);
        key->setKeyCode(KeyCode('A'));
        key->setChecked(i == 1);
        key->setDown(i == 2);
        keys->addWidget(key);
    }
    grid->addLayout(keys, 1, 0, 1, 3);

    // Bars at 0, 33, 66 and 100, in three segments and whole.
    int row = 2;
    for (const int value : { 0, 33, 66, 100 }) {
        auto* segmented = new OX::ProgressView;
        segmented->setSegmentCount(3);
        segmented->setValue(value);
        segmented->setMinimumSize(260, 33);
        auto* whole = new OX::ProgressView;
        whole->setValue(value);
        grid->addWidget(segmented, row, 0, 1, 2);
        grid->addWidget(whole, row++, 2);
    }

    auto* wheel = new OX::ProgressWheel;
    wheel->setFixedSize(48, 48);
    wheel->setDisplayedWhenStopped(true);
    auto* timer = new OX::TimerWidget;
    timer->setFixedSize(80, 80);
    timer->start(10000, false);
    timer->setProgress(40);
    auto* markers = new QVBoxLayout;
    markers->setSpacing(0);
    for (int n = 1; n <= 3; ++n) {
        auto* marker = new OX::ProgressMarker(nullptr, n);
        marker->setFixedSize(25, 36);
        marker->setFirst(n == 1);
        marker->setLast(n == 3);
        marker->setEnabled(n < 3);
        markers->addWidget(marker);
    }
    grid->addWidget(wheel, row, 0);
    grid->addWidget(timer, row, 1);
    grid->addLayout(markers, row++, 2);

    auto* boxes = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        auto* box = new QCheckBox(QStringLiteral("Option"));
        box->setChecked(i % 2);
        box->setEnabled(i < 2);
        boxes->addWidget(box);
    }
    auto* combo = new QComboBox;
    combo->addItems({ QStringLiteral("Normal"), QStringLiteral("Tremor") });
    boxes->addWidget(combo);
    grid->addLayout(boxes, row++, 0, 1, 3);

    page.resize(page.sizeHint());
    page.show();
    testutil::saveScreenshot(&page, QStringLiteral("toolkit-gallery"));
    EXPECT_EQ(testutil::pixelAt(&page, { 2, 2 }), OX::Skin::color(QStringLiteral("pageBackgroundColor")));
}

TEST(Gallery, TheVeilOverAWindow)
{
    for (const bool finite : { false, true }) {
        QWidget window;
        darkBackground(&window, "pageBackgroundColor");
        window.resize(480, 360);
        auto* label = new QLabel(QStringLiteral("The page under the veil"), &window);
        label->move(20, 20);
        OX::ProgressWidget veil(&window);
        Progress::Context context;
        context.title = finite ? QStringLiteral("Writing firmware") : QStringLiteral("Searching");
        context.flags = finite ? Progress::Finite : Progress::Infinite;
        context.value = 0.426;
        veil.start(&context);
        for (int i = 0; i < 6; ++i)
            veil.onFireTimer();
        window.show();
        testutil::saveScreenshot(&window,
            finite ? QStringLiteral("toolkit-veil-finite") : QStringLiteral("toolkit-veil-infinite"));
        veil.stop();
    }
}

} // namespace
