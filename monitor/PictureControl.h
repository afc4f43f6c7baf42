// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A picture control: shows one picture at its top-left corner, unscaled, and reports a left
// click (press and release over it) through clicked(). A disabled control takes no clicks.
#include <QImage>
#include <QWidget>

class PictureControl : public QWidget
{
    Q_OBJECT
public:
    explicit PictureControl(QWidget *parent = nullptr);

    // The control keeps its own copy; later changes to `picture` do not reach it.
    void setPicture(const QImage &picture);
    const QImage &picture() const { return m_picture; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QImage m_picture;
    bool m_pressed = false;
};
