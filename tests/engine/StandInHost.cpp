// SPDX-License-Identifier: GPL-3.0-or-later
#include "StandInHost.h"
#include "ZoomState.h"
#include "ZoomStepping.h"

StandInHost::StandInHost()
{
    for (QImage &surface : surfaces) {
        surface = QImage(ZoomState.frameWidth, ZoomState.frameHeight, QImage::Format_RGB32);
        surface.fill(Qt::black);
    }
    for (QTimer *timer : {&zgZoomIn, &zgZoomOut})
        timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(&zgZoomIn, &QTimer::timeout, [] { zoomInTick(); });
    QObject::connect(&zgZoomOut, &QTimer::timeout, [] { zoomOutTick(); });
    zoomHost = this;
}

StandInHost::~StandInHost()
{
    if (zoomHost == this)
        zoomHost = nullptr;
}

QImage StandInHost::shownView() const
{
    return surfaces[frontSurface].copy(0, 0, ZoomState.viewWidth, ZoomState.viewHeight);
}

QImage &StandInHost::surfaceCanvas(int index)
{
    return surfaces[index];
}

QImage &StandInHost::sharpCanvas(int index)
{
    const QSize size(qRound(ZoomState.viewWidth * devicePixelRatio),
                     qRound(ZoomState.viewHeight * devicePixelRatio));
    if (sharpSurfaces[index].size() != size)
        sharpSurfaces[index] = QImage(size, QImage::Format_RGB32);
    return sharpSurfaces[index];
}

void StandInHost::sendSurfaceToBack(int index)
{
    frontSurface = 1 - index;
}

void StandInHost::bringSurfaceToFront(int index)
{
    frontSurface = index;
}

void StandInHost::repaintSurface(int index)
{
    ++repaints;
    lastRepainted = index;
}

void StandInHost::showZoomFactor(const QString &digitsText, const QString &wordsText)
{
    digits = digitsText;
    words = wordsText;
}

void StandInHost::setStillPictureLooks(bool atEnd)
{
    looks = atEnd ? Looks::AtEnd : Looks::AtStart;
}

QTimer &StandInHost::zoomInTimer()
{
    return zgZoomIn;
}

QTimer &StandInHost::zoomOutTimer()
{
    return zgZoomOut;
}

void StandInHost::startZoomingIn()
{
    looks = Looks::ZoomingIn;
    startZoomDirection(true);
    if (afterStartZooming)
        afterStartZooming(true);
}

void StandInHost::startZoomingOut()
{
    looks = Looks::ZoomingOut;
    startZoomDirection(false);
    if (afterStartZooming)
        afterStartZooming(false);
}
