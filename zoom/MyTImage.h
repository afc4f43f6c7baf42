// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A display surface of the zoom window. In the original presentation: an 800 x 600 canvas
// painted 1:1 at the window's top-left corner, the window clipping it to the visible view. In the
// sharp one: a canvas of the picture's size in device pixels, painted over the picture's place.
#include <QImage>
#include <QWidget>

#include <functional>

class MyTImage : public QWidget
{
public:
    explicit MyTImage(QWidget *owner);

    // The surface's picture. The first use gives it a bitmap of the surface's size.
    QImage &canvas();
    bool hasPicture() const { return !m_canvas.isNull(); }

    // Switches between the presentations; `place` is the picture's place in the window.
    void showSharp(bool sharp, const QRect &place);
    bool isSharp() const { return m_sharp; }
    // The sharp canvas, sized to the surface in device pixels.
    QImage &sharpCanvas();
    // Composes the sharp picture with `compose` and shows it at once: straight into the window's
    // backing store where the surface is painted whole into it, else into the sharp canvas.
    void showComposed(const std::function<void(QImage &)> &compose);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool composeIntoBackingStore(QPainter &painter, const QPaintEvent &event);

    QImage m_canvas;
    QImage m_sharpCanvas;
    bool m_sharp = false;
    std::function<void(QImage &)> m_compose;   // the last picture shown, composed anew on demand
    bool m_composePending = false;             // during showComposed's repaint
    bool m_canvasStale = false;                // the last picture went past the canvas
};
