// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Encodes images as uncompressed Windows bitmaps (BITMAPINFOHEADER) at 72 dpi.
// Palettised output lists exactly the colours in use, in ascending RGB order,
// padded with black to the full 2^bpp entries, so every pixel keeps its colour.

#include <QByteArray>

class QImage;

class BmpWriter
{
public:
    // bitsPerPixel 4 or 8 (at most 2^bpp distinct colours, else std::invalid_argument)
    // or 24. Alpha is dropped.
    static QByteArray encode(const QImage &image, int bitsPerPixel);

    // The info header plus pixel rows without the 14-byte file header, as icon
    // files carry them; heightField is written as the header's height.
    static QByteArray encodeDib(const QImage &image, int bitsPerPixel, int heightField, int pixelsPerMeter,
                                int extraImageBytes);

    static constexpr int kPixelsPerMeter72Dpi = 2835;

    // Little-endian fields as the Windows file headers store them (also used for icon files).
    static void put16(QByteArray &out, quint16 value);
    static void put32(QByteArray &out, quint32 value);
};
