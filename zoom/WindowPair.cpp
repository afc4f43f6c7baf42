// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowPair.h"
#include "X11Windows.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <algorithm>

namespace {
constexpr std::size_t requestsKept = 64;
// A window manager may shift a window a little from where it was asked to go (a border, a
// snap). Such a place is still the answer to our request: taking it for a move of its own
// would make the two windows chase each other across the screen.
constexpr int adjustmentTolerance = 4;
}

bool WindowPair::Track::movedBySomeoneElse(QPoint at)
{
    const bool changed = !known || at != seen;
    known = true;
    seen = at;
    if (!changed)
        return false;
    // Our own requests come back in order, some of them late; each one seen ends the older ones.
    const auto ours = std::find(requested.begin(), requested.end(), at);
    if (ours != requested.end()) {
        requested.erase(requested.begin(), ours + 1);
        return false;
    }
    if (!requested.empty() && (at - requested.back()).manhattanLength() <= adjustmentTolerance) {
        requested.clear();
        return false;
    }
    return true;
}

WindowPair::WindowPair(QWidget *zoom, QWidget *casing, QPoint offset) : QObject(zoom), m_offset(offset)
{
    m_zoom.window = zoom;
    m_casing.window = casing;
    zoom->installEventFilter(this);
    casing->installEventFilter(this);
    m_x11 = X11Windows::available();
    if (m_x11)
        QCoreApplication::instance()->installNativeEventFilter(this);
}

WindowPair::~WindowPair()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
}

bool WindowPair::bothTakePart() const
{
    const QWidget *zoom = m_zoom.window;
    const QWidget *casing = m_casing.window;
    if (!zoom->isVisible() || zoom->isMinimized() || !casing->isVisible() || casing->isMinimized())
        return false;
    return !casingTakesPart || casingTakesPart();
}

QPoint WindowPair::placeOf(Track &track) const
{
    // The server knows where the window manager has put the frame; Qt's idea of it may be late.
    if (m_x11)
        if (const auto at = X11Windows::position(track.window))
            return *at;
    return track.window->pos();
}

QPoint WindowPair::offset() const
{
    if (!m_x11)
        return m_offset;
    const qreal ratio = m_zoom.window->devicePixelRatioF();
    return QPoint(qRound(m_offset.x() * ratio), qRound(m_offset.y() * ratio));
}

void WindowPair::requested(Track &track, QPoint to)
{
    if (track.requested.empty() || track.requested.back() != to)
        track.requested.push_back(to);
    if (track.requested.size() > requestsKept)
        track.requested.pop_front();
}

void WindowPair::moveTo(Track &track, QPoint to)
{
    requested(track, to);
    if (m_x11) {
        X11Windows::move(track.window, to);
        return;
    }
    m_moving = true;
    track.window->move(to);
    m_moving = false;
}

void WindowPair::zoomPlaced()
{
    if (m_moving)
        return;   // the zoom window follows the casing: the casing is where it should be
    m_zoomLeads = true;
    if (casingTakesPart && !casingTakesPart())
        return;
    // In the widgets' pixels, at once: the program's own layout code reads the places back.
    const QPoint to = m_zoom.window->pos() - m_offset;
    if (m_x11)
        requested(m_casing, to * m_zoom.window->devicePixelRatioF());
    m_moving = true;
    m_casing.window->move(to);
    m_moving = false;
}

void WindowPair::align()
{
    m_alignScheduled = false;
    if (!bothTakePart())
        return;
    watchFrames();
    const QPoint zoom = placeOf(m_zoom);
    const QPoint casing = placeOf(m_casing);
    const bool zoomMoved = m_zoom.movedBySomeoneElse(zoom);
    const bool casingMoved = m_casing.movedBySomeoneElse(casing);
    if (zoomMoved)
        m_zoomLeads = true;
    else if (casingMoved)
        m_zoomLeads = false;
    if (zoom - casing == offset())
        return;
    if (m_zoomLeads)
        moveTo(m_casing, zoom - offset());
    else
        moveTo(m_zoom, casing + offset());
}

void WindowPair::scheduleAlign()
{
    if (m_alignScheduled)
        return;
    m_alignScheduled = true;
    // Once the events that are already queued have been handled: a burst of moves is one look.
    QTimer::singleShot(0, this, [this] { align(); });
}

void WindowPair::watchFrames()
{
    for (Track *track : {&m_zoom, &m_casing}) {
        if (track->frame != 0)
            continue;
        track->frame = X11Windows::frameOf(track->window);
        X11Windows::watchStructure(track->frame);
    }
}

bool WindowPair::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Move:
        // Moves from the window system (a window manager's move ending, a placement) are
        // checked against the server; the program's own moves are handled where they are made.
        if (event->spontaneous())
            scheduleAlign();
        break;
    case QEvent::Show:
    case QEvent::WindowStateChange:
        scheduleAlign();
        break;
    case QEvent::Enter:
        if (watched == m_zoom.window)
            align();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

bool WindowPair::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    std::uint32_t first = 0, second = 0;
    if (X11Windows::configureNotify(message, &first, &second)) {
        // A frame moved by the window manager (or one of the windows themselves).
        for (const Track *track : {&m_zoom, &m_casing})
            if (track->frame != 0 && (first == track->frame || second == track->frame))
                scheduleAlign();
    } else if (X11Windows::reparentNotify(message, &first, &second)) {
        // A window manager framed one of the windows (or gave it up): watch the new frame.
        for (Track *track : {&m_zoom, &m_casing})
            if (track->window->testAttribute(Qt::WA_WState_Created)
                && first == std::uint32_t(track->window->winId()))
                track->frame = 0;
        scheduleAlign();
    }
    return false;
}
