// orvixtools-dev: OrvixTools against the device emulator. The emulated dongle sits on a
// pseudo-terminal that stands in for the dongle's USB serial port, a headset streams its
// status through it, and the USB bus reports the dongle while it is plugged in. Everything else
// is the application as shipped: single instance, log file, settings store, windows, tray.
//
// Lines typed on standard input drive the emulated devices:
//   unplug | plug | headset off | headset on | active | passive | link | pc | battery N |
//   cmap error | cmap ok | quit
// and "probe" logs where the shown page's controls stand, for checks that look at the screen;
// "widgets" logs every named widget on screen with its place, so that a script can click it;
// "page NAME" opens a page as its menu tile does, while the menu is on screen.
//
// With --port PATH the application talks to that serial port or pseudo-terminal instead (the
// standalone emulator, or any other peer); the dongle counts as plugged in while PATH exists.
#include "DevUsbBackend.h"

#include "app/LogHandler.h"
#include "app/OrvixDirector.h"
#include "app/Startup.h"
#include "tools/emulator/Emulator.h"
#include "ui/shell/MainWindow.h"
#include "ui/shell/ShellDirectorUi.h"
#include "ui/toolkit/HeadAngleView.h"
#include "ui/toolkit/Menu.h"
#include "ui/toolkit/OpenGLView.h"
#include "ui/toolkit/Page.h"
#include "ui/toolkit/PageController.h"
#include "ui/toolkit/SharedGlContext.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTabBar>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QListWidget>
#include <QSlider>
#include <QSocketNotifier>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QtDebug>

#include <cstdio>
#include <memory>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

#ifndef ORVIXTOOLS_VERSION
#define ORVIXTOOLS_VERSION "0.0.0"
#endif

namespace
{

// The emulator's options, after the application's own.
void addOptions(QCommandLineParser& parser)
{
    parser.addOption(
        QCommandLineOption(QStringLiteral("no-headset"), QStringLiteral("Start without the headset.")));
    parser.addOption(QCommandLineOption(QStringLiteral("links"), QStringLiteral("LINK modules on the radio."),
        QStringLiteral("count"), QStringLiteral("1")));
    parser.addOption(QCommandLineOption(QStringLiteral("time-scale"),
        QStringLiteral("Speed of the emulated devices' own periods (1 = real time)."),
        QStringLiteral("factor"), QStringLiteral("1")));
    parser.addOption(QCommandLineOption(QStringLiteral("settings"),
        QStringLiteral("Settings file to use instead of the user's settings store."),
        QStringLiteral("file")));
    parser.addOption(
        QCommandLineOption(QStringLiteral("trace"), QStringLiteral("Print the emulator's trace.")));
    parser.addOption(QCommandLineOption(QStringLiteral("calibration-order"),
        QStringLiteral("Order in which calibration raises the sensors (e.g. gyro,magneto,accelero)."),
        QStringLiteral("sensors")));
    parser.addOption(QCommandLineOption(QStringLiteral("port"),
        QStringLiteral("Use this serial port or pseudo-terminal as the dongle's "
                       "instead of the built-in emulator."),
        QStringLiteral("path")));
    parser.addOption(QCommandLineOption(QStringLiteral("motion"),
        QStringLiteral("The emulated head's motion: gestures (a slow nod, a turn, a tilt), sines or still."),
        QStringLiteral("kind"), QStringLiteral("gestures")));
}

// The main window, when it is made.
MainWindow* mainWindow()
{
    MainWindow* window = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* main = qobject_cast<MainWindow*>(top))
            window = main;
    return window;
}

