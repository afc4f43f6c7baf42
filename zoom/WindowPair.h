// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Keeps the zoom window on the casing: whichever of the two windows moves (dragged by the user,
// moved by the window manager by Alt+drag, keyboard or placement), the other follows with the
// fixed offset, during the move and not only after it. Window-manager moves are seen through
// the frames' structure events, since the windows themselves hear of them only at the end.
#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QPoint>
#include <cstdint>
#include <deque>
#include <functional>

class QWidget;

class WindowPair
    : public QObject
    , public QAbstractNativeEventFilter
{
public:
    // `zoom` lies `offset` right of and below `casing`'s top-left corner.
    WindowPair(QWidget *zoom, QWidget *casing, QPoint offset);
    ~WindowPair() override;

    // Whether the casing goes with the picture at all (unset: always). A mode that puts the
    // casing away sets it; while it answers false the casing is neither moved nor followed.
    std::function<bool()> casingTakesPart;

    // The zoom window was placed by the program: the casing goes with it at once.
    void zoomPlaced();
    // Asks both windows' places from the window system now and brings one to the other.
    void align();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    // What is known about one window's place. Places are in the screen's own pixels where the
    // window system tells them (X11), in the widgets' pixels elsewhere.
    struct Track
    {
        QWidget *window = nullptr;
        QPoint seen;   // the place last read
        bool known = false;
        std::deque<QPoint> requested;   // places asked for and not yet seen
        std::uint32_t frame = 0;        // watched frame (0: none yet)
        // The window stands at `at`; true when nobody here asked for it (the user or the
        // window manager moved it).
        bool movedBySomeoneElse(QPoint at);
    };

    bool bothTakePart() const;
    QPoint placeOf(Track &track) const;
    QPoint offset() const;   // in the units of the places
    void moveTo(Track &track, QPoint to);
    void requested(Track &track, QPoint to);
    void scheduleAlign();
    void watchFrames();

    Track m_zoom, m_casing;
    QPoint m_offset;
    bool m_zoomLeads = true;   // the window that moved last; the other follows it
    bool m_moving = false;     // one of our own moves is under way
    bool m_x11 = false;        // places come from the X server
    bool m_alignScheduled = false;
};
