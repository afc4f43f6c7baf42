// SPDX-License-Identifier: GPL-3.0-or-later
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

private:
    double bezelGrey(int x, int y) const;
    double outlineGrey(int y) const;

    QSize m_size;
    QRect m_screen;
    QRect m_readout;
    int m_bezelBottom = 0;
};
