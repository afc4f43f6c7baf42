// SPDX-License-Identifier: GPL-3.0-or-later
// The sharp view as the player drew it before the one-pass compositor: each layer smoothly scaled
// by QPainter, one after the other, then its feather in four rings.
#include "PainterSharpView.h"
#include "SharpFrame.h"
#include "SharpLayers.h"

#include <QPainter>

#include <vector>

namespace {
constexpr int featherSteps = 4;

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
}   // namespace

void composeSharpViewWithPainter(QImage &target, const KeyframeLayer *const layers[3], double scale,
                                 double regionWidth)
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
        // Below half its resolution a layer is drawn from its area-averaged half.
        const QImage &image = f < 0.5 && !!layer->reduced.empty() ? layer->reduced.front() : layer->full;
        // What the next layer covers opaquely need not be drawn from this one.
        QRect hole;
        const int next = depth + 1;
        if (next < 3 && layers[next] && !layers[next]->isNull() && sharpLayerOpacity(next, scale) >= 1.0)
            hole = shrunk(places[next], sharpLayerFeather(next, scale) * base / double(1 << next) + 1);
        drawLayer(painter, image, places[depth], opacity, sharpLayerFeather(depth, scale) * f, visible, hole);
    }
}
