// SPDX-License-Identifier: GPL-3.0-or-later
#include "MapWatch.h"

#include <QDeadlineTimer>
#include <cstdlib>
#include <poll.h>
#include <xcb/xcb.h>

MapWatch::MapWatch(const QString &display)
{
    xcb_connection_t *connection = xcb_connect(display.toLocal8Bit().constData(), nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);
    m_connection = connection;
}

MapWatch::~MapWatch()
{
    if (m_connection)
        xcb_disconnect(m_connection);
}

void MapWatch::forget()
{
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection))
        std::free(event);
}

bool MapWatch::waitForMap(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
            const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
            std::free(event);
            if (mapped)
                return true;
        }
        if (deadline.hasExpired())
            return false;
        pollfd fd{xcb_get_file_descriptor(m_connection), POLLIN, 0};
        poll(&fd, 1, int(std::max<qint64>(1, deadline.remainingTime())));
    }
}
