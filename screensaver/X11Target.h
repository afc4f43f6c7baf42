// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QSize>
#include <QString>
#include <cstdint>

class QImage;
struct xcb_connection_t;

// A window of another program (or the root window) that pictures are drawn into, through a
// connection of its own to the X server: xscreensaver's window, a window named by its id.
// Follows the window's size and notices when it goes.
class X11Target
{
public:
    X11Target() = default;
    ~X11Target();
    X11Target(const X11Target &) = delete;
    X11Target &operator=(const X11Target &) = delete;

    // Connects to the display of DISPLAY and takes `window`, or the root window for 0. False
    // with a German reason in *error when the display cannot be reached, the window does not
    // exist or its pixels are not 24-bit colour.
    bool open(std::uint32_t window, QString *error);

    QSize size() const { return m_size; }
    int fileDescriptor() const;   // readable when the server has sent something

    // Reads everything the server has sent: size changes, and the window's end. False once the
    // window is gone (destroyed, or the connection closed).
    bool readEvents();
    // Draws `frame` (RGB32) at the window's top-left corner and waits until the server has
    // taken it, so that frames never queue up; false once the window is gone.
    bool show(const QImage &frame);

private:
    void handle(const void *event);

    xcb_connection_t *m_connection = nullptr;
    std::uint32_t m_window = 0;
    std::uint32_t m_gc = 0;
    std::uint8_t m_depth = 0;
    QSize m_size;
    bool m_gone = false;
};