// "x,y,w,h" of a rectangle.
QString rectText(const QRect& r)
{
    return QStringLiteral("%1,%2,%3,%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// One line on the page shown in the main window: its area on the screen, its lowest control
// (the one a person would miss first on a small screen) and the controls drawn only in part:
// "Probe: page=Name area=x,y,w,h lowest=object:x,y,w,h clipped=object,..." ("-" for none).
void probeShownPage()
{
    MainWindow* window = mainWindow();
    OX::PageController* controller = window ? window->controller() : nullptr;
    OX::Page* page = controller ? controller->currentPage() : nullptr;
    if (!page) {
        qInfo("Probe: no page");
        return;
    }
    const auto global = [](QWidget* w) { return QRect(w->mapToGlobal(QPoint(0, 0)), w->size()); };
    QWidget* lowest = nullptr;
    QStringList clipped;
    for (QWidget* w : page->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QAbstractSlider*>(w)
            || qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w)
            || qobject_cast<QAbstractSpinBox*>(w);
        if (!control || !w->isVisibleTo(page) || w->size().isEmpty())
            continue;
        // What a scroll area shows in part is scrolled to, not cut off.
        bool scrolled = false;
        for (QWidget* up = w->parentWidget(); up && up != page && !scrolled; up = up->parentWidget())
            scrolled = qobject_cast<QAbstractScrollArea*>(up) != nullptr;
        if (scrolled)
            continue;
        if (!lowest || global(w).bottom() > global(lowest).bottom())
            lowest = w;
        if (w->visibleRegion().boundingRect() != w->rect())
            clipped << (w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                                  : w->objectName());
    }
    qInfo().noquote() << QStringLiteral("Probe: page=%1 area=%2 lowest=%3 clipped=%4")
                             .arg(controller->currentPageName(), rectText(global(controller)),
                                 lowest ? lowest->objectName() + QLatin1Char(':') + rectText(global(lowest))
                                        : QStringLiteral("-"),
                                 clipped.isEmpty() ? QStringLiteral("-") : clipped.join(QLatin1Char(',')));
}

// "x,y wxh" of a rectangle of w in screen pixels.
QString screenRect(QWidget* w, const QRect& r)
{
    const QPoint at = w->mapToGlobal(r.topLeft());
    return QStringLiteral("%1,%2 %3x%4").arg(at.x()).arg(at.y()).arg(r.width()).arg(r.height());
}

// "Handle <path> x,y wxh" for what a person drags inside a widget: a slider's handle, each
// editable angle of a head-angle view (its path ends in the angle's name).
void logHandles(QWidget* w, const QString& path)
{
    if (auto* slider = qobject_cast<QSlider*>(w)) {
        QStyleOptionSlider option;
        option.initFrom(slider);
        option.subControls = QStyle::SC_None;
        option.activeSubControls = QStyle::SC_None;
        option.orientation = slider->orientation();
        option.maximum = slider->maximum();
        option.minimum = slider->minimum();
        option.tickPosition = slider->tickPosition();
        option.tickInterval = slider->tickInterval();
        option.upsideDown = slider->orientation() == Qt::Horizontal
            ? slider->invertedAppearance() != (option.direction == Qt::RightToLeft)
            : !slider->invertedAppearance();
        option.direction = Qt::LeftToRight;
        option.sliderPosition = slider->sliderPosition();
        option.sliderValue = slider->value();
        option.singleStep = slider->singleStep();
        option.pageStep = slider->pageStep();
        if (slider->orientation() == Qt::Horizontal)
            option.state |= QStyle::State_Horizontal;
        const QRect handle
            = slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
        qInfo().noquote() << QStringLiteral("Handle %1 %2").arg(path, screenRect(slider, handle));
    } else if (auto* view = qobject_cast<OX::HeadAngleView*>(w)) {
        static const char* const prefixes[] = { "move_", "safety_limit_", "safety_zone_", "DZ_I_", "DZ_O_" };
        static const char* const directions[] = { "forward", "backward", "right", "left" };
        for (const char* prefix : prefixes)
            for (const char* direction : directions) {
                const QString name = QLatin1String(prefix) + QLatin1String(direction);
                const OX::HeadAngleView::Angle angle = view->angle(name);
                if (angle.editable && !angle.handleRect.isEmpty())
                    qInfo().noquote() << QStringLiteral("Handle %1/%2 %3")
                                             .arg(path, name, screenRect(view, angle.handleRect.toRect()));
            }
    }
}

// Opens the page of a menu entry the way its tile does, while the menu is on screen.
void showPage(const QString& name)
{
    static const QMap<QString, OX::MenuItem::Identifier> entries {
        { QStringLiteral("status"), OX::MenuItem::SystemStatusItem },
        { QStringLiteral("appearance"), OX::MenuItem::AppearanceItem },
        { QStringLiteral("profiles"), OX::MenuItem::MouseProfilesItem },
        { QStringLiteral("calibration"), OX::MenuItem::CalibrationItem },
        { QStringLiteral("firmware"), OX::MenuItem::FirmwareUpdateItem },
        { QStringLiteral("link"), OX::MenuItem::LinkItem },
        { QStringLiteral("pairing"), OX::MenuItem::PairingItem },
        { QStringLiteral("security"), OX::MenuItem::SecurityItem },
        { QStringLiteral("devices"), OX::MenuItem::DevicesItem },
    };
    MainWindow* window = mainWindow();
    OX::PageController* controller = window ? window->controller() : nullptr;
    auto* menu = controller ? qobject_cast<OX::Menu*>(controller->find(QStringLiteral("Menu"))) : nullptr;
    if (!entries.contains(name)) {
        std::fprintf(
            stderr, "page: one of %s\n", qPrintable(QStringList(entries.keys()).join(QLatin1Char(' '))));
        return;
    }
    // A box open over the window takes the click a tile would have had.
    if (!menu || !window->isVisible() || controller->currentPage() != menu
        || QApplication::activeModalWidget()) {
        qInfo().noquote() << "Emulator: page" << name
                          << "not opened: the menu is not on screen or a box covers it";
        return;
    }
    qInfo().noquote() << "Emulator: page" << name;
    emit menu->action(entries.value(name), name);
}

// One line per named widget on screen: "Widget <path> <class> <x>,<y> <w>x<h> enabled|disabled
// [<value>]" in screen pixels. The path joins the names of the widget's named ancestors and its
// own with "/"; the value is a button's text, a slider's position or a list's
// row count and rows ("2:first|second"), a tab bar's tab count, current tab and tabs'
// rectangles ("3:0:x,y,w,h,enabled|..."). "Handle" lines (logHandles) follow a widget's own,
// and "Focus <path>" names the widget that has the keyboard focus.
void logWidgets()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible())
            continue;
        QList<QWidget*> widgets = window->findChildren<QWidget*>();
        widgets.prepend(window);
        for (QWidget* w : widgets) {
            if (w->objectName().isEmpty() || !w->isVisible())
                continue;
            QStringList path;
            for (QWidget* p = w; p; p = p->parentWidget())
                if (!p->objectName().isEmpty())
                    path.prepend(p->objectName());
            QString value;
            if (auto* button = qobject_cast<QAbstractButton*>(w))
                value = button->text();
            else if (auto* slider = qobject_cast<QAbstractSlider*>(w))
                value = QString::number(slider->value());
            else if (auto* bar = qobject_cast<QTabBar*>(w)) {
                // The current tab and each tab's rectangle in screen pixels and whether it takes a click.
                value = QStringLiteral("%1:%2:").arg(bar->count()).arg(bar->currentIndex());
                for (int i = 0; i < bar->count(); ++i) {
                    const QRect tab(bar->mapToGlobal(bar->tabRect(i).topLeft()), bar->tabRect(i).size());
                    value += (i ? QStringLiteral("|") : QString()) + rectText(tab)
                        + QLatin1String(bar->isTabEnabled(i) ? ",enabled" : ",disabled");
                }
            } else if (auto* list = qobject_cast<QListWidget*>(w)) {
                value = QString::number(list->count()) + QLatin1Char(':');
                for (int i = 0; i < list->count(); ++i)
                    value += (i ? QStringLiteral("|") : QString()) + list->item(i)->text();
            }
            const QPoint at = w->mapToGlobal(QPoint(0, 0));
            qInfo().noquote() << QStringLiteral("Widget %1 %2 %3,%4 %5x%6 %7 [%8]")
                                     .arg(path.join(QLatin1Char('/')),
                                         QLatin1String(w->metaObject()->className()))
                                     .arg(at.x())
                                     .arg(at.y())
                                     .arg(w->width())
                                     .arg(w->height())
                                     .arg(QLatin1String(w->isEnabled() ? "enabled" : "disabled"), value);
            logHandles(w, path.join(QLatin1Char('/')));
            if (w == QApplication::focusWidget())
                qInfo().noquote() << "Focus" << path.join(QLatin1Char('/'));
        }
    }
    qInfo().noquote() << "Widgets end";
}

