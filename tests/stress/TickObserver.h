// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class LoaderClock;

// Watches the zoom timers from outside the engine: it runs after each tick of zgZoomIn and
// zgZoomOut and counts the ticks, the refused ones (neither the scale nor the keyframe moved
// while the timer kept running: the zoom held at a keyframe boundary) and the reversals of the
// direction at the ends of the run (a tick of one timer that left the other one running).
class TickObserver : public QObject
{
public:
    // With a loader clock, each refused tick is tied to the background load it waited for.
    explicit TickObserver(const LoaderClock *clock = nullptr);

    int ticks = 0;
    int refused = 0;
    int reversals = 0;
    int deepestFrame = 0;               // the largest keyframe number seen on display
    std::function<void()> onReversal;   // runs right after the tick that reversed

    // Why the refused ticks waited. A load that needed less processor time than a keyframe's
    // ticks last (`segmentMs`) would have been ready had it had a processor: those ticks waited
    // for other processes (waitedForMachine). The others are the loader's own fault: its load
    // never ended, it slept with the request lost, or it needed more than a segment.
    struct Causes
    {
        int byLoader = 0;
        int waitedForMachine = 0;
        QStringList loaderFaults;   // one line per tick refused by the loader's fault
    };
    Causes refusedCauses(double segmentMs) const;

private:
    struct Refusal
    {
        QString where;
        int load = 0;                // the background load that had not ended
        bool loaderAsleep = false;   // asleep although nextReady was false
    };
    void afterTick(bool zoomIn);

    const LoaderClock *m_clock;
    QList<Refusal> m_refusals;
    double m_scale = 0.0;
    int m_frame = 0;
    QElapsedTimer m_elapsed;
};
