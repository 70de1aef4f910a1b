// Device rows, key and value rows, and the device network picture.
#include "ui/toolkit/DeviceListWidget.h"
#include "ui/toolkit/DeviceWidget.h"
#include "ui/toolkit/IconButton.h"
#include "ui/toolkit/ListRows.h"
#include "ui/toolkit/PropertyWidget.h"
#include "ui/toolkit/Skin.h"

#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QTranslator>
#include <gtest/gtest.h>

#include "common/gui_util.h"

using testutil::pixelAt;

namespace
{

QLabel* child(QWidget* w, const char* name)
{
    return w->findChild<QLabel*>(QString::fromLatin1(name));
}

TEST(DeviceWidget, AddressShowsThePortOnlyWhenNotZero)
{
    OX::DeviceWidget row;
    EXPECT_EQ(row.sizeHint(), QSize(250, 60));
    row.setAddress(DeviceAddress(3, 0));
    EXPECT_EQ(child(&row, "addressLabel")->text(), QStringLiteral("3"));
    row.setAddress(DeviceAddress(3, 1));
    EXPECT_EQ(child(&row, "addressLabel")->text(), QStringLiteral("3/1"));
    row.setSerial(QStringLiteral("HS21000321"));
    EXPECT_FALSE(child(&row, "serialLabel")->isHidden());
    row.setSerial(QString(""));
    EXPECT_TRUE(child(&row, "serialTitle")->isHidden());
    EXPECT_TRUE(child(&row, "serialLabel")->isHidden());
}

// A paired device's row in French and Hungarian, whose titles are wider than the English ones: the
// list gives the row its size hint, and the check mark still stands whole in it.
TEST(ListRows, ThePairedCheckMarkStaysWholeInEveryLanguage)
{
    for (const char* language : { "en", "fr", "hu" }) {
        QTranslator translator;
        ASSERT_TRUE(translator.load(QStringLiteral(":/languages/") + QLatin1String(language)));
        QCoreApplication::installTranslator(&translator);
        QListWidget list;
        list.resize(240, 100);
        QListWidgetItem* item = OX::addDeviceTo(&list, ProductID::Headset, 0x1234, DeviceAddress(2, 1),
            QStringLiteral("HS21000321"), true, false);
        list.show();
        QCoreApplication::processEvents();
        QWidget* row = list.itemWidget(item);
        QLabel* check = child(row, "checkmarkIcon");
        const int whole = check->pixmap()->width() + 2 * check->margin();
        EXPECT_GE(check->width(), whole) << language;
        EXPECT_LE(check->geometry().right(), row->width()) << language;
        EXPECT_EQ(item->sizeHint().height(), 60) << language;
        testutil::saveScreenshot(&list, QStringLiteral("device-row-checked-%1").arg(QLatin1String(language)));
        QCoreApplication::removeTranslator(&translator);
    }
}

TEST(DeviceWidget, ColourAndBadgeWaitForTheIcon)
{
    OX::DeviceWidget row;
    const QImage unknown = child(&row, "iconLabel")->pixmap()->toImage();
    row.setIconColor(Qt::red);
    row.setBadge(QStringLiteral(":/device/icons/dongle"));
    EXPECT_EQ(child(&row, "iconLabel")->pixmap()->toImage(), unknown);
    EXPECT_TRUE(row.styleSheet().contains(QStringLiteral("#ff0000")));

    row.setIcon(QStringLiteral(":/device/icons/pc_mouse_a"));
    const QImage drawn = child(&row, "iconLabel")->pixmap()->toImage();
    EXPECT_EQ(drawn.size(), QSize(40, 40));
    EXPECT_NE(drawn, unknown);
    // The dongle badge in the lower right quarter, in the icon's colour.
    bool redBadge = false;
    for (int y = 20; y < 40; ++y)
        for (int x = 20; x < 40; ++x)
            redBadge = redBadge || (qAlpha(drawn.pixel(x, y)) > 200 && QColor(drawn.pixel(x, y)).red() > 200);
    EXPECT_TRUE(redBadge);
}

TEST(ListRows, ChannelMapEntriesGetTheirPresetAndIcon)
{
    QListWidget list;
    QListWidgetItem* unknown
        = OX::addDeviceTo(&list, OrvixDevice(5, 0x81, 0x5A), 0x1234, QString(), false, false);
    QListWidgetItem* link
        = OX::addDeviceTo(&list, OrvixDevice(3, 0x01, 0x88), 0x1234, QStringLiteral("LK1"), true, true);
    OX::addDeviceTo(&list, ProductID::Dongle, 0x1234, DeviceAddress(4, 1), QString(), false, true);
    ASSERT_EQ(list.count(), 3);
    auto* u = qobject_cast<OX::DeviceWidget*>(list.itemWidget(unknown));
    auto* l = qobject_cast<OX::DeviceWidget*>(list.itemWidget(link));
    ASSERT_TRUE(u && l);
    EXPECT_EQ(u->preset(), OrvixDevice::NoPreset);
    EXPECT_EQ(u->icon(), QStringLiteral(":/device/icons/unknown"));
    EXPECT_EQ(u->addressText(), QStringLiteral("5/1")); // the enabled bit is not the port
    EXPECT_EQ(l->preset(), OrvixDevice::LinkOutdoorDrive);
    EXPECT_EQ(l->icon(), QStringLiteral(":/device/icons/link_drive"));
    EXPECT_TRUE(l->isChecked());
    EXPECT_EQ(list.currentItem(), link);
    EXPECT_TRUE(list.item(2)->isSelected());
    EXPECT_EQ(unknown->sizeHint(), QSize(250, 60));
}

TEST(ListRows, ParameterRowsShowTextAndKeepTheirIconForANullPath)
{
    QListWidget list;
    QListWidgetItem* item = OX::addParameterTo(&list, QStringLiteral("PAN"), 4660, QString());
    auto* row = qobject_cast<OX::PropertyWidget*>(list.itemWidget(item));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->valueText(), QStringLiteral("4660"));
    EXPECT_EQ(row->keyText(), QStringLiteral("PAN"));
    EXPECT_TRUE(row->icon().isNull());
    EXPECT_FALSE(row->iconButton()->icon().isNull()); // the form's remove icon
    EXPECT_EQ(row->iconButton()->property("mode").toString(), QStringLiteral("info"));
    EXPECT_EQ(item->sizeHint(), QSize(275, 32));
}

