// SPDX-License-Identifier: GPL-3.0-or-later
#include "SharpFrame.h"
#include "LayerCompositor.h"
#include "MyThread.h"
#include "SharpLayers.h"
#include "ZoomState.h"

#include <QImage>

#include <algorithm>
#include <atomic>
#include <vector>

namespace {
std::atomic<bool> sharp{false};

constexpr double featherWidth = 32.0;   // keyframe pixels of the fade at a deeper layer's edge
constexpr double fadeLength = 0.5;      // of the scale, over which the deepest layer fades in

double smoothStep(double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// Keyframe `frame` and those deeper that exist in the zoom run (the cards carry text and are
// never composed).
int deepestLayer(int frame)
{
    if (frame < ZoomState.firstFrame || frame > ZoomState.lastFrame)
        return frame;
    return std::min(frame + 2, ZoomState.lastFrame);
}

}

bool sharpPresentation()
{
    return sharp.load(std::memory_order_relaxed);
}

void setSharpPresentation(bool on)
{
    if (sharp.exchange(on) == on)
        return;
    if (!on) {
        sharpLayers().clear();
        return;
    }
    keepSharpLayersAround(bitmapKeyframeNumber(ZoomState.activeBitmap.load()));
}

void keepSharpLayersAround(int frame)
{
    if (!sharpPresentation())
        return;
    sharpLayers().keepAround(frame);
    if (!loaderThread)
        loaderThread = new MyThread(true);
    loaderThread->fillLayers();
}

bool sharpLayersReady(int frame)
{
    if (!sharpPresentation())
        return true;
    for (int number = frame; number <= deepestLayer(frame); ++number)
        if (number != frame && !sharpLayers().holds(number))
            return false;
    return true;
}

double sharpLayerOpacity(int depth, double scale)
{
    // The deepest layer fades in early in the segment: gone at scale 1, where the keyframe
    // beyond it takes its place after a swap back, whole long before scale 2, where it becomes
    // the middle layer.
    return depth < 2 ? 1.0 : smoothStep((scale - 1.0) / fadeLength);
}

double sharpLayerFeather(int depth, double scale)
{
    // The middle layer's fade narrows to nothing at scale 2, where it becomes the base.
    if (depth == 0)
        return 0.0;
    return depth == 1 ? featherWidth * std::clamp(2.0 - scale, 0.0, 1.0) : featherWidth;
}

void composeSharpView(QImage &target, const KeyframeLayer *const layers[3], double scale, double regionWidth)
{
    if (target.isNull() || !layers[0] || layers[0]->isNull())
        return;
    const double base = target.width() * scale / regionWidth;   // device pixels per base keyframe pixel
    const QPointF centre(target.width() / 2.0, target.height() / 2.0);
    std::vector<CompositeLayer> composite;
    for (int depth = 0; depth < 3; ++depth) {
        const KeyframeLayer *layer = layers[depth];
        const double opacity = sharpLayerOpacity(depth, scale);
        if (!layer || layer->isNull() || opacity <= 0.0)
            continue;
        // Weights and feathers are in keyframe pixels, whatever the picture's own size.
        const double f = base / double(1 << depth);
        const QSizeF size = QSizeF(layer->full.size()) * (f / layer->pixelsPerKeyframePixel);
        CompositeLayer &added = composite.emplace_back();
        added.levels.push_back(layer->full);
        added.levels.insert(added.levels.end(), layer->reduced.begin(), layer->reduced.end());
        added.place = QRectF(centre - QPointF(size.width(), size.height()) / 2, size);
        added.opacity = opacity;
        added.feather = sharpLayerFeather(depth, scale) * f;
    }
    LayerCompositor().compose(target, composite);
}

void renderSharpView(QImage &target, double regionWidth)
{
    const char active = ZoomState.activeBitmap.load(std::memory_order_relaxed);
    const int frame = bitmapKeyframeNumber(active);
    KeyframeLayer layers[3];
    layers[0].number = frame;
    layers[0].full = keyframeBitmap(active);
    for (int depth = 1; depth < 3 && frame + depth <= deepestLayer(frame); ++depth)
        layers[depth] = sharpLayers().layer(frame + depth);
    const KeyframeLayer *const pointers[3] = {&layers[0], &layers[1], &layers[2]};
    composeSharpView(target, pointers, ZoomState.scale, regionWidth);
}
