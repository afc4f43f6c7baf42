// SPDX-License-Identifier: GPL-3.0-or-later
#include "SyntheticKeyframes.h"

#include <turbojpeg.h>

#include <cmath>
#include <map>
#include <mutex>
#include <numbers>

QByteArray encodeJpeg(const QImage &picture)
{
    // Straight from the RGB32 pixels (BGRX bytes): Qt's format conversion would run on its own
    // thread pool, which the thread sanitizer cannot see into.
    Q_ASSERT(picture.format() == QImage::Format_RGB32);
    tjhandle handle = tjInitCompress();
    unsigned char *jpeg = nullptr;
    unsigned long size = 0;
    constexpr int pixelFormat = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? TJPF_BGRX : TJPF_XRGB;
    const int rc = tjCompress2(handle, picture.constBits(), picture.width(), int(picture.bytesPerLine()),
                               picture.height(), pixelFormat, &jpeg, &size, TJSAMP_444, 100, 0);
    QByteArray bytes =
        rc == 0 ? QByteArray(reinterpret_cast<const char *>(jpeg), qsizetype(size)) : QByteArray();
    tjFree(jpeg);
    tjDestroy(handle);
    return bytes;
}

QRgb keyframeColour(int number)
{
    return qRgb(number * 4, 255 - number * 4, 128);
}

namespace {
QByteArray cached(std::map<int, QByteArray> &cache, int number, QImage (*make)(int))
{
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    QByteArray &bytes = cache[number];
    if (bytes.isEmpty())
        bytes = encodeJpeg(make(number));
    return bytes;
}

QImage flatPicture(int number, int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(keyframeColour(number));
    return picture;
}
}

QByteArray colourKeyframe(int number)
{
    static std::map<int, QByteArray> cache;
    return cached(cache, number, [](int n) { return flatPicture(n, 800, 600); });
}

QByteArray smallColourKeyframe(int number)
{
    static std::map<int, QByteArray> cache;
    return cached(cache, number, [](int n) { return flatPicture(n, 16, 12); });
}

int keyframeNumberOf(const QImage &bitmap)
{
    if (bitmap.isNull())
        return 0;
    const QRgb pixel = bitmap.pixel(bitmap.width() / 2, bitmap.height() / 2);
    int best = 0, bestDistance = 1 << 30;
    for (int n = 1; n <= 63; ++n) {
        const QRgb c = keyframeColour(n);
        const int distance = std::abs(qRed(pixel) - qRed(c)) + std::abs(qGreen(pixel) - qGreen(c))
            + std::abs(qBlue(pixel) - qBlue(c));
        if (distance < bestDistance) {
            best = n;
            bestDistance = distance;
        }
    }
    return bestDistance <= 6 ? best : -1;
}

QImage twofoldPicture(int number)
{
    // Keyframe 2 spans [-400, 400] x [-300, 300] in picture units; keyframe n is 2^(n-2) deeper.
    QImage picture(800, 600, QImage::Format_RGB32);
    const double unit = std::ldexp(1.0, 2 - number);
    for (int py = 0; py < 600; ++py) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(py));
        for (int px = 0; px < 800; ++px) {
            const double x = (px + 0.5 - 400) * unit, y = (py + 0.5 - 300) * unit;
            const double r = std::sqrt(x * x + y * y);
            const double depth = std::log2(r / 400);   // 0 at the rim, falls toward the centre
            // Two spirals, cos(angle + 0.7 depth) and cos(2 angle - 0.3 depth + pi/3), through
            // the angle's cosine and sine x/r and y/r.
            const double c = x / r, s = y / r;
            const double c2 = c * c - s * s, s2 = 2 * c * s;
            const double phase1 = 0.7 * depth, phase2 = -0.3 * depth + std::numbers::pi / 3;
            const double spiral1 = c * std::cos(phase1) - s * std::sin(phase1);
            const double spiral2 = c2 * std::cos(phase2) - s2 * std::sin(phase2);
            line[px] = qRgb(int(128 + 100 * std::cos(0.9 * depth)), int(128 + 100 * spiral1),
                            int(128 + 100 * spiral2));
        }
    }
    return picture;
}

QByteArray twofoldKeyframe(int number)
{
    static std::map<int, QByteArray> cache;
    return cached(cache, number, twofoldPicture);
}
