// SPDX-License-Identifier: GPL-3.0-or-later
#include "IcoWriter.h"

#include "BmpWriter.h"

#include <QImage>
#include <QtEndian>

#include <stdexcept>

namespace {

// The AND mask: one bit per pixel, set where the icon is see-through, rows bottom-up.
QByteArray andMask(const QImage &argb)
{
    const int stride = ((argb.width() + 31) / 32) * 4;
    QByteArray mask;
    for (int y = argb.height() - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(argb.pixel(x, y)) < 128)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        }
        mask.append(row);
    }
    return mask;
}

}   // namespace

QByteArray IcoWriter::encode(const QList<QImage> &images)
{
    QList<QByteArray> entries;
    for (const QImage &image : images) {
        if (image.width() != image.height() || image.width() < 1 || image.width() > 255)
            throw std::invalid_argument("icon images must be square and at most 255 pixels");
        // Transparent pixels carry black in the colour part, as icon readers expect.
        QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        QImage colour(argb.size(), QImage::Format_RGB32);
        for (int y = 0; y < argb.height(); ++y)
            for (int x = 0; x < argb.width(); ++x) {
                const QRgb p = argb.pixel(x, y);
                colour.setPixel(x, y, qAlpha(p) < 128 ? qRgb(0, 0, 0) : qRgb(qRed(p), qGreen(p), qBlue(p)));
            }
        const QByteArray mask = andMask(argb);
        QByteArray dib = BmpWriter::encodeDib(colour, 24, 2 * image.height(), 0, mask.size());
        dib.append(mask);
        entries.append(dib);
    }

    QByteArray out;
    BmpWriter::put16(out, 0);
    BmpWriter::put16(out, 1);   // icon
    BmpWriter::put16(out, quint16(images.size()));
    quint32 offset = 6 + 16 * quint32(images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        out.append(char(images[i].width()));
        out.append(char(images[i].height()));
        out.append(char(0));   // no palette
        out.append(char(0));
        BmpWriter::put16(out, 1);    // planes
        BmpWriter::put16(out, 24);   // bits per pixel
        BmpWriter::put32(out, quint32(entries[i].size()));
        BmpWriter::put32(out, offset);
        offset += quint32(entries[i].size());
    }
    for (const QByteArray &e : entries)
        out.append(e);
    return out;
}
