// SPDX-License-Identifier: GPL-3.0-or-later
#include "PictureControl.h"

#include <QMouseEvent>
#include <QPainter>

PictureControl::PictureControl(QWidget *parent) : QWidget(parent)
{
    // The picture covers the control completely: nothing behind it needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureControl::setPicture(const QImage &picture)
{
    m_picture = picture;   // implicitly shared: a later change to the original detaches it
    update();
}

void PictureControl::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    painter.fillRect(area, Qt::black);
    painter.drawImage(area.topLeft(), m_picture, area);
}

void PictureControl::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_pressed = true;
}

void PictureControl::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const bool click = m_pressed && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        emit clicked();
}