// The emulated devices, driven by lines on standard input.
void runCommand(emu::Emulator& emulator, const QString& line)
{
    const QString command = line.trimmed().toLower();
    if (command.isEmpty())
        return;
    if (command == QLatin1String("probe")) {
        probeShownPage();
        return;
    }
    if (command == QLatin1String("unplug")) {
        emulator.unplug();
    } else if (command == QLatin1String("plug")) {
        emulator.plugIn();
    } else if (command == QLatin1String("headset off")) {
        emulator.headsetPower(false);
    } else if (command == QLatin1String("headset on")) {
        emulator.headsetPower(true);
    } else if (command == QLatin1String("active") || command == QLatin1String("passive")) {
        const emu::HeadsetModel h = emulator.headset();
        emulator.setHeadsetControl(h.moduleAddress, h.modulePort, command == QLatin1String("active") ? 1 : 0);
    } else if (command == QLatin1String("link")) {
        emulator.setHeadsetControl(3, 1, emulator.headset().control);
    } else if (command == QLatin1String("pc")) {
        emulator.setHeadsetControl(emulator.dongle().address, 1, emulator.headset().control);
    } else if (command.startsWith(QLatin1String("battery "))) {
        bool ok = false;
        const int level = command.mid(8).trimmed().toInt(&ok);
        if (!ok || level < 0 || level > 100) {
            std::fprintf(stderr, "battery: a level from 0 to 100\n");
            return;
        }
        emulator.updateHeadset([level](emu::HeadsetModel& h) { h.battery = uint8_t(level); });
    } else if (command == QLatin1String("cmap error") || command == QLatin1String("cmap ok")) {
        // The next channel-map writes are refused (ERR code 1) or stored again.
        const uint8_t code = command == QLatin1String("cmap error") ? 1 : 0;
        emulator.updateHeadset([code](emu::HeadsetModel& h) { h.channelMapWriteError = code; });
    } else if (command == QLatin1String("new headset")) {
        // A headset out of the box, switched on in service mode: another network, no devices.
        emulator.updateHeadset([](emu::HeadsetModel& h) {
            h.pan = 0x2345;
            h.serial = "HS22000518";
            h.channelMap.clear();
            h.moduleAddress = 0;
            h.serviceMode = true;
        });
    } else if (command == QLatin1String("new link")) {
        // A LINK out of the box, switched on in service mode on a network of its own.
        emu::LinkModel link;
        link.pan = 0x3456;
        link.address = 9;
        link.serial = "LK23000107";
        link.serviceMode = true;
        emulator.addLink(link);
    } else if (command == QLatin1String("widgets")) {
        logWidgets();
        return;
    } else if (command.startsWith(QLatin1String("page "))) {
        showPage(command.mid(5).trimmed());
        return;
    } else if (command == QLatin1String("quit")) {
        QCoreApplication::quit();
        return;
    } else {
        std::fprintf(stderr,
            "commands: unplug, plug, headset off, headset on, active, passive, link, pc, battery N, "
            "cmap error, cmap ok, new headset, new link, widgets, page NAME, quit\n");
        return;
    }
    qInfo().noquote() << "Emulator:" << command;
}

