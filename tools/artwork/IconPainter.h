// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Draws the program icon: a glossy red disc with dark "TF" lettering across it,
// with letter strokes placed by hand on the pixel grid of each size.

#include <QImage>
#include <QList>

class IconPainter
{
public:
    // The sizes the icon comes in, largest first.
    static QList<int> sizes();

    // An ARGB image of the icon; alpha is the disc's coverage of each pixel.
    // Throws std::invalid_argument for a size not in sizes().
    static QImage paint(int size);
};
