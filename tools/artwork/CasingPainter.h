#pragma once
// Draws the monitor casing picture for one display size: a black casing with a
// shaded bezel around the screen area, a black control panel with the framed
// zoom-factor read-out, and lime key colour in the four rounded outer corners.

#include <QImage>
#include <QRect>

class CasingPainter
{
public:
    // screenWidth: 440, 640 or 800; throws std::invalid_argument otherwise.
    explicit CasingPainter(int screenWidth);

    QImage paint() const;

    QRect screenArea() const { return m_screen; }
    QRect readoutFrame() const { return m_readout; }
    QSize size() const { return m_size; }

    // Key-coloured pixels per corner row, counted from the outer edge.
    static constexpr int kCornerRows = 7;
    static constexpr int kCornerKeyPixels[kCornerRows] = {7, 5, 4, 3, 2, 1, 1};

private:
    double bezelGrey(int x, int y) const;
    double outlineGrey(int y) const;

    QSize m_size;
    QRect m_screen;
    QRect m_readout;
    int m_bezelBottom = 0;
};
