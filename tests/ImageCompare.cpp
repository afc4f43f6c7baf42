// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImageCompare.h"

#include <QImage>
#include <cmath>

double psnr(const QImage &a, const QImage &b, const QImage *mask)
{
    double sum = 0;
    double count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if (mask && !qRed(mask->pixel(x, y)))
                continue;
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            for (int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)})
                sum += double(d) * d;
            count += 3;
        }
    return count > 0 && sum > 0 ? 10 * std::log10(255.0 * 255.0 * count / sum) : 99.0;
}
