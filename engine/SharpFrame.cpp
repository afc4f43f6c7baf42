#include "SharpFrame.h"
#include "MyThread.h"
#include "SharpLayers.h"
#include "ZoomState.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <atomic>
#include <vector>

namespace {
std::atomic<bool> sharp{false};

constexpr double featherWidth = 32.0;   // layer pixels of the fade at a deeper layer's edge
constexpr int featherSteps = 4;
constexpr double fadeLength = 0.5;   // of the scale, over which the deepest layer fades in

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

QRect shrunk(const QRectF &rect, double by)
{
    return rect.adjusted(by, by, -by, -by).toRect();
}

// The frame between `outer` and `inner` as up to four rectangles (rectangular clips are the
// painter's fast path).
void addFrame(std::vector<QRect> &rects, const QRect &outer, const QRect &inner)
{
    if (inner.isEmpty() || !outer.contains(inner)) {
        rects.push_back(outer);
        return;
    }
    rects.push_back(QRect(outer.left(), outer.top(), outer.width(), inner.top() - outer.top()));
    rects.push_back(QRect(outer.left(), inner.bottom() + 1, outer.width(), outer.bottom() - inner.bottom()));
    rects.push_back(QRect(outer.left(), inner.top(), inner.left() - outer.left(), inner.height()));
    rects.push_back(QRect(inner.right() + 1, inner.top(), outer.right() - inner.right(), inner.height()));
}

// Drawn in bands of at most bandRows rows: with more spans than about 96, Qt's raster painter
// hands each smooth-scaled draw to its thread pool and waits for it, which costs more than it
// saves for the narrow feather strips (a 6 x 900 strip took twice as long) and, on a busy
// machine, for the whole view too. Every pixel's source position depends only on `place`, so
// the bands join without a trace.
constexpr int bandRows = 64;

void drawIn(QPainter &painter, const QImage &image, const QRectF &place, const std::vector<QRect> &rects,
            const QRect &visible)
{
    for (const QRect &rect : rects) {
        const QRect clip = rect & visible;
        if (clip.isEmpty())
            continue;
        for (int top = clip.top(); top <= clip.bottom(); top += bandRows) {
            painter.setClipRect(
                QRect(clip.left(), top, clip.width(), std::min(bandRows, clip.bottom() + 1 - top)));
            painter.drawImage(place, image);
        }
    }
}

// A layer over its opaque inside (less `hole`, which the next layer covers), then rings of rising
// weight from its edge inward.
void drawLayer(QPainter &painter, const QImage &image, const QRectF &place, double opacity, double band,
               const QRect &visible, const QRect &hole)
{
    std::vector<QRect> rects;
    addFrame(rects, shrunk(place, band), hole);
    painter.setOpacity(opacity);
    drawIn(painter, image, place, rects, visible);
    if (band <= 0)
        return;
    for (int i = 0; i < featherSteps; ++i) {
        rects.clear();
        addFrame(rects, shrunk(place, band * i / featherSteps), shrunk(place, band * (i + 1) / featherSteps));
        painter.setOpacity(opacity * (i + 0.5) / featherSteps);
        drawIn(painter, image, place, rects, visible);
    }
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
    const double base = target.width() * scale / regionWidth;   // device pixels per base pixel
    const QPointF centre(target.width() / 2.0, target.height() / 2.0);

    QPainter painter(&target);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect visible = target.rect();
    QRectF places[3];
    for (int depth = 0; depth < 3; ++depth) {
        if (layers[depth] && !layers[depth]->isNull()) {
            const double f = base / double(1 << depth);
            const QSizeF size(layers[depth]->full.width() * f, layers[depth]->full.height() * f);
            places[depth] = QRectF(centre - QPointF(size.width(), size.height()) / 2, size);
        }
    }
    for (int depth = 0; depth < 3; ++depth) {
        const KeyframeLayer *layer = layers[depth];
        if (!layer || layer->isNull())
            continue;
        const double opacity = sharpLayerOpacity(depth, scale);
        if (opacity <= 0.0)
            continue;
        const double f = base / double(1 << depth);
        // Below half its resolution a layer is drawn from its area-averaged half, so that the
        // smooth filter never skips pixels.
        const QImage &image = f < 0.5 && !layer->half.isNull() ? layer->half : layer->full;
        // What the next layer covers opaquely need not be drawn from this one.
        QRect hole;
        const int next = depth + 1;
        if (next < 3 && layers[next] && !layers[next]->isNull() && sharpLayerOpacity(next, scale) >= 1.0)
            hole = shrunk(places[next], sharpLayerFeather(next, scale) * base / double(1 << next) + 1);
        drawLayer(painter, image, places[depth], opacity, sharpLayerFeather(depth, scale) * f, visible, hole);
    }
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
