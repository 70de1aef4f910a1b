#include "ui/shell/NativeWindow.h"

#include <QByteArray>
#include <QEvent>
#include <QGuiApplication>
#include <QObject>
#include <QScreen>
#include <QWidget>
#include <QtDebug>

#include <optional>

#ifdef ORVIX_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#endif

namespace
{

#ifdef ORVIX_HAVE_XCB
// One connection to the display for the process, opened at first use, with the atoms it needs
// interned once (one round trip). Qt's own connection is not reachable through its public
// interface.
struct Display {
    xcb_connection_t* connection = nullptr;
    int screen = 0;
    xcb_atom_t state = XCB_ATOM_NONE;
    xcb_atom_t skip[2] = { XCB_ATOM_NONE, XCB_ATOM_NONE }; // task bar, pager
    xcb_atom_t compositor = XCB_ATOM_NONE; // the selection a compositing manager owns
    Display()
    {
        connection = xcb_connect(nullptr, &screen);
        if (xcb_connection_has_error(connection)) {
            xcb_disconnect(connection);
            connection = nullptr;
            return;
        }
        const QByteArray names[] = { "_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR",
            "_NET_WM_STATE_SKIP_PAGER", "_NET_WM_CM_S" + QByteArray::number(screen) };
        xcb_intern_atom_cookie_t cookies[4];
        for (int i = 0; i < 4; ++i)
            cookies[i] = xcb_intern_atom(connection, 0, quint16(names[i].size()), names[i].constData());
        xcb_atom_t* const atoms[] = { &state, &skip[0], &skip[1], &compositor };
        for (int i = 0; i < 4; ++i) {
            xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookies[i], nullptr);
            *atoms[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
            std::free(reply);
        }
    }
    ~Display()
    {
        if (connection)
            xcb_disconnect(connection);
    }
};

Display* display()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    static Display shared;
    return shared.connection ? &shared : nullptr;
}

void addSkipStates(WId window)
{
    Display* d = display();
    if (!d || !window)
        return;
    if (d->state == XCB_ATOM_NONE || d->skip[0] == XCB_ATOM_NONE || d->skip[1] == XCB_ATOM_NONE)
        return;
    // Before mapping the window carries its own state; Qt adds its states to what it finds.
    xcb_change_property(
        d->connection, XCB_PROP_MODE_APPEND, xcb_window_t(window), d->state, XCB_ATOM_ATOM, 32, 2, d->skip);
    // A round trip: the property is in place before Qt's connection maps the window.
    std::free(xcb_get_input_focus_reply(d->connection, xcb_get_input_focus(d->connection), nullptr));
}
#endif

// Sets the task-bar states each time the window is about to be mapped.
class TaskbarFilter : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            auto* widget = static_cast<QWidget*>(watched);
#ifdef ORVIX_HAVE_XCB
            addSkipStates(widget->winId());
#else
            Q_UNUSED(widget);
#endif
        }
        return false;
    }
};

std::optional<bool>& compositing()
{
    static std::optional<bool> known;
    return known;
}

int& queries()
{
    static int count = 0;
    return count;
}

bool askCompositingManager()
{
    ++queries();
#ifdef ORVIX_HAVE_XCB
    Display* d = display();
    if (!d)
        return false;
    // A compositing manager owns the selection _NET_WM_CM_S<screen>.
    if (d->compositor == XCB_ATOM_NONE)
        return false;
    xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
        d->connection, xcb_get_selection_owner(d->connection, d->compositor), nullptr);
    const bool found = owner && owner->owner != XCB_WINDOW_NONE;
    std::free(owner);
    return found;
#else
    return false;
#endif
}

} // namespace

void NativeWindow::setNotToGrapFocus(void* nativeView)
{
    if (!nativeView) {
        qDebug("Unknown window id, unable to set focus policy");
        return;
    }
    // X11: the window's Qt flags (WindowDoesNotAcceptFocus, WA_ShowWithoutActivating, no focus
    // policy) are all it takes; the id is not touched.
}

void NativeWindow::keepOffTaskbar(QWidget* window)
{
    if (!window)
        return;
    window->installEventFilter(new TaskbarFilter(window));
}

bool NativeWindow::hasCompositingManager()
{
    std::optional<bool>& known = compositing();
    if (!known) {
        auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
        static bool watching = false;
        if (app && !watching) {
            watching = true;
            const auto forget = [] { compositing().reset(); };
            QObject::connect(app, &QGuiApplication::screenAdded, app, forget);
            QObject::connect(app, &QGuiApplication::screenRemoved, app, forget);
            QObject::connect(app, &QGuiApplication::primaryScreenChanged, app, forget);
        }
        known = askCompositingManager();
    }
    return *known;
}

int NativeWindow::compositorQueries()
{
    return queries();
}
