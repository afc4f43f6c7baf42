// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the X11 window system knows about the player's top-level windows beyond what Qt passes
// on: where a window really stands while the window manager moves its frame (the window itself
// hears nothing until the move ends), the frames to watch for that, and starting a window-manager
// move from the press or ending one that started too late. On other platforms every call answers
// "not available".
#include <QPoint>
#include <QPointF>
#include <cstdint>
#include <optional>

class QWidget;

class X11Windows
{
public:
    static bool available();   // the application runs on the xcb platform

    // The top-left corner of `window` on the screen in the screen's own pixels (device pixels,
    // which a scale factor makes finer than the widgets' pixels), asked from the X server.
    static std::optional<QPoint> position(QWidget *window);

    // Moves `window` so that its top-left corner stands at `at`, in the screen's own pixels:
    // with a scale factor the widgets' pixels could not name every place the window manager may
    // have put the other window at.
    static void move(QWidget *window, QPoint at);

    // The window that the window manager moves for `window` (its ancestor just below the root
    // window; the window itself without a window manager).
    static std::uint32_t frameOf(QWidget *window);

    // Asks for the structure events (ConfigureNotify) of `window`, which may belong to another
    // client; a window that has gone meanwhile is no error.
    static void watchStructure(std::uint32_t window);

    // Asks the window manager to move `window` with the left button from the press at `pressedAt`
    // (in the window's pixels), which the pointer may have left by the time the press is handled:
    // the window then catches up with the pointer instead of trailing it by the distance. False
    // when no window manager that moves windows on request runs.
    static bool startMove(QWidget *window, QPointF pressedAt);

    // Ends a move that the window manager runs for `window` (_NET_WM_MOVERESIZE_CANCEL).
    static void cancelMove(QWidget *window);

    // A native xcb event read as ConfigureNotify (the window whose mask asked for it, and the
    // window that changed) or as ReparentNotify (the window and its new parent); false for
    // events of other kinds.
    static bool configureNotify(const void *event, std::uint32_t *eventWindow, std::uint32_t *window);
    static bool reparentNotify(const void *event, std::uint32_t *window, std::uint32_t *parent);
};
