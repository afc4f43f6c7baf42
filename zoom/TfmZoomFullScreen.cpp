// SPDX-License-Identifier: GPL-3.0-or-later
// The zoom window's presentations (original and sharp), full screen and the player's keys.
#include "FrameRenderer.h"
#include "MyTImage.h"
#include "SharpFrame.h"
#include "TfmMonitor.h"
#include "TfmZoom.h"
#include "Transport.h"
#include "ZoomState.h"

#include <QAction>
#include <QGroupBox>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>

void TfmZoom::setPresentation(bool sharp)
{
    m_sharpChosen = sharp;
    (sharp ? Scharf1 : Original1)->setChecked(true);
    if (!m_fullScreen)   // full screen is always sharp; the choice applies when it ends
        layOutView();
}

QRect TfmZoom::pictureRect() const
{
    if (!m_fullScreen)
        return QRect(0, 0, ZoomState.viewWidth, ZoomState.viewHeight);
    // 4:3 in the middle of the screen, black bars beside or above and below.
    const QSize picture =
        QSize(ZoomState.frameWidth, ZoomState.frameHeight).scaled(size(), Qt::KeepAspectRatio);
    return QRect(QPoint((width() - picture.width()) / 2, (height() - picture.height()) / 2), picture);
}

void TfmZoom::layOutView()
{
    const bool sharp = m_fullScreen || m_sharpChosen;
    setSharpPresentation(sharp);
    const QRect picture = pictureRect();
    for (MyTImage *surface : surfaces)
        surface->showSharp(sharp, picture);
    shBackground->setGeometry(rect().united(QRect(0, 0, ZoomState.viewWidth, ZoomState.viewHeight)));
    const QPoint panels =
        m_fullScreen ? picture.center() - QPoint(gbSpeed->width() / 2, gbSpeed->height() / 2) : m_panelPlace;
    gbSpeed->move(panels);
    gbInfo->move(panels);
    RenderFrame();
}

void TfmZoom::setFullScreenView(bool on)
{
    if (on == m_fullScreen)
        return;
    Vollbild1->setChecked(on);
    Original1->setEnabled(!on);   // full screen is always sharp
    if (on) {
        m_windowGeometry = geometry();
        m_casingPosition = fmMonitor->pos();
        m_fullScreen = true;
        fmMonitor->hide();
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        if (QScreen *display = screen())
            setGeometry(display->geometry());
        showFullScreen();
        setMouseTracking(true);
        setCursor(Qt::ArrowCursor);
        m_pointerTimer->start();
    } else {
        m_pointerTimer->stop();
        setMouseTracking(false);
        setCursor(Qt::SizeAllCursor);
        showNormal();
        setFixedSize(ZoomState.viewWidth, ZoomState.viewHeight);
        m_fullScreen = false;
        fmMonitor->move(m_casingPosition);
        move(m_windowGeometry.topLeft());
        fmMonitor->show();
        raise();
        activateWindow();
    }
    layOutView();
}

void TfmZoom::showPointerAgain()
{
    if (cursor().shape() == Qt::BlankCursor)
        setCursor(Qt::ArrowCursor);
    m_pointerTimer->start();
}

bool TfmZoom::handlePlayerKey(QKeyEvent *event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    Transport &playback = transport();
    switch (event->key()) {
    case Qt::Key_Space:
        playback.pauseOrContinue();
        return true;
    case Qt::Key_Right:
        playback.run(true);
        return true;
    case Qt::Key_Left:
        playback.run(false);
        return true;
    case Qt::Key_Home:
        playback.toStart();
        return true;
    case Qt::Key_End:
        playback.toEnd();
        return true;
    case Qt::Key_Escape:
        if (!m_fullScreen)
            return false;
        setFullScreenView(false);
        return true;
    default:
        return false;
    }
}

void TfmZoom::keyPressEvent(QKeyEvent *event)
{
    // Keys that a panel's control takes (arrows on the speed slider, Space on a button) never
    // arrive here; the rest drive playback.
    if (handlePlayerKey(event))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}
