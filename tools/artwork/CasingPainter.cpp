// SPDX-License-Identifier: GPL-3.0-or-later
#include "CasingPainter.h"

#include <QColor>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <stdexcept>
#include <string>

namespace {

struct SizeLayout
{
    int screenWidth;
    QRect readout;   // left, top, right, bottom inclusive
};

// The read-out frame sits behind the three zoom-factor labels of each display size.
const SizeLayout kLayouts[] = {
    {440, QRect(QPoint(264, 382), QPoint(443, 435))},
    {640, QRect(QPoint(359, 532), QPoint(538, 585))},
    {800, QRect(QPoint(555, 652), QPoint(734, 705))},
};

constexpr int kScreenLeft = 32;
constexpr int kScreenTop = 24;
constexpr int kBottomBezel = 16;   // bezel rows below the screen frame
constexpr int kFrameGrey = 120;
constexpr int kBezelMaxGrey = 66;   // the brightest bezel shade
constexpr int kRimGrey = 34;        // the casing edge along the top
constexpr int kOutlineFade = 140;   // rows over which the edge brightens to the lower outline

double smooth(double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// Bezel shades in steps of 3 and outline shades in steps of 8 keep the palette small
// while the steps stay invisible on the dark bezel.
int quantise(double grey, int step)
{
    return std::clamp(int(std::lround(grey / step)) * step, 0, 255);
}

// Key-coloured pixels per corner row, counted from the outer edge: with the key
// colour see-through, the casing gets rounded corners.
constexpr int kCornerKeyPixels[] = {7, 5, 4, 3, 2, 1, 1};

bool isKeyPixel(int x, int y, int width, int height)
{
    const int row = std::min(y, height - 1 - y);
    const int col = std::min(x, width - 1 - x);
    return row < int(std::size(kCornerKeyPixels)) && col < kCornerKeyPixels[row];
}

}   // namespace

CasingPainter::CasingPainter(int screenWidth)
{
    const SizeLayout *layout = nullptr;
    for (const SizeLayout &l : kLayouts)
        if (l.screenWidth == screenWidth)
            layout = &l;
    if (!layout)
        throw std::invalid_argument("no casing for screen width " + std::to_string(screenWidth));
    const int screenHeight = screenWidth * 3 / 4;
    m_size = QSize(screenWidth + 64, screenHeight + 120);
    m_screen = QRect(kScreenLeft, kScreenTop, screenWidth, screenHeight);
    m_readout = layout->readout;
    m_bezelBottom = m_screen.bottom() + 1 + kBottomBezel;
}

// The bezel is a sunken frame lit from above: each side is a face running from
// black at the casing edge to dark grey at the screen frame, the faces meeting
// on mitre lines at the corners like a moulded front.
double CasingPainter::bezelGrey(int x, int y) const
{
    const QRect frame = m_screen.adjusted(-1, -1, 1, 1);
    const double tLeft = double(x) / frame.left();
    const double tRight = double(m_size.width() - 1 - x) / (m_size.width() - 1 - frame.right());
    const double tTop = double(y) / frame.top();
    const double tBottom = double(m_bezelBottom - y) / (m_bezelBottom - frame.bottom());

    struct Face
    {
        double t;
        double light;
    };
    const Face faces[] = {{tTop, 0.62}, {tLeft, 0.80}, {tRight, 0.70}, {tBottom, 1.0}};
    const Face nearest = *std::min_element(std::begin(faces), std::end(faces),
                                           [](const Face &a, const Face &b) { return a.t < b.t; });
    const double t = std::clamp(nearest.t, 0.0, 1.0);
    // A flat front that deepens into the slope.
    double grey = kBezelMaxGrey * nearest.light * (0.35 * smooth(t / 0.45) + 0.65 * smooth((t - 0.4) / 0.6));
    // The two pixels next to the frame lie in shadow, so the screen looks set in.
    const int gap = std::max({frame.left() - x, x - frame.right(), frame.top() - y, y - frame.bottom()});
    if (gap == 1)
        grey *= 0.45;
    else if (gap == 2)
        grey *= 0.8;
    return grey;
}

// The casing edge is grey along the panel and fades to a dim rim towards the top.
double CasingPainter::outlineGrey(int y) const
{
    const double t = double(m_bezelBottom - y) / kOutlineFade;
    return kFrameGrey + (kRimGrey - kFrameGrey) * smooth(t);
}

QImage CasingPainter::paint() const
{
    const int w = m_size.width();
    const int h = m_size.height();
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(qRgb(0, 0, 0));
    auto set = [&](int x, int y, int grey) { image.setPixel(x, y, qRgb(grey, grey, grey)); };

    const QRect frame = m_screen.adjusted(-1, -1, 1, 1);
    for (int y = 0; y <= m_bezelBottom; ++y)
        for (int x = 0; x < w; ++x)
            if (!frame.contains(x, y))
                set(x, y, quantise(bezelGrey(x, y), 3));

    // Screen frame; the screen itself stays black.
    for (int x = frame.left(); x <= frame.right(); ++x) {
        set(x, frame.top(), kFrameGrey);
        set(x, frame.bottom(), kFrameGrey);
    }
    for (int y = frame.top(); y <= frame.bottom(); ++y) {
        set(frame.left(), y, kFrameGrey);
        set(frame.right(), y, kFrameGrey);
    }

    // Read-out frame: a rounded rectangle whose corners step in by 3, 1 and 1 pixels.
    const QRect r = m_readout;
    for (int x = r.left() + 3; x <= r.right() - 3; ++x) {
        set(x, r.top(), kFrameGrey);
        set(x, r.bottom(), kFrameGrey);
    }
    for (int y = r.top() + 3; y <= r.bottom() - 3; ++y) {
        set(r.left(), y, kFrameGrey);
        set(r.right(), y, kFrameGrey);
    }
    const QPoint cornerSteps[] = {{1, 1}, {2, 1}, {1, 2}};
    for (const QPoint &p : cornerSteps) {
        set(r.left() + p.x(), r.top() + p.y(), kFrameGrey);
        set(r.right() - p.x(), r.top() + p.y(), kFrameGrey);
        set(r.left() + p.x(), r.bottom() - p.y(), kFrameGrey);
        set(r.right() - p.x(), r.bottom() - p.y(), kFrameGrey);
    }

    // Key colour in the corners; the casing outline on every pixel that touches a
    // key pixel or the picture's edge.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (isKeyPixel(x, y, w, h)) {
                image.setPixel(x, y, qRgb(0, 255, 0));
                continue;
            }
            const bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1 || isKeyPixel(x - 1, y, w, h)
                || isKeyPixel(x + 1, y, w, h) || isKeyPixel(x, y - 1, w, h) || isKeyPixel(x, y + 1, w, h);
            if (edge)
                set(x, y, quantise(outlineGrey(y), 8));
        }
    return image;
}
