// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZoomStepping.h"
#include "FrameRenderer.h"
#include "KeyframeStore.h"
#include "MyThread.h"
#include "SharpFrame.h"
#include "SharpLayers.h"
#include "ZoomHost.h"
#include "ZoomState.h"

#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {
long double zoomAt(int frame, double scale)
{
    return std::ldexp(static_cast<long double>(scale), frame - ZoomState.firstFrame);
}

void stopBothTimers()
{
    zoomHost->zoomInTimer().stop();
    zoomHost->zoomOutTimer().stop();
}

// Before the GUI side loads both bitmaps: a background load still running is finished first and
// one not yet begun is dropped, so the two never write a bitmap at the same time.
void waitForLoader()
{
    if (loaderThread)
        loaderThread->waitUntilIdle();
}

// A bitmap from the sharp view's decoded keyframes where it has it, else decoded here.
void fillBitmap(char letter, int number)
{
    const KeyframeLayer layer = sharpPresentation() ? sharpLayers().layer(number) : KeyframeLayer();
    if (layer.isNull()) {
        LoadKeyframe(letter, number);
        return;
    }
    keyframeBitmap(letter) = layer.full;
    setBitmapKeyframeNumber(letter, number);
}

// Afterwards both bitmaps hold what was loaded here and the inactive one counts as ready.
void loadBothBitmaps(int frameA, int frameB)
{
    fillBitmap('A', frameA);
    fillBitmap('B', frameB);
    ZoomState.nextReady.store(true, std::memory_order_release);
    keepSharpLayersAround(bitmapKeyframeNumber('A'), frameB > frameA ? 1 : -1);
}

// Swap to the keyframe the loader prepared and ask it for the next one. The order is binding:
// activeBitmap and pendingFrame are written and nextReady cleared before the loader wakes.
void swapBitmaps(int nextPending)
{
    ZoomState.activeBitmap.store(inactiveLetter());
    pendingFrame.store(nextPending);
    ZoomState.nextReady.store(false);
    if (!loaderThread)
        loaderThread = new MyThread(true);
    loaderThread->resume();
    keepSharpLayersAround(currentFrame, nextPending > currentFrame ? 1 : -1);
}

// A swap needs the next bitmap and, in the sharp view, the deeper keyframes of the next frame.
bool readyToSwapTo(int frame)
{
    return ZoomState.nextReady.load(std::memory_order_acquire) && sharpLayersReady(frame);
}

void showStillPicture(bool atEnd, int frameA, int frameB, int frame, long double totalZoom)
{
    zoomHost->setStillPictureLooks(atEnd);
    stopBothTimers();
    ZoomState.scale = 1.0;
    ZoomState.totalZoom = totalZoom;
    waitForLoader();
    loadBothBitmaps(frameA, frameB);
    currentFrame = frame;
    ZoomState.activeBitmap.store('A');
    RenderFrame();
    zoomHost->bringSurfaceToFront(ZoomState.frontImage);
}
}

void GoToStart()
{
    const int first = ZoomState.firstFrame;
    showStillPicture(false, first - 1, first, first, 1.0L);
}

void GoToEnd()
{
    const int last = ZoomState.lastFrame;
    showStillPicture(true, last + 1, last, last + 1, std::ldexp(1.0L, last - ZoomState.firstFrame + 1));
}

void zoomInTick()
{
    ZoomStateRecord &zs = ZoomState;
    const double before = zs.scale;
    zs.scale = zs.scale * zs.stepFactor;
    if (zs.scale > 2.0) {
        if (!readyToSwapTo(currentFrame + 1)) {
            // Refused: the next keyframe is not decoded yet. Nothing is drawn; the next tick
            // tries again. The old value is restored exactly (a division could be an ulp off).
            zs.scale = before;
            return;
        }
        zs.scale = zs.scale * 0.5;
        ++currentFrame;
        if (currentFrame > zs.lastFrame) {
            stopBothTimers();
            if (zs.repeatMode == QLatin1String("BIDI")) {
                zs.scale = 2.0;
                --currentFrame;
                zs.totalZoom = zoomAt(currentFrame, zs.scale);
                zoomHost->startZoomingOut();
            } else if (zs.repeatMode == QLatin1String("ON")) {
                currentFrame = zs.firstFrame;
                zs.scale = 1.0;
                zs.totalZoom = 1.0L;
                zoomHost->startZoomingIn();
            } else {
                GoToEnd();
            }
            return;
        }
        swapBitmaps(currentFrame + 1);
    }
    zs.totalZoom = zoomAt(currentFrame, zs.scale);
    RenderFrame();
}

void zoomOutTick()
{
    ZoomStateRecord &zs = ZoomState;
    const double before = zs.scale;
    zs.scale = zs.scale / zs.stepFactor;
    if (zs.scale < 1.0) {
        if (!readyToSwapTo(currentFrame - 1)) {
            zs.scale = before;
            return;
        }
        zs.scale = zs.scale * 2.0;
        --currentFrame;
        if (currentFrame < zs.firstFrame) {
            stopBothTimers();
            if (zs.repeatMode == QLatin1String("BIDI")) {
                zs.scale = 1.0;
                ++currentFrame;
                zs.totalZoom = 1.0L;
                zoomHost->startZoomingIn();
            } else if (zs.repeatMode == QLatin1String("ON")) {
                currentFrame = zs.lastFrame;
                zs.scale = 2.0;
                zs.totalZoom = zoomAt(zs.lastFrame, 2.0);
                zoomHost->startZoomingOut();
            } else {
                GoToStart();
            }
            return;
        }
        swapBitmaps(currentFrame - 1);
    }
    zs.totalZoom = zoomAt(currentFrame, zs.scale);
    RenderFrame();
}

bool canStartZoomDirection(bool zoomIn)
{
    // Keyframes 1 and 63 are the outermost there are: at the end card there is nothing further
    // in, at the start nothing further out.
    const int neighbour = zoomIn ? currentFrame + 1 : currentFrame - 1;
    return neighbour >= ZoomState.firstFrame - 1 && neighbour <= ZoomState.lastFrame + 1;
}

void startZoomDirection(bool zoomIn)
{
    if (!canStartZoomDirection(zoomIn))
        return;
    const int neighbour = zoomIn ? currentFrame + 1 : currentFrame - 1;

    stopBothTimers();
    waitForLoader();
    pendingFrame.store(neighbour);
    ZoomState.activeBitmap.store('A');
    loadBothBitmaps(currentFrame, neighbour);
    RenderFrame();
    QTimer &timer = zoomIn ? zoomHost->zoomInTimer() : zoomHost->zoomOutTimer();
    timer.setInterval(1000 / std::max(1, ZoomState.frameRate));
    timer.start();
}

void reserveLoad()
{
    // Once nextReady is true the inactive bitmap already holds pendingFrame.
    if (ZoomState.nextReady.load(std::memory_order_acquire))
        return;
    // A load the loader has begun is finished first; a request it has not begun yet is dropped
    // there and done here, and must then be published, or the zoom would hold at the next
    // keyframe boundary for good.
    waitForLoader();
    if (ZoomState.nextReady.load(std::memory_order_acquire))
        return;
    LoadKeyframe(inactiveLetter(), pendingFrame.load());
    ZoomState.nextReady.store(true, std::memory_order_release);
}