void watchCommands(QCoreApplication& app, emu::Emulator& emulator)
{
#ifdef Q_OS_UNIX
    if (!::isatty(STDIN_FILENO) && ::fcntl(STDIN_FILENO, F_GETFL) == -1)
        return;
    auto* notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier, &emulator] {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer - 1);
        if (n <= 0) {
            notifier->setEnabled(false); // end of input: the run goes on
            return;
        }
        buffer[n] = 0;
        const QStringList lines = QString::fromLocal8Bit(buffer).split(QLatin1Char('\n'));
        for (const QString& line : lines)
            runCommand(emulator, line);
    });
#else
    Q_UNUSED(app);
    Q_UNUSED(emulator);
#endif
}

// Starts the emulated devices: the dongle on a pseudo-terminal, a headset streaming, LINKs.
std::unique_ptr<emu::Emulator> startEmulator(const QCommandLineParser& parser)
{
    // The run may last for hours: the emulator keeps only a short log.
    emu::Options options = emu::Options::longRun(parser.isSet(QStringLiteral("trace")));
    options.timeScale = qBound(0.01, parser.value(QStringLiteral("time-scale")).toDouble(), 100.0);
    auto emulator = std::make_unique<emu::Emulator>(options);
    QString error;
    if (!emulator->start(&error)) {
        qCritical().noquote() << "The device emulator did not start:" << error;
        return nullptr;
    }
    if (!parser.isSet(QStringLiteral("no-headset"))) {
        emu::HeadsetModel headset;
        const QString order = parser.value(QStringLiteral("calibration-order"));
        if (!order.isEmpty() && !headset.setCalibrationOrder(order))
            qWarning().noquote() << "Unknown calibration order" << order << "- the usual order is kept";
        const QString motion = parser.value(QStringLiteral("motion"));
        headset.motion = motion != QLatin1String("still");
        headset.gestures = motion == QLatin1String("gestures");
        headset.streamsInServiceMode = true;
        emulator->addHeadset(headset);
    }
    const int links = qBound(0, parser.value(QStringLiteral("links")).toInt(), 4);
    for (int i = 0; i < links; ++i) {
        emu::LinkModel link;
        link.address = quint8(3 + i);
        emulator->addLink(link);
    }
    qInfo().noquote() << "Emulated dongle at" << emulator->portPath();
    return emulator;
}

