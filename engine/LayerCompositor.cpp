// SPDX-License-Identifier: GPL-3.0-or-later
#include "LayerCompositor.h"
#include "LayerRows.h"

#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

#include <atomic>
#include <cmath>

using namespace layerRows;

namespace {

constexpr int bandRows = 32;   // rows a thread takes at a time
constexpr int maxLayers = 4;

bool isXrgb(QImage::Format format)
{
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32
        || format == QImage::Format_ARGB32_Premultiplied;
}

std::int16_t q15(double value)
{
    return std::int16_t(std::clamp(std::lround(value * 32768.0), 0L, long(fullWeight)));
}

// Where a target pixel's centre lies against one side of a layer: the weight there, and the
// source position to sample.
struct Axis
{
    bool covered = false;
    std::int16_t weight = 0;
    int index = 0;
    std::int16_t fraction = 0;
};

Axis axisAt(int pixel, double start, double length, int sourceLength, double opacity, double feather)
{
    Axis axis;
    const double centre = pixel + 0.5;
    axis.covered = centre >= start && centre < start + length;
    if (!axis.covered)
        return axis;
    const double distance = std::min(centre - start, start + length - centre);
    axis.weight = q15(opacity * (feather > 0 ? std::min(1.0, distance / feather) : 1.0));
    const double source = (centre - start) * sourceLength / length - 0.5;
    int index = int(std::floor(source));
    double fraction = source - index;
    if (index < 0) {
        index = 0;
        fraction = 0;
    } else if (index >= sourceLength - 1) {
        index = sourceLength - 1;   // the line's extra column repeats the last one
        fraction = 0;
    }
    axis.index = index;
    axis.fraction = q15(fraction);
    return axis;
}

// One layer prepared for a target: its level, and per target column where to sample and how
// strongly; the columns it covers and those where it hides everything below.
struct Plan
{
    QImage image;
    QRectF place;
    double opacity;
    double feather;
    std::vector<int> index;
    std::vector<std::int16_t> fraction;       // four per column
    std::vector<std::int16_t> columnWeight;   // four per column
    int coveredFrom = 0, coveredTo = 0;
    int opaqueFrom = 0, opaqueTo = 0;
};

Plan makePlan(const CompositeLayer &layer, int targetWidth)
{
    Plan plan;
    const QImage &full = layer.levels.front();
    const int level = LayerCompositor::levelFor(layer.place.width() / full.width(), int(layer.levels.size()));
    plan.image = layer.levels[level];
    if (!isXrgb(plan.image.format()))
        plan.image = plan.image.convertToFormat(QImage::Format_RGB32);
    plan.place = layer.place;
    plan.opacity = std::clamp(layer.opacity, 0.0, 1.0);
    plan.feather = layer.feather;
    plan.index.resize(targetWidth);
    plan.fraction.resize(4 * std::size_t(targetWidth));
    plan.columnWeight.resize(4 * std::size_t(targetWidth));
    plan.coveredFrom = targetWidth;
    plan.opaqueFrom = targetWidth;
    for (int x = 0; x < targetWidth; ++x) {
        const Axis axis = axisAt(x, layer.place.left(), layer.place.width(), plan.image.width(), plan.opacity,
                                 plan.feather);
        plan.index[x] = axis.index;
        std::fill_n(&plan.fraction[4 * x], 4, axis.fraction);
        std::fill_n(&plan.columnWeight[4 * x], 4, axis.weight);
        if (axis.covered) {
            plan.coveredFrom = std::min(plan.coveredFrom, x);
            plan.coveredTo = x + 1;
        }
        if (axis.weight == fullWeight) {
            plan.opaqueFrom = std::min(plan.opaqueFrom, x);
            plan.opaqueTo = x + 1;
        }
    }
    plan.coveredTo = std::max(plan.coveredTo, plan.coveredFrom);
    plan.opaqueTo = std::max(plan.opaqueTo, plan.opaqueFrom);
    return plan;
}

struct Kernels
{
    decltype(&interpolateRowsPortable) interpolate;
    decltype(&composeSpanPortable) compose;
};

// Rows [first, last) of the target, each cut where a layer begins, ends, or begins or ends to
// hide what lies below; each piece drawn from the layers it needs.
void composeRows(const std::vector<Plan> &plans, QImage &target, int first, int last, const Kernels &kernels)
{
    const int count = int(plans.size());
    const int width = target.width();
    std::vector<std::vector<std::int16_t>> lines(count);
    for (int l = 0; l < count; ++l)
        lines[l].resize(4 * std::size_t(plans[l].image.width() + 1) + 8);

    struct Piece
    {
        int from, to;
        int layers[maxLayers];
        int count;
        bool overTarget;
    };
    std::vector<Piece> pieces;
    std::vector<int> cuts;
    std::vector<Axis> rows(count);
    std::vector<int> usedFrom(count), usedTo(count);
    std::vector<SpanLayer> spans(count);

    for (int y = first; y < last; ++y) {
        cuts.assign({0, width});
        for (int l = 0; l < count; ++l) {
            const Plan &plan = plans[l];
            rows[l] = axisAt(y, plan.place.top(), plan.place.height(), plan.image.height(), plan.opacity,
                             plan.feather);
            if (!rows[l].covered)
                continue;
            cuts.insert(cuts.end(), {plan.coveredFrom, plan.coveredTo});
            if (rows[l].weight == fullWeight)
                cuts.insert(cuts.end(), {plan.opaqueFrom, plan.opaqueTo});
            usedFrom[l] = width;
            usedTo[l] = 0;
        }
        std::sort(cuts.begin(), cuts.end());
        cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());

        pieces.clear();
        for (std::size_t c = 0; c + 1 < cuts.size(); ++c) {
            Piece piece{cuts[c], cuts[c + 1], {}, 0, true};
            if (piece.from < 0 || piece.to > width || piece.from >= piece.to)
                continue;
            const auto covers = [&](int l) {
                return rows[l].covered && piece.from >= plans[l].coveredFrom
                    && piece.to <= plans[l].coveredTo;
            };
            // The topmost layer that hides everything below it here starts the blend.
            int start = 0;
            for (int l = count - 1; l >= 0; --l)
                if (covers(l) && rows[l].weight == fullWeight && piece.from >= plans[l].opaqueFrom
                    && piece.to <= plans[l].opaqueTo) {
                    start = l;
                    piece.overTarget = false;
                    break;
                }
            for (int l = start; l < count && piece.count < maxLayers; ++l)
                if (covers(l)) {
                    piece.layers[piece.count++] = l;
                    usedFrom[l] = std::min(usedFrom[l], piece.from);
                    usedTo[l] = std::max(usedTo[l], piece.to);
                }
            if (piece.count > 0)
                pieces.push_back(piece);
        }
        if (pieces.empty())
            continue;

        for (int l = 0; l < count; ++l) {
            if (!rows[l].covered || usedFrom[l] >= usedTo[l])
                continue;
            const Plan &plan = plans[l];
            const int lastColumn = plan.image.width() - 1;
            const int from = plan.index[usedFrom[l]];
            const int to = std::min(plan.index[usedTo[l] - 1] + 1, lastColumn);
            const Axis &row = rows[l];
            const int lower = std::min(row.index + 1, plan.image.height() - 1);
            std::int16_t *line = lines[l].data();
            kernels.interpolate(reinterpret_cast<const QRgb *>(plan.image.constScanLine(row.index)),
                                reinterpret_cast<const QRgb *>(plan.image.constScanLine(lower)), from, to,
                                row.fraction, line);
            std::copy_n(line + 4 * lastColumn, 4, line + 4 * (lastColumn + 1));
            spans[l] = {line, plan.index.data(), plan.fraction.data(), plan.columnWeight.data(), row.weight};
        }
        auto *out = reinterpret_cast<QRgb *>(target.scanLine(y));
        SpanLayer used[maxLayers];
        for (const Piece &piece : pieces) {
            for (int i = 0; i < piece.count; ++i)
                used[i] = spans[piece.layers[i]];
            kernels.compose(used, piece.count, piece.overTarget, out, piece.from, piece.to);
        }
    }
}

}   // namespace

