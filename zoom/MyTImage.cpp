// SPDX-License-Identifier: GPL-3.0-or-later
#include "MyTImage.h"
#include "ZoomState.h"

#include <QBackingStore>
#include <QPaintEngine>
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
        m_compose = nullptr;
        m_canvasStale = false;
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

void MyTImage::showComposed(const std::function<void(QImage &)> &compose)
{
    m_compose = compose;
    m_composePending = true;
    repaint();
    // Not painted (hidden, or nothing of it on the screen): the canvas takes the picture.
    if (m_composePending) {
        m_composePending = false;
        m_canvasStale = true;
    }
}

bool MyTImage::composeIntoBackingStore(QPainter &painter, const QPaintEvent &event)
{
    // Only a paint of the whole surface into the window's own backing store: the widgets above
    // it are painted after it and over it, and a grab or a partial expose goes through the canvas.
    QBackingStore *const store = backingStore();
    QPaintEngine *const engine = painter.paintEngine();
    if (!store || !engine || engine->paintDevice() != store->paintDevice()
        || engine->paintDevice()->devType() != QInternal::Image
        || !(QRegion(rect()) - event.region()).isEmpty())
        return false;
    auto *const image = static_cast<QImage *>(engine->paintDevice());
    const qreal ratio = devicePixelRatioF();
    const QRect place((QPointF(mapTo(window(), QPoint(0, 0))) * ratio).toPoint(),
                      QSize(qRound(width() * ratio), qRound(height() * ratio)));
    const QImage::Format format = image->format();
    if (!image->rect().contains(place)
        || (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied))
        return false;
    // The very pixels the painter draws into: bits() could detach them from the window's buffer.
    const qsizetype stride = image->bytesPerLine();
    uchar *const pixels = const_cast<uchar *>(image->constBits());
    QImage view(pixels + place.top() * stride + place.left() * 4, place.width(), place.height(), stride,
                format);
    m_compose(view);
    return true;
}

void MyTImage::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    if (m_sharp) {
        if (m_composePending && composeIntoBackingStore(painter, *event)) {
            m_composePending = false;
            m_canvasStale = true;
            return;
        }
        if ((m_composePending || m_canvasStale) && m_compose)
            m_compose(sharpCanvas());
        m_composePending = m_canvasStale = false;
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
