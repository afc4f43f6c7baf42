#include "TickObserver.h"
#include "TfmZoom.h"
#include "ZoomState.h"

#include <QTimer>

TickObserver::TickObserver() : m_scale(ZoomState.scale), m_frame(currentFrame)
{
    // Connected after the zoom window's own handlers, so these run once a tick is complete.
    m_clock.start();
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
        refusedAt.append(QStringLiteral("%1 ms: zooming %2 at keyframe %3, scale %4")
                             .arg(m_clock.elapsed())
                             .arg(zoomIn ? QStringLiteral("in") : QStringLiteral("out"))
                             .arg(currentFrame)
                             .arg(ZoomState.scale, 0, 'f', 4));
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
