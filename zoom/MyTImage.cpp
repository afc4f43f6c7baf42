// SPDX-License-Identifier: GPL-3.0-or-later
#include "MyTImage.h"
#include "ZoomState.h"

#include <QPaintEvent>
#include <QPainter>

MyTImage::MyTImage(QWidget *owner) : QWidget(owner)
{
    // The picture covers the whole surface, so Qt need not clear the background first; the
    // surface takes no mouse input, so presses reach the zoom window and drag it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setGeometry(0, 0, ZoomState.frameWidth, ZoomState.frameHeight);
    show();
}

QImage &MyTImage::canvas()
{
    if (m_canvas.isNull()) {
        m_canvas = QImage(ZoomState.frameWidth, ZoomState.frameHeight, QImage::Format_RGB32);
        m_canvas.fill(Qt::black);
    }
    return m_canvas;
}

void MyTImage::showSharp(bool sharp, const QRect &place)
{
    m_sharp = sharp;
    if (sharp) {
        setGeometry(place);
    } else {
        setGeometry(0, 0, ZoomState.frameWidth, ZoomState.frameHeight);
        m_sharpCanvas = QImage();   // its memory is not needed in the original presentation
    }
}

QImage &MyTImage::sharpCanvas()
{
    const qreal ratio = devicePixelRatioF();
    const QSize size(qRound(width() * ratio), qRound(height() * ratio));
    if (m_sharpCanvas.size() != size) {
        m_sharpCanvas = QImage(size, QImage::Format_RGB32);
        m_sharpCanvas.fill(Qt::black);
    }
    // The renderer works in device pixels; painting marks the ratio again.
    m_sharpCanvas.setDevicePixelRatio(1.0);
    return m_sharpCanvas;
}

void MyTImage::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    if (m_sharp) {
        // One canvas pixel per device pixel: copied to the screen without scaling.
        if (m_sharpCanvas.isNull()) {
            painter.fillRect(event->rect(), Qt::black);
        } else {
            m_sharpCanvas.setDevicePixelRatio(devicePixelRatioF());
            painter.drawImage(QPointF(0, 0), m_sharpCanvas);
        }
    } else if (m_canvas.isNull()) {
        painter.fillRect(event->rect(), Qt::black);
    } else {
        painter.drawImage(event->rect().topLeft(), m_canvas, event->rect());
    }
}
