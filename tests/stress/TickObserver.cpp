// SPDX-License-Identifier: GPL-3.0-or-later
#include "TickObserver.h"
#include "LoaderClock.h"
#include "TfmZoom.h"
#include "ZoomState.h"

#include <QTimer>

TickObserver::TickObserver(const LoaderClock *clock)
    : m_clock(clock), m_scale(ZoomState.scale), m_frame(currentFrame)
{
    m_elapsed.start();
    // Connected after the zoom window's own handlers, so these run once a tick is complete.
    connect(fmZoom->zgZoomIn, &QTimer::timeout, this, [this] { afterTick(true); });
    connect(fmZoom->zgZoomOut, &QTimer::timeout, this, [this] { afterTick(false); });
}

void TickObserver::afterTick(bool zoomIn)
{
    ++ticks;
    QTimer *own = zoomIn ? fmZoom->zgZoomIn : fmZoom->zgZoomOut;
    QTimer *other = zoomIn ? fmZoom->zgZoomOut : fmZoom->zgZoomIn;
    if (ZoomState.scale == m_scale && currentFrame == m_frame && own->isActive()) {
        ++refused;
        const LoaderAccounts loader = loaderAccounts();
        Refusal refusal;
        refusal.load = m_clock ? m_clock->completedLoads() + 1 : 0;
        refusal.loaderAsleep = loader.state == 'S' && !ZoomState.nextReady.load();
        refusal.where = QStringLiteral("%1 ms: zooming %2 at keyframe %3, scale %4, loader state %5")
                            .arg(m_elapsed.elapsed())
                            .arg(zoomIn ? QStringLiteral("in") : QStringLiteral("out"))
                            .arg(currentFrame)
                            .arg(ZoomState.scale, 0, 'f', 4)
                            .arg(QLatin1Char(loader.state));
        m_refusals.append(refusal);
    }
    m_scale = ZoomState.scale;
    m_frame = currentFrame;
    deepestFrame = std::max(deepestFrame, currentFrame);
    if (other->isActive()) {
        ++reversals;
        if (onReversal)
            onReversal();
    }
}

TickObserver::Causes TickObserver::refusedCauses(double segmentMs) const
{
    Causes causes;
    for (const Refusal &r : m_refusals) {
        const double needed = m_clock ? m_clock->processorMs(r.load) : -1.0;
        QString fault;
        if (r.loaderAsleep)
            fault = QStringLiteral("the loader slept although the next keyframe was not ready");
        else if (needed < 0)
            fault = QStringLiteral("the load it waited for never ended");
        else if (needed >= segmentMs)
            fault = QStringLiteral("the load needed %1 ms of processor time, a keyframe lasts %2 ms")
                        .arg(needed, 0, 'f', 1)
                        .arg(segmentMs, 0, 'f', 1);
        if (fault.isEmpty()) {
            ++causes.waitedForMachine;
        } else {
            ++causes.byLoader;
            causes.loaderFaults.append(r.where + QStringLiteral(": ") + fault);
        }
    }
    return causes;
}