LayerCompositor::LayerCompositor(Path path, int threads)
    : m_path(path), m_threads(threads > 0 ? threads : std::max(1, QThread::idealThreadCount()))
{
}

int LayerCompositor::levelFor(double pixelsPerPixel, int levelCount)
{
    int level = 0;
    while (level + 1 < levelCount && pixelsPerPixel * double(1 << level) < 0.5)
        ++level;
    return level;
}

void LayerCompositor::compose(QImage &target, const std::vector<CompositeLayer> &layers) const
{
    if (target.isNull())
        return;
    if (!isXrgb(target.format())) {
        QImage converted = target.convertToFormat(QImage::Format_RGB32);
        compose(converted, layers);
        target = converted.convertToFormat(target.format());
        return;
    }
    std::vector<Plan> plans;
    for (const CompositeLayer &layer : layers)
        if (plans.size() < maxLayers && !layer.levels.empty() && !layer.levels.front().isNull()
            && !layer.place.isEmpty())
            plans.push_back(makePlan(layer, target.width()));
    if (plans.empty())
        return;
    // Detach before the threads write into it.
    target.bits();

    const bool avx2 = m_path == Path::Fastest && __builtin_cpu_supports("avx2");
    const Kernels kernels = avx2 ? Kernels{interpolateRowsAvx2, composeSpanAvx2}
                                 : Kernels{interpolateRowsPortable, composeSpanPortable};
    const int bands = (target.height() + bandRows - 1) / bandRows;
    std::atomic<int> next{0};
    const auto work = [&] {
        for (int band = next++; band < bands; band = next++)
            composeRows(plans, target, band * bandRows, std::min(target.height(), (band + 1) * bandRows),
                        kernels);
    };
    // Helpers come from Qt's pool only when a thread is idle there: on a busy pool the calling
    // thread does all the rows itself rather than wait.
    QSemaphore done;
    int started = 0;
    for (int helper = 1; helper < std::min(m_threads, bands); ++helper)
        if (QThreadPool::globalInstance()->tryStart([&] {
                work();
                done.release();
            }))
            ++started;
    work();
    done.acquire(started);
}
