// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small hand-set proportional pixel font for the captions of the picture
// buttons: capitals 8 pixels high, x-height 6, descenders 2, one-pixel stems,
// so the words stay crisp at 1:1 and come out the same on every machine.

#include <QRgb>
#include <QString>

class QImage;

class PixelFont
{
public:
    static constexpr int kRows = 10;      // glyph rows: ascender/capital top to descender bottom
    static constexpr int kBaseline = 7;   // the last row that capitals cover

    // Width in pixels with one pixel between letters; throws std::invalid_argument
    // for a letter the font lacks.
    static int textWidth(const QString &text);

    // Draws text with the top of its capitals at (left, top).
    static void draw(QImage &image, int left, int top, const QString &text, QRgb colour);
};
