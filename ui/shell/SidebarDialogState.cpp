// The toolbar's pictures: the status badge, the battery gauge and the button icons, each a
// single-colour shape tinted with skin colours at the moment it is built.
#include "ui/shell/SidebarDialog.h"

#include "app/OrvixDirector.h"
#include "device/Dongle.h"
#include "device/Headset.h"
#include "ui/shell/ScreenGeometry.h"
#include "ui/toolkit/Pixmap.h"
#include "ui/toolkit/Skin.h"

#include <QApplication>
#include <QPixmapCache>

#include <cmath>

namespace
{

QColor skin(const char* key)
{
    return OX::Skin::color(QLatin1String(key));
}

QColor passive()
{
    return skin("passiveWidgetColor");
}

QColor active()
{
    return skin("activeWidgetColor");
}

QString icons(const char* name)
{
    return QStringLiteral(":/sidebar/icons/") + QLatin1String(name);
}

OX::Pixmap blank()
{
    return OX::Pixmap(QSize(SidebarDialog::IconSide, SidebarDialog::IconSide));
}

QIcon shapeIcon(const char* name, const QColor& color)
{
    OX::Pixmap pixmap = blank();
    pixmap.createIcon(icons(name), color);
    return QIcon(pixmap);
}

// The shape at rest, or all of it in the active colour while highlighted.
QIcon highlightedIcon(const char* name, bool highlighted)
{
    OX::Pixmap pixmap = blank();
    pixmap.createIcon(icons(name), passive());
    pixmap.tint(highlighted ? active() : passive());
    return QIcon(pixmap);
}

QIcon overlayedIcon(const char* base, const char* overlay)
{
    OX::Pixmap pixmap = blank();
    pixmap.createOverlayedIcon(icons(base), icons(overlay), passive(), active());
    return QIcon(pixmap);
}

QIcon blinkIcon(const QIcon& icon, const char* mask)
{
    OX::Pixmap pixmap(icon, QSize(SidebarDialog::IconSide, SidebarDialog::IconSide));
    if (mask)
        pixmap.addOverLay(icons(mask), active());
    return QIcon(pixmap);
}

} // namespace

