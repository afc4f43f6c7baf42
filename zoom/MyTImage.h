#pragma once
// A display surface of the zoom window: an 800 x 600 canvas painted 1:1 at the window's top-left
// corner. The window is smaller than the surface and clips it to the visible zoom view.
#include <QImage>
#include <QWidget>

class MyTImage : public QWidget
{
public:
    explicit MyTImage(QWidget *owner);

    // The surface's picture. The first use gives it a bitmap of the surface's size.
    QImage &canvas();
    bool hasPicture() const { return !m_canvas.isNull(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_canvas;
};
