#pragma once
// Watches the X server for a top-level window being mapped: the moment a person's screen can show
// a window, whichever program made it. Reads the root window's substructure events on a
// connection of its own, so that the watched process needs no probe and no pipe.
#include <QElapsedTimer>

#include <poll.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace bench
{

class WindowMap
{
public:
    WindowMap()
    {
        m_connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_connection))
            return;
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        if (!screen)
            return;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_void_cookie_t const cookie
            = xcb_change_window_attributes_checked(m_connection, screen->root, XCB_CW_EVENT_MASK, &mask);
        std::unique_ptr<xcb_generic_error_t, decltype(&std::free)> error(
            xcb_request_check(m_connection, cookie), &std::free);
        m_root = error ? 0 : screen->root;
    }
    ~WindowMap() { xcb_disconnect(m_connection); }
    WindowMap(WindowMap const&) = delete;
    WindowMap& operator=(WindowMap const&) = delete;

    bool isValid() const { return m_root != 0; }

    // Forgets the events that came so far (the windows of a run before).
    void drain()
    {
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection))
            std::free(event);
    }

    // Waits at most timeoutMs for a top-level window (not override-redirect: no menu or tooltip)
    // to be mapped; clock's milliseconds at the event's arrival, -1 when none came.
    double waitForMap(QElapsedTimer const& clock, int timeoutMs)
    {
        QElapsedTimer waited;
        waited.start();
        for (;;) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
                bool const mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY
                    && reinterpret_cast<xcb_map_notify_event_t*>(event)->event == m_root
                    && !reinterpret_cast<xcb_map_notify_event_t*>(event)->override_redirect;
                std::free(event);
                if (mapped)
                    return double(clock.nsecsElapsed()) / 1e6;
            }
            int const left = timeoutMs - int(waited.elapsed());
            if (left <= 0 || xcb_connection_has_error(m_connection))
                return -1;
            pollfd fd { xcb_get_file_descriptor(m_connection), POLLIN, 0 };
            ::poll(&fd, 1, left);
        }
    }

private:
    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = 0;
};

} // namespace bench
