#include "MyTImage.h"
#include "ZoomState.h"

#include <QPainter>
#include <QPaintEvent>

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
        m_canvas = QImage(width(), height(), QImage::Format_RGB32);
        m_canvas.fill(Qt::black);
    }
    return m_canvas;
}

void MyTImage::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    if (m_canvas.isNull())
        painter.fillRect(event->rect(), Qt::black);
    else
        painter.drawImage(event->rect().topLeft(), m_canvas, event->rect());
}
