// SPDX-License-Identifier: GPL-3.0-or-later
// The sharp presentation against the original one, measured side by side in one run: the cost
// of a frame, how faithfully the picture's centre shows the deeper keyframes, and how large the
// change from one frame to the next is at a keyframe swap compared with any other frame; and the
// one-pass compositor against the former QPainter drawing of the same view.
#include "BenchSupport.h"
#include "FrameRenderer.h"
#include "KeyframeStore.h"
#include "MyThread.h"
#include "PainterSharpView.h"
#include "PlayerWindows.h"
#include "SharpFrame.h"
#include "SharpLayers.h"
#include "StandInHost.h"
#include "StretchCopy.h"
#include "TfmZoom.h"
#include "ZoomState.h"
#include "ZoomStepping.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>

namespace {
constexpr int rounds = 40;
constexpr int scalesPerSegment = 18;
constexpr int benchFrame = 30;

void setGross()
{
    ZoomState.viewWidth = 800;
    ZoomState.viewHeight = 600;
    ZoomState.viewRatio = 1.0;
}

// Waits (the loader works meanwhile) until the sharp view of keyframe `frame` has its layers.
void waitForLayers(int frame)
{
    for (int i = 0; i < 2000 && !(sharpLayersReady(frame) && ZoomState.nextReady.load()); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

void showKeyframe(int frame)
{
    LoadKeyframe('A', frame);
    LoadKeyframe('B', frame + 1);
    ZoomState.activeBitmap = 'A';
    currentFrame = frame;
    keepSharpLayersAround(frame);
    waitForLayers(frame);
}

struct Times
{
    double median, p99, cpu;
};

Times timeOverASegment(const std::function<void()> &call, const std::function<void()> &between = {})
{
    std::vector<double> times, cpu;
    for (int round = 0; round < rounds; ++round)
        for (int k = 0; k < scalesPerSegment; ++k) {
            ZoomState.scale = std::pow(1.04, k);
            const double cpuStart = processMilliseconds();
            const auto start = BenchClock::now();
            call();
            times.push_back(millisecondsSince(start));
            cpu.push_back(processMilliseconds() - cpuStart);
            if (between)
                between();
        }
    return {median(times), percentile(times, 0.99), median(cpu)};
}

void printHeading()
{
    std::printf("%-34s %9s %9s %9s %9s %9s %9s\n", "", "orig med", "orig p99", "orig cpu", "sharp med",
                "sharp p99", "sharp cpu");
}

void printTimes(const char *what, Times original, Times sharp)
{
    std::printf("%-34s %9.3f %9.3f %9.3f %9.3f %9.3f %9.3f\n", what, original.median, original.p99,
                original.cpu, sharp.median, sharp.p99, sharp.cpu);
}

// The layers renderSharpView composes for keyframe `frame`, for the former drawing.
struct ShownLayers
{
    KeyframeLayer layers[3];
    std::array<const KeyframeLayer *, 3> pointers() const { return {&layers[0], &layers[1], &layers[2]}; }
};

ShownLayers shownLayers(int frame)
{
    ShownLayers shown;
    shown.layers[0].full = keyframeBitmap(ZoomState.activeBitmap.load());
    for (int depth = 1; depth < 3; ++depth)
        shown.layers[depth] = sharpLayers().layer(frame + depth);
    return shown;
}

// The composition alone, into canvases of the device size: the one-pass compositor, the former
// QPainter drawing layer by layer, and one smooth enlargement of the keyframe over the whole canvas.
void benchComposition()
{
    std::printf("Composition alone, ms per frame over one segment (keyframe %d); new: one-pass compositor,\n"
                "old: QPainter layer by layer, smooth: one smooth enlargement over the canvas\n",
                benchFrame);
    std::printf("%-34s %8s %8s %8s %8s %8s %8s %8s %8s\n", "", "orig med", "new med", "new p99", "new cpu",
                "old med", "old p99", "smth med", "smth p99");
    setGross();
    setSharpPresentation(true);
    showKeyframe(benchFrame);
    const ShownLayers shown = shownLayers(benchFrame);
    QImage original(800, 600, QImage::Format_RGB32);
    struct Config
    {
        const char *name;
        QSize device;
        double region;
    };
    for (const Config &config :
         {Config{"gross x1 (800x600)", {800, 600}, 800}, Config{"gross x2 (1600x1200)", {1600, 1200}, 800},
          Config{"full screen 1920x1080 (1440x1080)", {1440, 1080}, 800},
          Config{"full screen 3840x2160 (2880x2160)", {2880, 2160}, 800}}) {
        QImage canvas(config.device, QImage::Format_RGB32);
        const Times orig = timeOverASegment([&] {
            ZoomHost *const host = zoomHost;
            zoomHost = nullptr;
            RenderFrame();   // the rectangles only
            zoomHost = host;
            stretchCopy(ZoomState.bitmapA,
                        QRect(sourceRect.left, sourceRect.top, sourceRect.width(), sourceRect.height()),
                        original, QRect(0, 0, 800, 600));
        });
        const Times now = timeOverASegment([&] { renderSharpView(canvas, config.region); });
        const Times before = timeOverASegment([&] {
            composeSharpViewWithPainter(canvas, shown.pointers().data(), ZoomState.scale, config.region);
        });
        const Times smooth = timeOverASegment([&] {
            QPainter painter(&canvas);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(QRectF(canvas.rect()), ZoomState.bitmapA, QRectF(200, 150, 400, 300));
        });
        std::printf("%-34s %8.3f %8.3f %8.3f %8.3f %8.3f %8.3f %8.3f %8.3f\n", config.name, orig.median,
                    now.median, now.p99, now.cpu, before.median, before.p99, smooth.median, smooth.p99);
    }
    setSharpPresentation(false);
    std::printf("(original: the nearest-neighbour copy at 800 x 600, which the screen enlarges)\n\n");
}

// RenderFrame through the real zoom window, with its synchronous repaint, at the process's
// device pixel ratio; and in full screen on this screen.
void benchWindow()
{
    if (!ensurePlayerWindows())
        return;
    useZoomWindowAsHost();
    const qreal ratio = fmZoom->devicePixelRatioF();
    std::printf("RenderFrame through the zoom window (device pixel ratio %.0f), ms per frame incl. the\n"
                "synchronous repaint\n",
                ratio);
    printHeading();
    const auto measure = [](bool sharp) {
        sharp ? fmZoom->Scharf1Click() : fmZoom->Original1Click();
        showKeyframe(benchFrame);
        QCoreApplication::processEvents();
        return timeOverASegment([] { RenderFrame(); }, [] { QCoreApplication::processEvents(); });
    };
    fmZoom->gross1Click();
    const Times orig = measure(false);
    const Times sharp = measure(true);
    printTimes(qPrintable(QStringLiteral("gross x%1").arg(ratio)), orig, sharp);

    fmZoom->setFullScreenView(true);
    QCoreApplication::processEvents();
    const QSize screen = fmZoom->size();
    showKeyframe(benchFrame);
    const Times full = timeOverASegment([] { RenderFrame(); }, [] { QCoreApplication::processEvents(); });
    printTimes(
        qPrintable(
            QStringLiteral("full screen %1x%2 x%3").arg(screen.width()).arg(screen.height()).arg(ratio)),
        {0, 0, 0}, full);
    fmZoom->setFullScreenView(false);
    fmZoom->Original1Click();
    fmZoom->mittel1Click();
    std::printf("(full screen is always sharp)\n\n");
}

// PSNR over the pixels both pictures have, those inside `hole` left out.
double psnr(const QImage &a, const QImage &b, const QRect &hole = QRect())
{
    double sum = 0;
    long count = 0;
    const int w = std::min(a.width(), b.width()), h = std::min(a.height(), b.height());
    for (int y = 0; y < h; ++y) {
        const auto *pa = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const auto *pb = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            if (hole.contains(x, y))
                continue;
            for (int shift : {0, 8, 16}) {
                const double d = double((pa[x] >> shift) & 0xff) - double((pb[x] >> shift) & 0xff);
                sum += d * d;
            }
            ++count;
        }
    }
    return sum > 0 ? 10 * std::log10(255.0 * 255.0 * 3.0 * double(count) / sum) : 99.0;
}

// The picture as the screen shows it at `ratio`, in device pixels (`painter`: the sharp view as
// the former QPainter drawing made it).
QImage shownPicture(bool sharp, int ratio, bool painter = false)
{
    if (sharp) {
        QImage canvas(800 * ratio, 600 * ratio, QImage::Format_RGB32);
        if (painter)
            composeSharpViewWithPainter(canvas, shownLayers(currentFrame).pointers().data(), ZoomState.scale,
                                        800);
        else
            renderSharpView(canvas, 800);
        return canvas;
    }
    QImage view(800, 600, QImage::Format_RGB32);
    ZoomHost *const host = zoomHost;
    zoomHost = nullptr;
    RenderFrame();
    zoomHost = host;
    stretchCopy(ZoomState.bitmapA,
                QRect(sourceRect.left, sourceRect.top, sourceRect.width(), sourceRect.height()), view,
                view.rect());
    // The screen enlarges a picture of one pixel per logical pixel pixel by pixel.
    return ratio == 1 ? view
                      : view.scaled(view.size() * ratio, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

void benchFidelity()
{
    std::printf("Fidelity: PSNR (dB) of the picture's centre (where keyframe k+2 lies) against keyframe\n"
                "k+2 reduced to the screen's pixels, \"gross\", keyframes %d..%d\n",
                benchFrame, benchFrame + 2);
    std::printf("%-7s %-6s", "ratio", "mode");
    const double scales[] = {1.0, 1.25, 1.5, 1.75, 1.99};
    for (double s : scales)
        std::printf(" %8.2f", s);
    std::printf(" %8s\n", "mean");
    setGross();
    setSharpPresentation(true);
    showKeyframe(benchFrame);
    QImage deepest;
    decodeKeyframe(benchFrame + 2, deepest);
    for (int ratio : {1, 2}) {
        for (int mode : {0, 1, 2}) {
            std::printf("x%-6d %-6s", ratio, mode == 0 ? "orig" : mode == 1 ? "sharp" : "old");
            double total = 0;
            for (double s : scales) {
                ZoomState.scale = s;
                const QImage picture = shownPicture(mode > 0, ratio, mode == 2);
                const double half = 100.0 * ratio * s;   // half the width of k+2 on the screen
                const QRect box(qRound(picture.width() / 2.0 - half),
                                qRound(picture.height() / 2.0 - half * 0.75), qRound(2 * half),
                                qRound(1.5 * half));
                const QImage reference =
                    deepest.scaled(box.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
                const double value = psnr(picture.copy(box), reference);
                total += value;
                std::printf(" %8.2f", value);
            }
            std::printf(" %8.2f\n", total / std::size(scales));
        }
    }
    setSharpPresentation(false);
    std::printf("\n");
}

// Full screen 1920 x 1080 (the picture 1440 x 1080): the outer ring, where only keyframe k reaches,
// against HD keyframe k resampled to the screen, composed from the 800 x 600 keyframes alone and
// with the HD copies.
void benchOuterRing()
{
    const HdKeyframeSet hd = builtHdKeyframes();
    if (!hd.isAvailable()) {
        std::printf("Outer ring: no HD keyframes built\n\n");
        return;
    }
    std::printf("Outer ring, full screen 1920 x 1080 (picture 1440 x 1080): PSNR (dB) where only keyframe k\n"
                "reaches, against HD keyframe k resampled to the screen; mean over keyframes 20, 30, 45\n");
    const QSize screen(1440, 1080);
    const double scales[] = {1.0, 1.41, 1.99};
    std::printf("%-22s", "");
    for (double s : scales)
        std::printf(" %8.2f", s);
    std::printf("\n");
    double totals[2][3] = {};
    const int frames[] = {20, 30, 45};
    for (int frame : frames) {
        KeyframeLayer layers[3], hdLayers[3];
        for (int d = 0; d < 3; ++d) {
            layers[d] = decodeLayer(frame + d);
            hdLayers[d].number = frame + d;
            hdLayers[d].pixelsPerKeyframePixel = 2.0;
            hd.decode(frame + d, hdLayers[d].full);
        }
        const KeyframeLayer *const pointers[3] = {&layers[0], &layers[1], &layers[2]};
        const KeyframeLayer *const hdPointers[3] = {&hdLayers[0], &hdLayers[1], &hdLayers[2]};
        const KeyframeLayer *const none[3] = {nullptr, nullptr, nullptr};
        for (std::size_t i = 0; i < std::size(scales); ++i) {
            const double scale = scales[i];
            // Keyframe k's part on the screen, from the HD keyframe at the same place to a fraction
            // of a pixel, bilinearly.
            QImage reference(screen, QImage::Format_RGB32);
            {
                QPainter painter(&reference);
                painter.setRenderHint(QPainter::SmoothPixmapTransform);
                painter.translate(screen.width() / 2.0, screen.height() / 2.0);
                const double devicePerHdPixel = screen.width() * scale / 1600.0;
                painter.scale(devicePerHdPixel, devicePerHdPixel);
                painter.drawImage(QPointF(-800, -600), hdLayers[0].full);
            }
            // Keyframe k+1 covers the central half, two pixels more for the filters' reach.
            const QSizeF inner = QSizeF(screen) * scale / 2;
            const QRect hole = QRectF(QPointF(720 - inner.width() / 2, 540 - inner.height() / 2), inner)
                                   .toAlignedRect()
                                   .adjusted(-2, -2, 2, 2);
            for (int withHd : {0, 1}) {
                QImage picture(screen, QImage::Format_RGB32);
                composeSharpView(picture, pointers, withHd ? hdPointers : none, scale, 800);
                totals[withHd][i] += psnr(picture, reference, hole);
            }
        }
    }
    for (int withHd : {0, 1}) {
        std::printf("%-22s", withHd ? "with HD copies" : "800 x 600 keyframes");
        for (double total : totals[withHd])
            std::printf(" %8.2f", total / std::size(frames));
        std::printf("\n");
    }
    std::printf("\n");
}

double meanAbsoluteChange(const QImage &a, const QImage &b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto *pa = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const auto *pb = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            for (int shift : {0, 8, 16})
                sum += std::abs(int((pa[x] >> shift) & 0xff) - int((pb[x] >> shift) & 0xff));
    }
    return sum / (3.0 * a.width() * a.height());
}

// Zooms in through several keyframes tick by tick, the loader working in between as in play.
void benchSwaps()
{
    std::printf(
        "Swap: mean absolute change from one frame to the next (0..255), \"gross\", keyframes 20..24,\n"
        "stepFactor 1.04; the largest change at a keyframe swap against the median of all frames\n");
    std::printf("%-7s %-6s %10s %12s %8s %12s\n", "ratio", "mode", "median", "max at swap", "ratio",
                "vs neighbours");
    setGross();
    for (int ratio : {1, 2}) {
        for (bool sharp : {false, true}) {
            StandInHost host;
            host.devicePixelRatio = ratio;
            setSharpPresentation(sharp);
            ZoomState.stepFactor = 1.04;
            ZoomState.scale = 1.0;
            currentFrame = 20;
            startZoomDirection(true);
            host.zgZoomIn.stop();
            std::vector<double> all;
            std::vector<std::size_t> swaps;
            QImage previous = sharp ? host.sharpSurfaces[host.frontSurface] : shownPicture(false, ratio);
            while (currentFrame < 25) {
                waitForLayers(currentFrame + 1);
                const int before = currentFrame;
                zoomInTick();
                const QImage now = sharp ? host.sharpSurfaces[host.frontSurface] : shownPicture(false, ratio);
                const double change = meanAbsoluteChange(previous, now);
                all.push_back(change);
                if (qEnvironmentVariableIsSet("TF_BENCH_TRACE"))
                    std::printf("  frame %d scale %.3f change %.2f\n", currentFrame, ZoomState.scale, change);
                if (currentFrame != before)
                    swaps.push_back(all.size() - 1);
                previous = now;
            }
            // A swap's change against the changes of the two frames before and after it (the
            // content decides how much changes from frame to frame).
            double largest = 0, largestAgainstNeighbours = 0;
            for (std::size_t i : swaps) {
                if (i < 2 || i + 2 >= all.size())
                    continue;
                const double neighbours = (all[i - 2] + all[i - 1] + all[i + 1] + all[i + 2]) / 4;
                largest = std::max(largest, all[i]);
                largestAgainstNeighbours = std::max(largestAgainstNeighbours, all[i] / neighbours);
            }
            std::printf("x%-6d %-6s %10.2f %12.2f %8.2f %12.2f\n", ratio, sharp ? "sharp" : "orig",
                        median(all), largest, largest / median(all), largestAgainstNeighbours);
        }
    }
    setSharpPresentation(false);
    std::printf("\n");
}
}

void benchSharp()
{
    benchComposition();
    benchFidelity();
    benchOuterRing();
    benchSwaps();
    benchWindow();
}
