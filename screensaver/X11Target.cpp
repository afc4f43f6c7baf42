// SPDX-License-Identifier: GPL-3.0-or-later
#include "X11Target.h"

#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace {
struct FreeReply
{
    void operator()(void *reply) const { std::free(reply); }
};
template<typename T> using Reply = std::unique_ptr<T, FreeReply>;

QString hex(std::uint32_t window)
{
    return QStringLiteral("0x") + QString::number(window, 16);
}

// Whether the visual's pixels are 0x00RRGGBB words, the layout of QImage::Format_RGB32.
bool rgb32Visual(const xcb_screen_t *screen, xcb_visualid_t visual)
{
    for (auto depths = xcb_screen_allowed_depths_iterator(screen); depths.rem; xcb_depth_next(&depths))
        for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem;
             xcb_visualtype_next(&visuals))
            if (visuals.data->visual_id == visual)
                return visuals.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR
                    && visuals.data->red_mask == 0xff0000 && visuals.data->green_mask == 0xff00
                    && visuals.data->blue_mask == 0xff;
    return false;
}

bool thirtyTwoBitsPerPixel(const xcb_setup_t *setup, std::uint8_t depth)
{
    for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem; xcb_format_next(&formats))
        if (formats.data->depth == depth)
            return formats.data->bits_per_pixel == 32;
    return false;
}
}   // namespace

X11Target::~X11Target()
{
    if (!m_connection)
        return;
    if (m_gc)
        xcb_free_gc(m_connection, m_gc);
    xcb_disconnect(m_connection);
}

bool X11Target::open(std::uint32_t window, QString *error)
{
    int screenNumber = 0;
    m_connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(m_connection)) {
        *error = QStringLiteral("Keine Verbindung zum X-Server \"%1\".").arg(qEnvironmentVariable("DISPLAY"));
        return false;
    }
    const xcb_setup_t *setup = xcb_get_setup(m_connection);
    auto screens = xcb_setup_roots_iterator(setup);
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    const xcb_screen_t *screen = screens.data;
    m_window = window ? window : screen->root;

    // The window is asked for its structure events first, so that it cannot go unnoticed
    // between the checks below and the first frame.
    const std::uint32_t events = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    const Reply<xcb_generic_error_t> selectError{xcb_request_check(
        m_connection,
        xcb_change_window_attributes_checked(m_connection, m_window, XCB_CW_EVENT_MASK, &events))};
    const Reply<xcb_get_geometry_reply_t> geometry{
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, m_window), nullptr)};
    const Reply<xcb_get_window_attributes_reply_t> attributes{xcb_get_window_attributes_reply(
        m_connection, xcb_get_window_attributes(m_connection, m_window), nullptr)};
    if (selectError || !geometry || !attributes) {
        *error = QStringLiteral("Das Fenster %1 gibt es nicht.").arg(hex(m_window));
        return false;
    }
    m_depth = geometry->depth;
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST || !thirtyTwoBitsPerPixel(setup, m_depth)
        || !rgb32Visual(screen, attributes->visual)) {
        *error = QStringLiteral("Das Fenster %1 zeigt keine 24-Bit-Farben.").arg(hex(m_window));
        return false;
    }
    m_size = QSize(geometry->width, geometry->height);
    m_gc = xcb_generate_id(m_connection);
    const std::uint32_t noExposures = 0;
    xcb_create_gc(m_connection, m_gc, m_window, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
    xcb_flush(m_connection);
    return true;
}

int X11Target::fileDescriptor() const
{
    return m_connection ? xcb_get_file_descriptor(m_connection) : -1;
}

bool X11Target::readEvents()
{
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
        handle(event);
        std::free(event);
    }
    if (xcb_connection_has_error(m_connection))
        m_gone = true;
    return !m_gone;
}

void X11Target::handle(const void *any)
{
    const auto *event = static_cast<const xcb_generic_event_t *>(any);
    switch (event->response_type & 0x7f) {
    case 0: {
        // A frame drawn after the window went, before its DestroyNotify arrived.
        const auto *error = static_cast<const xcb_generic_error_t *>(any);
        if (error->error_code == XCB_WINDOW || error->error_code == XCB_DRAWABLE)
            m_gone = true;
        break;
    }
    case XCB_DESTROY_NOTIFY:
        if (reinterpret_cast<const xcb_destroy_notify_event_t *>(event)->window == m_window)
            m_gone = true;
        break;
    case XCB_CONFIGURE_NOTIFY: {
        const auto *configure = reinterpret_cast<const xcb_configure_notify_event_t *>(event);
        if (configure->window == m_window)
            m_size = QSize(configure->width, configure->height);
        break;
    }
    default:
        break;
    }
}

bool X11Target::show(const QImage &frame)
{
    if (m_gone)
        return false;
    // As many rows per request as the server takes (BIG-REQUESTS makes that the whole frame).
    const std::size_t requestBytes = std::size_t(xcb_get_maximum_request_length(m_connection)) * 4;
    const std::size_t rowBytes = std::size_t(frame.bytesPerLine());
    const int rowsPerRequest = std::max<int>(1, int((requestBytes - 64) / rowBytes));
    for (int top = 0; top < frame.height(); top += rowsPerRequest) {
        const int rows = std::min(rowsPerRequest, frame.height() - top);
        xcb_put_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_window, m_gc, std::uint16_t(frame.width()),
                      std::uint16_t(rows), 0, std::int16_t(top), 0, m_depth, std::uint32_t(rows * rowBytes),
                      frame.constScanLine(top));
    }
    const Reply<xcb_get_input_focus_reply_t> done{
        xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr)};
    return readEvents();
}
