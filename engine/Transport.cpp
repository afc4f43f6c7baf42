// SPDX-License-Identifier: GPL-3.0-or-later
#include "Transport.h"
#include "ZoomHost.h"
#include "ZoomStepping.h"

#include <QTimer>

Transport &transport()
{
    static Transport instance;
    return instance;
}

void Transport::setLooks(TransportLooks *looks)
{
    m_looks = looks;
}

void Transport::setPanelCloser(std::function<void()> closePanels)
{
    m_closePanels = std::move(closePanels);
}

void Transport::closePanels()
{
    if (m_closePanels)
        m_closePanels();
}

void Transport::show(PlaybackLooks looks)
{
    if (m_looks)
        m_looks->showPlaybackLooks(looks);
}

void Transport::toStart()
{
    closePanels();
    GoToStart();
}

void Transport::toEnd()
{
    closePanels();
    GoToEnd();
}

void Transport::startDirection(bool zoomIn)
{
    // Paused on the end card there is no keyframe beyond it (nor one before the start card).
    if (!canStartZoomDirection(zoomIn))
        return;
    closePanels();
    show(zoomIn ? PlaybackLooks::ZoomingIn : PlaybackLooks::ZoomingOut);
    m_lastIn = zoomIn;
    startZoomDirection(zoomIn);
}

void Transport::forward()
{
    startDirection(true);
}

void Transport::backward()
{
    startDirection(false);
}

void Transport::pause()
{
    closePanels();
    if (zoomHost) {
        zoomHost->zoomInTimer().stop();
        zoomHost->zoomOutTimer().stop();
    }
    show(PlaybackLooks::Paused);
}

void Transport::pauseOrContinue()
{
    if (isRunning()) {
        pause();
        return;
    }
    const bool zoomIn = canStartZoomDirection(m_lastIn) ? m_lastIn : !m_lastIn;
    startDirection(zoomIn);
}

void Transport::run(bool zoomIn)
{
    if (zoomIn ? isZoomingIn() : isZoomingOut())
        return;
    startDirection(zoomIn);
}

bool Transport::isRunning() const
{
    if (m_looks)
        return m_looks->pauseEnabled();
    return isZoomingIn() || isZoomingOut();
}

bool Transport::isZoomingIn() const
{
    return zoomHost && zoomHost->zoomInTimer().isActive();
}

bool Transport::isZoomingOut() const
{
    return zoomHost && zoomHost->zoomOutTimer().isActive();
}

void Transport::showStillPictureLooks(bool atEnd)
{
    show(atEnd ? PlaybackLooks::AtEnd : PlaybackLooks::AtStart);
}

void Transport::showLaunchLooks()
{
    show(PlaybackLooks::Launch);
}
