// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScreenCheck.h"
#include "JpegImage.h"
#include "KeyframeStore.h"

#include <algorithm>

PixelDiff comparePixels(const QImage &actual, const QImage &expected)
{
    PixelDiff diff;
    if (actual.size() != expected.size()) {
        diff.count = -1;
        return diff;
    }
    const QImage a = actual.convertToFormat(QImage::Format_RGB32);
    const QImage e = expected.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < a.height(); ++y) {
        const auto *pa = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const auto *pe = reinterpret_cast<const QRgb *>(e.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            if ((pa[x] | 0xff000000u) == (pe[x] | 0xff000000u))
                continue;
            if (diff.count++ == 0) {
                diff.first = QPoint(x, y);
                diff.expected = pe[x];
                diff.actual = pa[x];
            }
        }
    }
    return diff;
}

QString PixelDiff::describe() const
{
    if (count < 0)
        return QStringLiteral("the pictures differ in size");
    if (count == 0)
        return QStringLiteral("identical");
    return QStringLiteral("%1 pixels differ, the first at (%2, %3): #%4 instead of #%5")
        .arg(count)
        .arg(first.x())
        .arg(first.y())
        .arg(actual & 0xffffff, 6, 16, QLatin1Char('0'))
        .arg(expected & 0xffffff, 6, 16, QLatin1Char('0'));
}

QImage keyframePicture(int number)
{
    const QByteArray bytes = keyframeBytes(number);
    QImage picture;
    JpegImage().decodeInto(reinterpret_cast<const uchar *>(bytes.constData()), std::size_t(bytes.size()),
                           picture);
    return picture;
}

QImage keyframeCentre(int number, QSize size)
{
    const QImage picture = keyframePicture(number);
    return picture.copy((picture.width() - size.width()) / 2, (picture.height() - size.height()) / 2,
                        size.width(), size.height());
}

int leftmostGreenColumn(const QImage &image, const QRect &region)
{
    // Anti-aliased text mixes the green into the black; the casing's grey frame has no hue.
    for (int x = region.left(); x <= region.right(); ++x)
        for (int y = region.top(); y <= region.bottom(); ++y) {
            const QRgb p = image.pixel(x, y);
            if (qGreen(p) - std::max(qRed(p), qBlue(p)) > 60)
                return x;
        }
    return -1;
}
