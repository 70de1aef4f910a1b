#include "ui/shell/NativeWindow.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QtDebug>

#ifdef ORVIX_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#endif

void NativeWindow::setNotToGrapFocus(void* nativeView)
{
    if (!nativeView) {
        qDebug("Unknown window id, unable to set focus policy");
        return;
    }
    // X11: the window's Qt flags (WindowDoesNotAcceptFocus, WA_ShowWithoutActivating, no focus
    // policy) are all it takes; the id is not touched.
}

bool NativeWindow::hasCompositingManager()
{
#ifdef ORVIX_HAVE_XCB
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return false;
    int screen = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screen);
    bool found = false;
    if (!xcb_connection_has_error(connection)) {
        // A compositing manager owns the selection _NET_WM_CM_S<screen>.
        const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screen);
        xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 1, quint16(name.size()), name.constData()), nullptr);
        if (atom && atom->atom != XCB_ATOM_NONE) {
            xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
                connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
            found = owner && owner->owner != XCB_WINDOW_NONE;
            std::free(owner);
        }
        std::free(atom);
    }
    xcb_disconnect(connection);
    return found;
#else
    return false;
#endif
}
