// SPDX-License-Identifier: GPL-3.0-or-later
// A whole zoom run at the fastest settings with real timers: how many ticks the loader made
// wait, and how many ticks per second really came.
#include "BenchSupport.h"
#include "PlayerWindows.h"
#include "SharpLayers.h"
#include "StandInHost.h"
#include "TfmMonitor.h"
#include "TfmZoom.h"
#include "ZoomState.h"
#include "ZoomStepping.h"

#include <QEventLoop>
#include <QImage>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {
struct RunFigures
{
    int ticks = 0;
    int refused = 0;
    double seconds = 0;
    bool reachedEnd = false;
};

// Zooms in from the start card to the end card: `start` starts the run, `inTimer` is zgZoomIn.
RunFigures zoomRun(QTimer &inTimer, const std::function<void()> &start)
{
    ZoomState.frameRate = 60;                     // "maximal": 1000 / 60 = 16 ms
    ZoomState.stepFactor = std::pow(2.0, 0.25);   // speed position 100, about 1.1891161
    ZoomState.repeatMode = QStringLiteral("OFF");
    GoToStart();

    RunFigures figures;
    double lastScale = 0;
    int lastFrame = 0;
    QEventLoop loop;
    // Runs after the engine's own tick handler, which was connected first.
    const QMetaObject::Connection counter = QObject::connect(&inTimer, &QTimer::timeout, [&] {
        ++figures.ticks;
        if (ZoomState.scale == lastScale && currentFrame == lastFrame)
            ++figures.refused;
        lastScale = ZoomState.scale;
        lastFrame = currentFrame;
        if (currentFrame == ZoomState.lastFrame + 1) {
            figures.reachedEnd = true;
            loop.quit();
        }
    });
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    const auto begin = BenchClock::now();
    start();
    lastScale = ZoomState.scale;
    lastFrame = currentFrame;
    loop.exec();
    figures.seconds = millisecondsSince(begin) / 1000;
    QObject::disconnect(counter);
    return figures;
}

void printRun(const char *host, const RunFigures &f)
{
    std::printf("%-18s %7d %8d %10.2f %12.1f %10s\n", host, f.ticks, f.refused, f.seconds,
                f.ticks / f.seconds, f.reachedEnd ? "yes" : "NO");
}
}

void benchZoomRun()
{
    std::printf("Whole zoom run, keyframe 2 to the end card, 16 ms interval, stepFactor 2^(1/4)\n");
    std::printf("%-18s %7s %8s %10s %12s %10s\n", "host", "ticks", "refused", "seconds", "ticks/s",
                "reached end");
    {
        StandInHost host;
        printRun("stand-in", zoomRun(host.zgZoomIn, [] { zoomHost->startZoomingIn(); }));
    }
    useZoomWindowAsHost();
    if (ensurePlayerWindows()) {
        printRun("zoom window", zoomRun(*fmZoom->zgZoomIn, [] { fmMonitor->bsVorwaertsClick(); }));
        fmZoom->gross1Click();
        fmZoom->Scharf1Click();
        const QString sharp = QStringLiteral("sharp, groß x%1").arg(fmZoom->devicePixelRatioF());
        printRun(qPrintable(sharp), zoomRun(*fmZoom->zgZoomIn, [] { fmMonitor->bsVorwaertsClick(); }));
        // Full screen on this screen, with the HD copies where the build made them.
        const HdKeyframeSet hd = builtHdKeyframes();
        if (hd.isAvailable())
            sharpLayers().setHdSource([hd](int number, QImage &target) { hd.decode(number, target); });
        fmZoom->setFullScreenView(true);
        const QString full = QStringLiteral("full screen %1x%2").arg(fmZoom->width()).arg(fmZoom->height());
        printRun(qPrintable(full), zoomRun(*fmZoom->zgZoomIn, [] { fmMonitor->bsVorwaertsClick(); }));
        fmZoom->setFullScreenView(false);
        sharpLayers().setHdSource({});
        fmZoom->Original1Click();
        fmZoom->mittel1Click();
    }
    std::printf("(ideal: 62.5 ticks/s; refused: ticks that found the next keyframe, or in the sharp view\n"
                " its deeper keyframes, not yet decoded)\n\n");
}
