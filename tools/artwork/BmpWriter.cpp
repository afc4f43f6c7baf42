// SPDX-License-Identifier: GPL-3.0-or-later
#include "BmpWriter.h"

#include <QImage>
#include <QtEndian>

#include <set>
#include <stdexcept>
#include <string>

namespace {

int rowStride(int width, int bitsPerPixel)
{
    return ((width * bitsPerPixel + 31) / 32) * 4;
}

// The image mapped onto a colour table of exactly its own colours.
QImage indexed(const QImage &image, int maxColours)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    std::set<QRgb> colours;
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        colours.insert(line, line + rgb.width());
    }
    if (int(colours.size()) > maxColours)
        throw std::invalid_argument("image has " + std::to_string(colours.size())
                                    + " colours, the palette holds " + std::to_string(maxColours));
    const QList<QRgb> table(colours.begin(), colours.end());
    return rgb.convertToFormat(QImage::Format_Indexed8, table, Qt::ThresholdDither | Qt::AvoidDither);
}

}   // namespace

QByteArray BmpWriter::encodeDib(const QImage &image, int bitsPerPixel, int heightField, int pixelsPerMeter,
                                int extraImageBytes)
{
    const bool palettised = bitsPerPixel == 4 || bitsPerPixel == 8;
    if (!palettised && bitsPerPixel != 24)
        throw std::invalid_argument("unsupported bit depth");
    const int paletteSize = palettised ? 1 << bitsPerPixel : 0;
    const QImage pixels =
        palettised ? indexed(image, paletteSize) : image.convertToFormat(QImage::Format_RGB32);
    const int width = image.width();
    const int height = image.height();
    const int stride = rowStride(width, bitsPerPixel);

    QByteArray out;
    put32(out, 40);
    put32(out, quint32(width));
    put32(out, quint32(heightField));
    put16(out, 1);
    put16(out, quint16(bitsPerPixel));
    put32(out, 0);   // BI_RGB, uncompressed
    put32(out, quint32(stride * height + extraImageBytes));
    put32(out, quint32(pixelsPerMeter));
    put32(out, quint32(pixelsPerMeter));
    put32(out, quint32(paletteSize));
    put32(out, 0);

    for (int i = 0; i < paletteSize; ++i) {
        const QRgb c = i < pixels.colorCount() ? pixels.color(i) : qRgb(0, 0, 0);
        out.append(char(qBlue(c)));
        out.append(char(qGreen(c)));
        out.append(char(qRed(c)));
        out.append(char(0));
    }

    // Rows bottom-up, each padded to a multiple of four bytes.
    for (int y = height - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        if (bitsPerPixel == 8) {
            const uchar *src = pixels.constScanLine(y);
            for (int x = 0; x < width; ++x)
                row[x] = char(src[x]);
        } else if (bitsPerPixel == 4) {
            const uchar *src = pixels.constScanLine(y);
            for (int x = 0; x < width; ++x)
                row[x / 2] = char(row[x / 2] | (x % 2 ? src[x] : src[x] << 4));
        } else {
            const QRgb *src = reinterpret_cast<const QRgb *>(pixels.constScanLine(y));
            for (int x = 0; x < width; ++x) {
                row[3 * x] = char(qBlue(src[x]));
                row[3 * x + 1] = char(qGreen(src[x]));
                row[3 * x + 2] = char(qRed(src[x]));
            }
        }
        out.append(row);
    }
    return out;
}

QByteArray BmpWriter::encode(const QImage &image, int bitsPerPixel)
{
    const QByteArray dib = encodeDib(image, bitsPerPixel, image.height(), kPixelsPerMeter72Dpi, 0);
    const int paletteBytes = (bitsPerPixel <= 8 ? 1 << bitsPerPixel : 0) * 4;

    QByteArray out;
    out.append("BM", 2);
    put32(out, quint32(14 + dib.size()));
    put16(out, 0);
    put16(out, 0);
    put32(out, quint32(14 + 40 + paletteBytes));
    out.append(dib);
    return out;
}

void BmpWriter::put16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void BmpWriter::put32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}
