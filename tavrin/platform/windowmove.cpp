#include "windowmove.h"

#include <QGuiApplication>
#include <QWidget>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace {
xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, std::strlen(name), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : XCB_ATOM_NONE;
    std::free(reply);
    return result;
}

// Whether the running window manager lists the atom among what it supports.
bool supported(xcb_connection_t *connection, xcb_window_t root, xcb_atom_t wanted)
{
    const xcb_atom_t list = atom(connection, "_NET_SUPPORTED");
    if (list == XCB_ATOM_NONE || wanted == XCB_ATOM_NONE)
        return false;
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, root, list, XCB_ATOM_ATOM, 0, 4096), nullptr);
    bool found = false;
    if (reply && reply->format == 32) {
        const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply));
        const int count = xcb_get_property_value_length(reply) / 4;
        for (int i = 0; i < count && !found; ++i)
            found = atoms[i] == wanted;
    }
    std::free(reply);
    return found;
}

// The connection and root window when a window manager that supports the
// named request runs, for a request about the window.
struct WindowManagerLink
{
    xcb_connection_t *connection = nullptr;
    xcb_window_t root = XCB_WINDOW_NONE;
    xcb_atom_t request = XCB_ATOM_NONE;
};

WindowManagerLink windowManagerFor(const QWidget *window, const char *request)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !window || !window->windowHandle())
        return {};
    xcb_connection_t *connection = x11->connection();
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_atom_t wanted = atom(connection, request);
    if (!screen || !supported(connection, screen->root, wanted))
        return {};
    return {connection, screen->root, wanted};
}

void sendToWindowManager(const WindowManagerLink &link, const QWidget *window,
                         const uint32_t (&data)[5])
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = static_cast<xcb_window_t>(window->winId());
    message.type = link.request;
    for (int i = 0; i < 5; ++i)
        message.data.data32[i] = data[i];
    xcb_send_event(link.connection, 0, link.root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(link.connection);
}
} // namespace

bool startWindowManagerMove(QWidget *window, QPoint globalPosition)
{
    const WindowManagerLink link = windowManagerFor(window, "_NET_WM_MOVERESIZE");
    if (!link.connection)
        return false;
    // The window manager must be able to take the pointer: let go of the
    // grab the press gave us.
    xcb_ungrab_pointer(link.connection, XCB_CURRENT_TIME);
    const QPoint native = globalPosition * window->devicePixelRatio();
    sendToWindowManager(link, window,
                        {static_cast<uint32_t>(native.x()), static_cast<uint32_t>(native.y()),
                         8,   // _NET_WM_MOVERESIZE_MOVE
                         1,   // the left button
                         1}); // from an application
    return true;
}

void requestFullScreenState(QWidget *window, bool fullScreen)
{
    const WindowManagerLink link = windowManagerFor(window, "_NET_WM_STATE");
    if (!link.connection || !window->isVisible())
        return;
    const xcb_atom_t state = atom(link.connection, "_NET_WM_STATE_FULLSCREEN");
    sendToWindowManager(link, window,
                        {fullScreen ? 1u : 0u, // _NET_WM_STATE_ADD or _REMOVE
                         state, 0,
                         1,   // from an application
                         0});
}