TEST(DeviceListWidget, DiscsSitOnTheLowerHalfEllipse)
{
    const QSize size(500, 400); // cx 249
    EXPECT_EQ(OX::DeviceListWidget::discCentre(0, 1, size), QPointF(249, 5));
    EXPECT_DOUBLE_EQ(OX::DeviceListWidget::discRadius(2), 100.0);
    const QPointF below = OX::DeviceListWidget::discCentre(1, 2, size);
    EXPECT_NEAR(below.x(), 249, 1e-9);
    EXPECT_NEAR(below.y(), 5 + (400 - 110), 1e-9);
    EXPECT_DOUBLE_EQ(OX::DeviceListWidget::discRadius(9), 50.0);
    const QPointF first = OX::DeviceListWidget::discCentre(1, 9, size);
    const QPointF last = OX::DeviceListWidget::discCentre(8, 9, size);
    EXPECT_NEAR(first.x() + last.x(), 2 * 249, 1e-9); // symmetric about the centre column
    EXPECT_LT(first.x(), last.x());
    EXPECT_GE(OX::DeviceListWidget::discRadius(40), 0.0);
}

TEST(DeviceListWidget, ItemsOutsideTheListAreNullAndTakenItemsOutliveIt)
{
    auto* list = new OX::DeviceListWidget;
    list->appendItem({ QStringLiteral(":/device/icons/headset"), true, Qt::Unchecked });
    list->insertItem(-3, { QStringLiteral(":/device/icons/dongle"), true, Qt::Checked });
    list->insertItem(99, { QStringLiteral(":/device/icons/link_drive"), false, Qt::Checked });
    EXPECT_EQ(list->itemAt(0)->icon(), QStringLiteral(":/device/icons/dongle"));
    EXPECT_EQ(list->itemAt(2)->icon(), QStringLiteral(":/device/icons/link_drive"));
    EXPECT_EQ(list->itemAt(3), nullptr);
    EXPECT_EQ(list->itemAt(-1), nullptr);
    EXPECT_EQ(list->takeItem(5), nullptr);
    list->removeItem(7);
    EXPECT_EQ(list->count(), 3);

    OX::DeviceListWidget::Item* taken = list->takeItem(1);
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(list->count(), 2);
    delete list;
    taken->setChecked(true); // its former list is gone: nothing is touched
    EXPECT_EQ(taken->parent(), nullptr);
    delete taken;
}

TEST(DeviceListWidget, PicturesForAPerson)
{
    const QStringList icons
        = { QStringLiteral(":/device/icons/headset"), QStringLiteral(":/device/icons/pc_mouse_a"),
              QStringLiteral(":/device/icons/link_drive"), QStringLiteral(":/device/icons/pc_mouse_b") };
    for (int n : { 1, 3, 8 }) {
        OX::DeviceListWidget list;
        list.resize(600, 420);
        for (int i = 0; i < n; ++i)
            list.appendItem({ icons.at(i % icons.size()), i != 2, i % 2 ? Qt::Checked : Qt::Unchecked });
        list.setStyleSheet(QStringLiteral("background: #323232;"));
        list.setAttribute(Qt::WA_StyledBackground);
        EXPECT_EQ(pixelAt(&list, { 299, 50 }), OX::Skin::color("menuItemActiveBackgroundColor")) << n;
        testutil::saveScreenshot(&list, QStringLiteral("device-list-%1").arg(n));
    }
}

} // namespace
