// SPDX-License-Identifier: GPL-3.0-or-later
#include "X11Windows.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace {

xcb_connection_t *connection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t rootOf(xcb_connection_t *c)
{
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

template<typename Reply> struct Freed
{
    Reply *reply;
    ~Freed() { std::free(reply); }
    Reply *operator->() const { return reply; }
    explicit operator bool() const { return reply != nullptr; }
};

xcb_atom_t atomNamed(xcb_connection_t *c, const char *name)
{
    const auto cookie = xcb_intern_atom(c, false, std::uint16_t(std::strlen(name)), name);
    const Freed<xcb_intern_atom_reply_t> reply{xcb_intern_atom_reply(c, cookie, nullptr)};
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// Asks the window manager to move (or stop moving) `window` with the left button:
// _NET_WM_MOVERESIZE with `action` from the pointer place `at` on the root window.
void sendMoveResize(xcb_connection_t *c, xcb_window_t window, xcb_atom_t moveResize, std::uint32_t action,
                    QPoint at = {})
{
    xcb_client_message_event_t message = {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = moveResize;
    message.data.data32[0] = std::uint32_t(at.x());
    message.data.data32[1] = std::uint32_t(at.y());
    message.data.data32[2] = action;
    message.data.data32[3] = 1;   // the left button
    message.data.data32[4] = 1;   // from a normal application
    xcb_send_event(c, false, rootOf(c),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(c);
}

}   // namespace

bool X11Windows::available()
{
    return connection() != nullptr;
}

std::optional<QPoint> X11Windows::position(QWidget *window)
{
    xcb_connection_t *c = connection();
    if (!c || !window->testAttribute(Qt::WA_WState_Created))
        return std::nullopt;
    const auto cookie = xcb_translate_coordinates(c, xcb_window_t(window->winId()), rootOf(c), 0, 0);
    const Freed<xcb_translate_coordinates_reply_t> reply{xcb_translate_coordinates_reply(c, cookie, nullptr)};
    if (!reply)
        return std::nullopt;
    return QPoint(reply->dst_x, reply->dst_y);
}

void X11Windows::move(QWidget *window, QPoint at)
{
    xcb_connection_t *c = connection();
    if (!c || !window->testAttribute(Qt::WA_WState_Created))
        return;
    const std::uint32_t values[] = {std::uint32_t(at.x()), std::uint32_t(at.y())};
    xcb_configure_window(c, xcb_window_t(window->winId()), XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, values);
    xcb_flush(c);
}

std::uint32_t X11Windows::frameOf(QWidget *window)
{
    xcb_connection_t *c = connection();
    if (!c || !window->testAttribute(Qt::WA_WState_Created))
        return 0;
    const xcb_window_t root = rootOf(c);
    xcb_window_t current = xcb_window_t(window->winId());
    for (int depth = 0; depth < 8; ++depth) {
        const Freed<xcb_query_tree_reply_t> tree{
            xcb_query_tree_reply(c, xcb_query_tree(c, current), nullptr)};
        if (!tree)
            return 0;
        if (tree->parent == root || tree->parent == XCB_NONE)
            return current;
        current = tree->parent;
    }
    return 0;
}

void X11Windows::watchStructure(std::uint32_t window)
{
    xcb_connection_t *c = connection();
    if (!c || window == 0)
        return;
    // The frame belongs to the window manager: keep its mask for us and add structure events.
    const Freed<xcb_get_window_attributes_reply_t> attributes{
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr)};
    if (!attributes)
        return;
    const std::uint32_t mask = attributes->your_event_mask | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    const auto cookie = xcb_change_window_attributes_checked(c, window, XCB_CW_EVENT_MASK, &mask);
    std::free(xcb_request_check(c, cookie));   // a frame destroyed meanwhile is of no interest
}

bool X11Windows::startMove(QWidget *window, QPointF pressedAt)
{
    xcb_connection_t *c = connection();
    if (!c || !window->testAttribute(Qt::WA_WState_Created) || !window->windowHandle())
        return false;
    const xcb_window_t root = rootOf(c);
    const xcb_atom_t moveResize = atomNamed(c, "_NET_WM_MOVERESIZE");
    const auto supportedCookie =
        xcb_get_property(c, false, root, atomNamed(c, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 0, 4096);
    const Freed<xcb_get_property_reply_t> supported{xcb_get_property_reply(c, supportedCookie, nullptr)};
    if (!supported || moveResize == XCB_ATOM_NONE)
        return false;
    const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(supported.reply));
    const int count = xcb_get_property_value_length(supported.reply) / int(sizeof(xcb_atom_t));
    if (std::find(atoms, atoms + count, moveResize) == atoms + count)
        return false;
    // The press in the screen's own pixels.
    const QPoint inWindow = (pressedAt * window->windowHandle()->devicePixelRatio()).toPoint();
    const auto cookie = xcb_translate_coordinates(c, xcb_window_t(window->winId()), root,
                                                  std::int16_t(inWindow.x()), std::int16_t(inWindow.y()));
    const Freed<xcb_translate_coordinates_reply_t> onRoot{
        xcb_translate_coordinates_reply(c, cookie, nullptr)};
    if (!onRoot)
        return false;
    // The button's implicit grab would keep the pointer from the window manager.
    xcb_ungrab_pointer(c, XCB_CURRENT_TIME);
    sendMoveResize(c, xcb_window_t(window->winId()), moveResize, 8,   // _NET_WM_MOVERESIZE_MOVE
                   QPoint(onRoot->dst_x, onRoot->dst_y));
    return true;
}

void X11Windows::cancelMove(QWidget *window)
{
    xcb_connection_t *c = connection();
    if (!c || !window->testAttribute(Qt::WA_WState_Created))
        return;
    const xcb_atom_t moveResize = atomNamed(c, "_NET_WM_MOVERESIZE");
    if (moveResize != XCB_ATOM_NONE)
        sendMoveResize(c, xcb_window_t(window->winId()), moveResize, 11);   // _NET_WM_MOVERESIZE_CANCEL
}

bool X11Windows::configureNotify(const void *event, std::uint32_t *eventWindow, std::uint32_t *window)
{
    const auto *generic = static_cast<const xcb_generic_event_t *>(event);
    if ((generic->response_type & 0x7f) != XCB_CONFIGURE_NOTIFY)
        return false;
    const auto *configure = static_cast<const xcb_configure_notify_event_t *>(event);
    *eventWindow = configure->event;
    *window = configure->window;
    return true;
}

bool X11Windows::reparentNotify(const void *event, std::uint32_t *window, std::uint32_t *parent)
{
    const auto *generic = static_cast<const xcb_generic_event_t *>(event);
    if ((generic->response_type & 0x7f) != XCB_REPARENT_NOTIFY)
        return false;
    const auto *reparent = static_cast<const xcb_reparent_notify_event_t *>(event);
    *window = reparent->window;
    *parent = reparent->parent;
    return true;
}
