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

void keepSharpLayersAround(int frame, int direction)
{
    if (!sharpPresentation())
        return;
    sharpLayers().keepAround(frame, direction);
    if (!loaderThread)
        loaderThread = new MyThread(true);
    loaderThread->fillLayers();
}

bool sharpLayersReady(int frame)
{
    if (!sharpPresentation())
        return true;
    for (int number = frame; number <= deepestLayer(frame); ++number)
        if ((number != frame && !sharpLayers().holds(number)) || !sharpLayers().hdSettled(number))
            return false;
    return true;
}

bool sharpLayerUsesHd(double devicePixels)
{
    // At one device pixel per keyframe pixel both copies give the same picture: the HD copy at
    // half its size is sampled between its pixels, the mean of each 2 x 2 block.
    return devicePixels > 1.0;
}

int sharpHdDepth(double devicePixels)
{
    // Layer d is shown at devicePixels * scale / 2^d, the scale running from 1 to 2.
    for (int depth = 2; depth >= 0; --depth)
        if (sharpLayerUsesHd(devicePixels * 2.0 / double(1 << depth)))
            return depth;
    return -1;
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
    const KeyframeLayer *const none[3] = {nullptr, nullptr, nullptr};
    composeSharpView(target, layers, none, scale, regionWidth);
}

void composeSharpView(QImage &target, const KeyframeLayer *const layers[3],
                      const KeyframeLayer *const hdLayers[3], double scale, double regionWidth)
{
    if (target.isNull() || !layers[0] || layers[0]->isNull())
        return;
    const double base = target.width() * scale / regionWidth;   // device pixels per base keyframe pixel
    const QPointF centre(target.width() / 2.0, target.height() / 2.0);
    std::vector<CompositeLayer> composite;
    for (int depth = 0; depth < 3; ++depth) {
        const double f = base / double(1 << depth);   // device pixels per keyframe pixel
        const KeyframeLayer *layer = layers[depth];
        const KeyframeLayer *hd = hdLayers[depth];
        if (hd && !hd->isNull() && layer && !layer->isNull() && sharpLayerUsesHd(f))
            layer = hd;
        const double opacity = sharpLayerOpacity(depth, scale);
        if (!layer || layer->isNull() || opacity <= 0.0)
            continue;
        // Weights and feathers are in keyframe pixels, whatever the picture's own size.
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
    // A new screen or size may show other layers larger than their pixels: the loader then
    // decodes their HD copies, and until they are there the 800 x 600 ones stand in.
    if (sharpLayers().setHdDepth(sharpHdDepth(target.width() / regionWidth)) && loaderThread)
        loaderThread->fillLayers();
    KeyframeLayer layers[3], hdLayers[3];
    layers[0].number = frame;
    layers[0].full = keyframeBitmap(active);
    for (int depth = 0; depth < 3 && frame + depth <= deepestLayer(frame); ++depth) {
        if (depth > 0)
            layers[depth] = sharpLayers().layer(frame + depth);
        hdLayers[depth] = sharpLayers().hdLayer(frame + depth);
    }
    const KeyframeLayer *const pointers[3] = {&layers[0], &layers[1], &layers[2]};
    const KeyframeLayer *const hdPointers[3] = {&hdLayers[0], &hdLayers[1], &hdLayers[2]};
    composeSharpView(target, pointers, hdPointers, ZoomState.scale, regionWidth);
}
