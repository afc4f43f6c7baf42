// SPDX-License-Identifier: GPL-3.0-or-later
// RenderFrame per display size: through the window-less host (the copy and the read-out alone)
// and through the real zoom window (with the synchronous repaint of the surface).
#include "BenchSupport.h"
#include "FrameRenderer.h"
#include "KeyframeStore.h"
#include "PlayerWindows.h"
#include "StandInHost.h"
#include "StretchCopy.h"
#include "TfmZoom.h"
#include "ZoomState.h"

#include <QCoreApplication>
#include <QPainter>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {
struct Size
{
    const char *name;
    int width, height;
    void (TfmZoom::*choose)();
};
const Size sizes[] = {{"klein", 440, 330, &TfmZoom::klein1Click},
                      {"mittel", 640, 480, &TfmZoom::mittel1Click},
                      {"gross", 800, 600, &TfmZoom::gross1Click}};

constexpr int rounds = 60;
constexpr int scalesPerSegment = 18;   // one segment at the start value 1.04

void setSize(const Size &size)
{
    ZoomState.viewWidth = size.width;
    ZoomState.viewHeight = size.height;
    ZoomState.viewRatio = double(size.width) / ZoomState.frameWidth;
}

// The keyframe rectangle RenderFrame copies at the current scale (computed without drawing).
QRect sourceRectangle()
{
    ZoomHost *const host = zoomHost;
    zoomHost = nullptr;
    RenderFrame();
    zoomHost = host;
    return QRect(sourceRect.left, sourceRect.top, sourceRect.width(), sourceRect.height());
}

// Median time of `call` over the scales of one zoom segment, repeated; `call` gets the keyframe
// rectangle of the scale.
double medianOverASegment(const std::function<void(const QRect &)> &call,
                          const std::function<void()> &between = {})
{
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        for (int k = 0; k < scalesPerSegment; ++k) {
            ZoomState.scale = std::pow(1.04, k);
            const QRect source = sourceRectangle();
            const auto start = BenchClock::now();
            call(source);
            times.push_back(millisecondsSince(start));
            if (between)
                between();
        }
    }
    return median(times);
}

void renderFrame(const QRect &)
{
    RenderFrame();
}
}

void benchRender()
{
    LoadKeyframe('A', 30);
    ZoomState.activeBitmap = 'A';
    ZoomState.totalZoom = std::ldexp(1.0L, 40) * 1.5L;

    std::printf("RenderFrame, median per call over one zoom segment (ms)\n");
    std::printf("%-8s %12s %12s %12s %14s %14s\n", "size", "stretch", "QPainter", "stand-in", "zoom window",
                "+paint events");
    for (const Size &size : sizes) {
        setSize(size);
        QImage canvas(800, 600, QImage::Format_RGB32);
        const QRect target(0, 0, size.width, size.height);
        const double stretch = medianOverASegment(
            [&](const QRect &source) { stretchCopy(ZoomState.bitmapA, source, canvas, target); });
        const double painter = medianOverASegment([&](const QRect &source) {
            QPainter p(&canvas);
            p.setCompositionMode(QPainter::CompositionMode_Source);
            p.drawImage(target, ZoomState.bitmapA, source);
        });

        double standIn = 0;
        {
            StandInHost host;
            standIn = medianOverASegment(renderFrame);
        }
        useZoomWindowAsHost();

        double window = -1, withEvents = -1;
        if (ensurePlayerWindows()) {
            (fmZoom->*size.choose)();
            LoadKeyframe('A', 30);
            ZoomState.activeBitmap = 'A';
            QCoreApplication::processEvents();
            window = medianOverASegment(renderFrame, [] { QCoreApplication::processEvents(); });
            withEvents = medianOverASegment([](const QRect &) {
                RenderFrame();
                QCoreApplication::processEvents();
            });
        }
        std::printf("%-8s %12.3f %12.3f %12.3f %14.3f %14.3f\n", size.name, stretch, painter, standIn, window,
                    withEvents);
    }
    std::printf(
        "(stretch: the engine's nearest-neighbour copy alone; QPainter: drawImage of the same\n"
        " rectangles for comparison; +paint events: RenderFrame and the label repaints it causes)\n\n");
}
