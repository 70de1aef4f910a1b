// The main menu over the emulated dongle: which tiles a missing dongle, an active, missing or
// failed headset leave usable; the grid; clicks on the disc; submenus and "Back".
#include "app/DirectorEmulation.h"
#include "common/FakePageContainer.h"
#include "common/gui_util.h"
#include "ui/toolkit/Menu.h"

#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace directortest;
using OX::MenuItem;
using testutil::waitUntil;

namespace
{

struct MenuOverEmulator : EmulatedDongle {
    testutil::FakePageContainer c;
    OX::Menu* menu = new OX::Menu(&c, &c.controller);
    OrvixDirector* d = nullptr;

    bool bringUp(bool withHeadset)
    {
        if (withHeadset)
            emulator.addHeadset();
        if (!start())
            return false;
        d = h.create(true, 5);
        d->start();
        c.director = d;
        if (!waitUntil([&] { return d->dongle() != nullptr; }, 5000))
            return false;
        return !withHeadset || waitUntil([&] { return d->headset() && d->headset()->isRunning(); }, 5000);
    }
    // The identifiers of the usable tiles, in the tree's order.
    QList<int> usable()
    {
        menu->pageWillAppear(QString());
        QList<int> ids;
        for (MenuItem* top : menu->rootItem()->items()) {
            if (top->isEnabled())
                ids << top->identifier();
            for (MenuItem* leaf : top->items())
                if (leaf->isEnabled())
                    ids << leaf->identifier();
        }
        return ids;
    }
};

TEST(Menu, TilesFollowTheDongleAndTheHeadset)
{
    MenuOverEmulator t;
    // Before the first evaluation every entry is enabled; without a director no version title.
    EXPECT_TRUE(t.menu->item(MenuItem::FirmwareUpdateItem)->isEnabled());
    EXPECT_EQ(t.usable(), QList<int>({ 5, 4, 3 })); // no dongle: System Status and every leaf off
    EXPECT_TRUE(t.c.header.title.isEmpty());
    ASSERT_TRUE(t.bringUp(false));
    // Only the open submenu is evaluated: open each one the way a person does.
    EXPECT_EQ(t.usable(), QList<int>({ 5, 10, 11, 4, 6, 2, 3 })); // dongle, no headset
    EXPECT_EQ(t.c.header.title, "OrvixTools v2.6.2-615 R");
}

TEST(Menu, AnActiveOrFailedHeadsetClosesTheirPages)
{
    MenuOverEmulator t;
    ASSERT_TRUE(t.bringUp(true));
    EXPECT_EQ(t.usable(), QList<int>({ 5, 10, 11, 12, 4, 6, 9, 7, 2, 3 }));
    t.emulator.setHeadsetControl(4, 1, 1);
    ASSERT_TRUE(waitUntil([&] { return t.d->headset()->isActive(); }));
    EXPECT_EQ(t.usable(), QList<int>({ 5, 12, 4, 6, 9, 2, 3 })); // no calibration, pairing or security
    // The menu on screen follows the headset's state as the window hands it over.
    QObject::connect(t.d, &OrvixDirector::headsetUpdatedSignal, t.menu,
        [&t](Headset* h, HeadsetChangeMask mask) { t.menu->updateWithHeadset(h, mask); });
    t.emulator.setHeadsetControl(4, 1, 0);
    ASSERT_TRUE(waitUntil([&] { return t.menu->item(MenuItem::CalibrationItem)->isEnabled(); }));
    t.emulator.setHeadsetControl(4, 1, 1);
    ASSERT_TRUE(waitUntil([&] { return !t.menu->item(MenuItem::CalibrationItem)->isEnabled(); }));
    t.emulator.setHeadsetControl(4, 1, 0);
    ASSERT_TRUE(waitUntil([&] { return !t.d->headset()->isActive(); }));
    t.d->headset()->setErrorAcknowledged(true); // failed: no headset for Link/Devices, one for Pairing
    EXPECT_EQ(t.usable(), QList<int>({ 5, 10, 11, 4, 6, 2, 3 }));
    EXPECT_FALSE(t.menu->item(MenuItem::FirmwareUpdateItem)->isEnabled());
}

TEST(Menu, BackToTheMainMenuShowsItsTilesAsTheDongleIsNow)
{
    MenuOverEmulator t;
    ASSERT_TRUE(t.bringUp(false));
    t.usable(); // the main menu on screen, System Status usable
    QObject::connect(t.d, &OrvixDirector::dongleUpdatedSignal, t.menu,
        [&t](Dongle* dongle, DongleChangeMask mask) { t.menu->updateWithDongle(dongle, mask); });
    emit t.menu->item(MenuItem::SettingsItem)->actionSignal(t.menu->item(MenuItem::SettingsItem));
    t.emulator.unplug(); // off its port and the USB bus, while the submenu is open
    t.h.bus->setBus({});
    ASSERT_TRUE(waitUntil([&] { return !t.d->dongle(); }, 5000));
    ASSERT_FALSE(t.menu->item(MenuItem::MouseProfilesItem)->isEnabled());
    t.c.clickLeft(); // "Back"
    EXPECT_FALSE(t.menu->item(MenuItem::SystemStatusItem)->isEnabled());
}

TEST(Menu, PressAnywhereThenReleaseOnTheDiscClicks)
{
    testutil::FakePageContainer c;
    OX::Menu menu(&c);
    MenuItem* status = menu.item(MenuItem::SystemStatusItem);
    EXPECT_EQ(status->pos(), QPointF(0, 256)); // four tiles of 256 in a 2 x 2 grid
    EXPECT_EQ(status->getFrame(), QRectF(12, 12, 232, 232));
    QSignalSpy actions(&menu, &OX::Menu::action);
    auto click = [&](QPointF press, QPointF release) {
        QGraphicsSceneMouseEvent p(QEvent::GraphicsSceneMousePress), r(QEvent::GraphicsSceneMouseRelease);
        p.setPos(press), r.setPos(release);
        p.setButton(Qt::LeftButton), r.setButton(Qt::LeftButton);
        menu.scene()->sendEvent(status, &p);
        menu.scene()->sendEvent(status, &r);
    };
    click({ 5, 5 }, { 128, 128 }); // press on the corner, release on the disc
    EXPECT_EQ(actions.count(), 1);
    EXPECT_EQ(actions.at(0).at(0).value<MenuItem::Identifier>(), MenuItem::SystemStatusItem);
    click({ 128, 128 }, { 250, 250 });
    EXPECT_EQ(actions.count(), 1);
    // Held down as the dongle goes, the tile gets no release: back with the dongle it shows
    // neither pressed nor hovered.
    const QColor rest = status->discColor();
    QGraphicsSceneMouseEvent press(QEvent::GraphicsSceneMousePress);
    press.setPos({ 128, 128 });
    press.setButton(Qt::LeftButton);
    menu.scene()->sendEvent(status, &press);
    ASSERT_TRUE(status->isPressed());
    status->updateWithDongle(nullptr, DongleChangeMask::lost);
    status->setEnabled(true); // as an evaluation with the dongle back does
    EXPECT_FALSE(status->isPressed() || status->isHovered());
    EXPECT_EQ(status->discColor(), rest);
}

TEST(Menu, SubmenuAndBack)
{
    testutil::FakePageContainer c;
    OX::Menu* menu = new OX::Menu(&c, &c.controller);
    emit menu->item(MenuItem::NetworkItem)->actionSignal(menu->item(MenuItem::NetworkItem));
    EXPECT_EQ(menu->scene()->items().size(), 3);
    EXPECT_EQ(menu->item(MenuItem::DevicesItem)->pos(), QPointF(128, 256)); // the third alone, centred
    EXPECT_EQ(c.header.subtitle, "Network");
    EXPECT_EQ(menu->helpKey, "navigation_network_anchor");
    EXPECT_TRUE(
        c.footer.left.action == OX::PageAction::back && c.footer.right.action == OX::PageAction::none);
    c.clickLeft();
    EXPECT_EQ(menu->currentItem(), menu->rootItem());
    EXPECT_EQ(c.header.subtitle, "Main");
    EXPECT_EQ(c.footer.right.text, "Quit");
    EXPECT_TRUE(menu->helpKey.isEmpty());
    EXPECT_FALSE(menu->perform(OX::PageAction::back));
    // The menu goes with its container's controller; the scene's tiles are deleted once.
}

TEST(MenuItemTitle, LettersStandEvenlyAlongTheMiddleOfTheArc)
{
    QFont font;
    font.setPixelSize(17); // a 256-pixel tile
    const QFontMetricsF metrics(font);
    for (const QString text : { QStringLiteral("Mise à jour du micrologiciel"),
             QStringLiteral("Profils de souris"), QStringLiteral("Egérprofilok"), QStringLiteral("Link") }) {
        const QVector<double> centres = MenuItem::titleLetterCentres(text, metrics);
        ASSERT_EQ(centres.size(), text.size());
        const double length = 1.1 * metrics.horizontalAdvance(text);
        // The text fills the arc's middle: a twentieth of the arc is left free at either end.
        EXPECT_NEAR(
            centres.first() * length - metrics.horizontalAdvance(text.at(0)) / 2, 0.05 * length / 1.1, 1.0);
        EXPECT_NEAR((1 - centres.last()) * length - metrics.horizontalAdvance(text.back()) / 2,
            0.05 * length / 1.1, 1.0);
        for (int i = 1; i < text.size(); ++i) {
            // Neighbours stand half of each one's width apart (kerning aside), never piled up.
            const double gap = (centres.at(i) - centres.at(i - 1)) * length;
            const double widths
                = (metrics.horizontalAdvance(text.at(i - 1)) + metrics.horizontalAdvance(text.at(i))) / 2;
            EXPECT_NEAR(gap, widths, 1.5) << text.toStdString() << " letter " << i;
        }
    }
}

// An entry keeps what it drew between paints; whatever it is drawn from changing shows at the
// next paint just as a fresh entry in that state draws it.
TEST(MenuItemPaint, KeptDrawingFollowsTitleSizeAndState)
{
    const auto paint = [](MenuItem& item) {
        QImage image(300, 300, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        item.paint(&painter, nullptr, nullptr);
        return image;
    };
    QPixmap shape(64, 64);
    shape.fill(Qt::black);
    const auto entry = [&](const QString& title, double side, bool enabled) {
        auto* item = new MenuItem(MenuItem::NoItem, title, shape);
        item->setColor(QBrush(Qt::red), QBrush(Qt::blue), QBrush(Qt::green));
        item->setSize(side, side);
        item->setEnabled(enabled);
        return std::unique_ptr<MenuItem>(item);
    };
    auto kept = entry(QStringLiteral("Mouse"), 200, true);
    paint(*kept);
    kept->setTitle(QStringLiteral("Profiles"));
    EXPECT_EQ(paint(*kept), paint(*entry(QStringLiteral("Profiles"), 200, true)));
    kept->setSize(260, 260);
    EXPECT_EQ(paint(*kept), paint(*entry(QStringLiteral("Profiles"), 260, true)));
    kept->setEnabled(false);
    EXPECT_EQ(paint(*kept), paint(*entry(QStringLiteral("Profiles"), 260, false)));
}

} // namespace
