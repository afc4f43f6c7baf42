// SPDX-License-Identifier: GPL-3.0-or-later
#include "IconPainter.h"

#include <QRect>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace {

struct Lettering
{
    int size;
    int stroke;
    QRect letters[5];   // T bar, T stem, F stem, F top bar, F middle bar
};

// T and F are all straight strokes, so each size gets whole-pixel rectangles:
// 1-pixel strokes at 16, 2 at 32, 3 at 48, the pair centred on the disc.
const Lettering kLettering[] = {
    {48,
     3,
     {QRect(8, 14, 15, 3), QRect(14, 14, 3, 20), QRect(27, 14, 3, 20), QRect(27, 14, 13, 3),
      QRect(27, 23, 10, 3)}},
    {32,
     2,
     {QRect(5, 9, 10, 2), QRect(9, 9, 2, 14), QRect(18, 9, 2, 14), QRect(18, 9, 9, 2), QRect(18, 15, 7, 2)}},
    {16, 1, {QRect(3, 4, 5, 1), QRect(5, 4, 1, 7), QRect(9, 4, 1, 7), QRect(9, 4, 4, 1), QRect(9, 7, 3, 1)}},
};

const QRgb kInk = qRgb(38, 6, 6);
const QRgb kEmboss = qRgb(222, 72, 62);

double mix(double a, double b, double t)
{
    return a + (b - a) * t;
}

// The disc's colour at a point, from its centre-relative position in radii:
// a deep red lit from the upper left, darkening towards the rim.
QRgb discColour(double u, double v, double pixelRadius)
{
    const double r = std::hypot(u, v);
    const double light = std::clamp(0.5 - 0.45 * (u + v) / std::sqrt(2.0), 0.0, 1.0);
    double red = mix(150, 235, light);
    double green = mix(8, 40, light * light);
    double blue = mix(8, 34, light * light);
    // A soft specular spot up left.
    const double spot = std::exp(-(std::pow(u + 0.38, 2) + std::pow(v + 0.42, 2)) / 0.06);
    red = mix(red, 255, 0.5 * spot);
    green = mix(green, 150, 0.5 * spot);
    blue = mix(blue, 140, 0.5 * spot);
    // A darker rim, about one pixel wide at every size.
    const double rim = std::clamp((r - (1.0 - 1.2 / pixelRadius)) * pixelRadius, 0.0, 1.0);
    red = mix(red, 110, rim);
    green = mix(green, 0, rim);
    blue = mix(blue, 0, rim);
    return qRgb(int(std::lround(red)), int(std::lround(green)), int(std::lround(blue)));
}

}   // namespace

QList<int> IconPainter::sizes()
{
    return {48, 32, 16};
}

QImage IconPainter::paint(int size)
{
    const Lettering *lettering = nullptr;
    for (const Lettering &l : kLettering)
        if (l.size == size)
            lettering = &l;
    if (!lettering)
        throw std::invalid_argument("no icon of size " + std::to_string(size));

    QImage image(size, size, QImage::Format_ARGB32);
    const double radius = size / 2.0;
    constexpr int kSamples = 8;   // per axis, for the disc's edge coverage
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            int inside = 0;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double px = x + (sx + 0.5) / kSamples - radius;
                    const double py = y + (sy + 0.5) / kSamples - radius;
                    inside += px * px + py * py <= radius * radius;
                }
            const double u = (x + 0.5 - radius) / radius;
            const double v = (y + 0.5 - radius) / radius;
            const QRgb c = discColour(u, v, radius);
            const int alpha = (inside * 255 + kSamples * kSamples / 2) / (kSamples * kSamples);
            image.setPixel(x, y, qRgba(qRed(c), qGreen(c), qBlue(c), alpha));
        }

    // Letters pressed into the disc: a lit edge below and right of each stroke
    // (from 32 pixels up), then the ink itself.
    auto fill = [&](const QRect &r, QRgb colour) {
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                image.setPixel(x, y, colour);
    };
    if (lettering->stroke > 1)
        for (const QRect &r : lettering->letters)
            fill(r.translated(1, 1), kEmboss);
    for (const QRect &r : lettering->letters)
        fill(r, kInk);
    return image;
}
