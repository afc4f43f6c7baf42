#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <functional>

// Watches the zoom timers from outside the engine: it runs after each tick of zgZoomIn and
// zgZoomOut and counts the ticks, the refused ones (neither the scale nor the keyframe moved
// while the timer kept running: the zoom held at a keyframe boundary) and the reversals of the
// direction at the ends of the run (a tick of one timer that left the other one running).
class TickObserver : public QObject
{
public:
    TickObserver();

    int ticks = 0;
    int refused = 0;
    int reversals = 0;
    int deepestFrame = 0;               // the largest keyframe number seen on display
    QStringList refusedAt;              // where each refused tick happened, for failure messages
    std::function<void()> onReversal;   // runs right after the tick that reversed

private:
    void afterTick(bool zoomIn);

    double m_scale = 0.0;
    int m_frame = 0;
    QElapsedTimer m_clock;
};