QIcon SidebarDialog::tintedIcon(const QString& path, const char* colorKey)
{
    // Kept at the largest size the toolbar draws it (its width at full scale), not the drawing's
    // own; the toolbar asks for the same few pictures again and again as states change.
    const QColor color = skin(colorKey);
    const QSize available = ScreenGeometry::current().primaryAvailable().size();
    const int side = qMax(1, int(float(FormWidth) * baseFactor(available) * qApp->devicePixelRatio()));
    const QString key = QStringLiteral("sidebar:%1:%2:%3").arg(path, color.name(QColor::HexArgb)).arg(side);
    QPixmap tinted;
    if (!QPixmapCache::find(key, &tinted)) {
        OX::Pixmap shape(path);
        if (shape.width() > side || shape.height() > side)
            shape = OX::Pixmap(shape.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        tinted = shape.getTintedCopy(color);
        QPixmapCache::insert(key, tinted);
    }
    return QIcon(tinted);
}

QIcon SidebarDialog::State::getStatusIcon(StatusBadge badge, BadgeColor color)
{
    static const char* const colorKeys[]
        = { "statusNaturalColor", "statusActiveColor", "statusPassiveColor", "statusErrorColor" };
    const QColor logo = quint32(color) <= ErrorColor ? skin(colorKeys[color]) : QColor();
    const char* picture = nullptr;
    switch (badge) {
    case Start:
        return shapeIcon("badge_logo_i", passive());
    case Initialize:
        picture = "badge_initialize";
        break;
    case SettingsBadge:
        picture = "badge_settings";
        break;
    case Mouse:
        picture = "badge_mouse";
        break;
    case Controller:
        picture = "badge_controller";
        break;
    case Imac:
        picture = "badge_imac";
        break;
    case Error:
    case UnknownDevice:
        picture = "badge_error";
        break;
    default:
        return QIcon(blank()); // actuators and the chair mouse: an empty picture
    }
    OX::Pixmap pixmap = blank();
    pixmap.createBadgedIcon(icons(picture), icons("badge_logo"), passive(), logo, true);
    return QIcon(pixmap);
}

int SidebarDialog::State::batteryIndex(float percent)
{
    const float steps = std::round(percent / 16.666666f); // half away from zero
    return qBound(0, int(steps) - 1, 5);
}

QIcon SidebarDialog::State::getBatteryIcon(float percent)
{
    const QString path = icons("battery_") + QString::number(batteryIndex(percent));
    return tintedIcon(path, "passiveWidgetColor");
}

QIcon SidebarDialog::State::getShiftActionIcon(quint32 modifiers)
{
    const quint32 bits = HeadsetControlMask::shift;
    return highlightedIcon("icon_key_shift", (modifiers & bits) == bits);
}

QIcon SidebarDialog::State::getAltActionIcon(quint32 modifiers)
{
    const quint32 bits = HeadsetControlMask::alt;
    return highlightedIcon("icon_key_alt_mac", (modifiers & bits) == bits);
}

QIcon SidebarDialog::State::getCommandActionIcon(quint32 modifiers)
{
    const quint32 bits = HeadsetControlMask::command;
    return highlightedIcon("icon_key_cmd", (modifiers & bits) == bits);
}

QIcon SidebarDialog::State::getMouseIcon(MouseButton button)
{
    if (button == MouseButton::Left)
        return overlayedIcon("icon_mouse", "mouse_mask_left");
    if (button == MouseButton::Right)
        return overlayedIcon("icon_mouse", "mouse_mask_right");
    return shapeIcon("icon_mouse", passive());
}

QIcon SidebarDialog::State::getScrollIcon(MouseButton button)
{
    if (button == MouseButton::Middle)
        return overlayedIcon("icon_scroll_none", "mouse_mask_scroll");
    return shapeIcon("icon_scroll_none", passive());
}

QIcon SidebarDialog::State::getMouseBlinkIcon(const QIcon& icon, MouseButton button)
{
    const char* mask = button == MouseButton::Left ? "mouse_mask_left"
        : button == MouseButton::Right             ? "mouse_mask_right"
                                                   : nullptr;
    return blinkIcon(icon, mask);
}

QIcon SidebarDialog::State::getScrollBlinkIcon(const QIcon& icon, MouseButton button)
{
    return blinkIcon(icon, button == MouseButton::Middle ? "mouse_mask_scroll" : nullptr);
}

QIcon SidebarDialog::State::getCopyActionIcon(quint8 action)
{
    return highlightedIcon("icon_copy", action == 0);
}

QIcon SidebarDialog::State::getCutActionIcon(quint8 action)
{
    return highlightedIcon("icon_cut", action == 0);
}

QIcon SidebarDialog::State::getPasteActionIcon(quint8 action)
{
    return highlightedIcon("icon_paste", action == 0);
}

SidebarDialog::State::StatusBadge SidebarDialog::State::getBadge(const Headset* headset, const Dongle* dongle)
{
    if (!headset || !dongle)
        return Error;
    if (!headset->isRunning())
        return Initialize;
    const OrvixDevice device = headset->device();
    switch (device.preset) {
    case OrvixDevice::LinkDrive:
    case OrvixDevice::ChairDrive:
    case OrvixDevice::LinkOutdoorDrive:
        return Controller;
    case OrvixDevice::LinkActuator:
    case OrvixDevice::ChairActuator:
        return Actuator;
    case OrvixDevice::ChairMouse:
        return ChairMouse;
    case OrvixDevice::PC1:
    case OrvixDevice::PC2:
        return OrvixDirector::isThisComputer(device, dongle->device()) ? Mouse : Imac;
    default:
        return UnknownDevice;
    }
}

void SidebarDialog::State::setStatusColor(BadgeColor next)
{
    switch (badge) {
    case Initialize:
    case SettingsBadge:
        color = Natural;
        break;
    case Error:
    case UnknownDevice:
        color = ErrorColor;
        break;
    default:
        if (quint32(badge) <= UnknownDevice)
            color = next;
        break;
    }
}
