// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

struct xcb_connection_t;

// Watches an X display for top-level windows being mapped (MapNotify on the root window), the
// moment a program's first window appears, independent of what it draws.
class MapWatch
{
public:
    explicit MapWatch(const QString &display);
    ~MapWatch();
    MapWatch(const MapWatch &) = delete;
    MapWatch &operator=(const MapWatch &) = delete;

    bool isValid() const { return m_connection != nullptr; }
    void forget();                    // drops the events seen so far
    bool waitForMap(int timeoutMs);   // true at the next MapNotify

private:
    xcb_connection_t *m_connection = nullptr;
};