// The director's world: one port that carries the dongle's ids, a USB bus that lists the dongle
// while plugged() holds, the optional settings file.
DirectorEnvironment devEnvironment(
    std::function<QString()> portPath, std::function<bool()> plugged, const QCommandLineParser& parser)
{
    DirectorEnvironment env;
    env.listPorts = [portPath, plugged]() {
        QList<SerialPortEntry> ports;
        if (!plugged())
            return ports;
        SerialPortEntry entry;
        entry.portName = QStringLiteral("ttyEMU0");
        entry.description = QStringLiteral("Orvix dongle (development)");
        entry.systemLocation = portPath();
        entry.vendorId = OrvixDirector::DongleVendorId;
        entry.productId = OrvixDirector::DongleProductId;
        entry.hasVendorId = true;
        entry.hasProductId = true;
        ports << entry;
        return ports;
    };
    env.usbBackend = std::make_unique<DevUsbBackend>(plugged);
    env.settingsFile = parser.value(QStringLiteral("settings"));
    return env;
}

} // namespace

int main(int argc, char* argv[])
{
    OX::SharedGlContext::drawSoftwareGlOnCallingThread();
    OX::SharedGlContext::defer();
    // Scripts that drive this program wait on its log lines: each is written out at once.
    LogHandler::setFlushWait(0);
    // Lives from the parsed command line until the director is gone.
    std::unique_ptr<emu::Emulator> emulator;

    Startup::Hooks hooks;
    hooks.description = QStringLiteral("Orvix tools command line (device emulator)");
    hooks.version = QStringLiteral(ORVIXTOOLS_VERSION);
    hooks.addOptions = addOptions;
    hooks.applicationCreated = &ShellDirectorUi::startThreads;
    hooks.createDirector = [&emulator](const QCommandLineParser& parser) -> std::unique_ptr<OrvixDirector> {
        const QString port = parser.value(QStringLiteral("port"));
        DirectorEnvironment env;
        if (!port.isEmpty()) {
            // Another peer holds the dongle's end: the dongle is there while its port is.
            qInfo().noquote() << "Dongle port" << port;
            env = devEnvironment(
                [port]() { return port; }, [port]() { return QFileInfo::exists(port); }, parser);
        } else {
            emulator = startEmulator(parser);
            if (!emulator)
                return nullptr;
            emu::Emulator* devices = emulator.get();
            env = devEnvironment([devices]() { return devices->portPath(); },
                [devices]() { return devices->isPlugged(); }, parser);
        }
        ShellDirectorUi::loadStyle();
        return std::make_unique<OrvixDirector>(parser, std::make_unique<ShellDirectorUi>(), std::move(env));
    };
    hooks.started = [&emulator](OrvixDirector&) {
        OX::OpenGLView::prepareWhenIdle(); // as the application does once its window is shown
        if (emulator)
            watchCommands(*QCoreApplication::instance(), *emulator);
    };
    hooks.finished = [&emulator]() { emulator.reset(); };
    return Startup::run(argc, argv, hooks);
}
