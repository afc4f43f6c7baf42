// SPDX-License-Identifier: GPL-3.0-or-later
#include "LayerCompositor.h"
#include "LayerRows.h"

#include <QThread>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <thread>

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
    // Clamped to the edge pixels; the last one is reached as the full share of the next to last,
    // so that every sample has a right and a lower neighbour inside the picture.
    if (index < 0) {
        index = 0;
        fraction = 0;
    } else if (index >= sourceLength - 1) {
        index = sourceLength - 2;
        fraction = 1;
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
    // Levels below 2 x 2 pixels have no neighbours to interpolate between.
    int levels = 1;
    while (levels < int(layer.levels.size()) && layer.levels[levels].width() >= 2
           && layer.levels[levels].height() >= 2)
        ++levels;
    const int level = LayerCompositor::levelFor(layer.place.width() / full.width(), levels);
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
    decltype(&sampleRowPortable) sampleRow;
    decltype(&composeSpanPortable) compose;
};

// The target columns a layer is needed at in one row: [from, to) but the gap [gapFrom, gapTo)
// that a layer above hides.
struct Columns
{
    int from = 0, to = 0;
    int gapFrom = 0, gapTo = 0;
    bool within(const Columns &held) const
    {
        const bool gapHeld = held.gapFrom == held.gapTo || (held.gapFrom >= gapFrom && held.gapTo <= gapTo);
        return held.from <= from && held.to >= to && gapHeld;
    }
};

// A layer's source rows sampled at the target's columns, the last two asked for.
class SampledRows
{
public:
    SampledRows(const Plan &plan, int width, const Kernels &kernels) : m_plan(&plan), m_kernels(&kernels)
    {
        // Not cleared: only the columns written are read.
        for (auto &row : m_rows)
            row = std::make_unique_for_overwrite<std::int16_t[]>(4 * std::size_t(width));
    }
    // Source row `number` at `columns`, keeping row `keep` if it is held.
    const std::int16_t *row(int number, int keep, const Columns &columns)
    {
        for (int slot = 0; slot < 2; ++slot)
            if (m_numbers[slot] == number && columns.within(m_columns[slot]))
                return m_rows[slot].get();
        const int slot = m_numbers[0] == keep ? 1 : 0;
        m_numbers[slot] = number;
        m_columns[slot] = columns;
        const auto *source = reinterpret_cast<const QRgb *>(m_plan->image.constScanLine(number));
        const auto sample = [&](int from, int to) {
            if (from < to)
                m_kernels->sampleRow(source, m_plan->index.data(), m_plan->fraction.data(), from, to,
                                     m_rows[slot].get());
        };
        sample(columns.from,
               std::max(columns.from, columns.gapFrom == columns.gapTo ? columns.to : columns.gapFrom));
        if (columns.gapFrom != columns.gapTo)
            sample(columns.gapTo, columns.to);
        return m_rows[slot].get();
    }

private:
    const Plan *m_plan;
    const Kernels *m_kernels;
    std::unique_ptr<std::int16_t[]> m_rows[2];
    int m_numbers[2] = {-1, -1};
    Columns m_columns[2];
};

// One row's cut into pieces, each drawn from the layers it needs, and the columns at which each
// layer is sampled (`from == to` where no piece uses it).
struct RowCut
{
    struct Piece
    {
        int from, to;
        int layers[maxLayers];
        int count;
        bool overTarget;
    };
    std::vector<Piece> pieces;
    std::vector<Columns> columns;
};

// Cuts a row where a layer begins, ends, or begins or ends to hide what lies below.
void cutRow(const std::vector<Plan> &plans, const std::vector<Axis> &rows, int width, RowCut &cut)
{
    const int count = int(plans.size());
    std::vector<int> cuts{0, width};
    for (int l = 0; l < count; ++l) {
        if (!rows[l].covered)
            continue;
        cuts.insert(cuts.end(), {plans[l].coveredFrom, plans[l].coveredTo});
        if (rows[l].weight == fullWeight)
            cuts.insert(cuts.end(), {plans[l].opaqueFrom, plans[l].opaqueTo});
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());

    cut.pieces.clear();
    for (std::size_t c = 0; c + 1 < cuts.size(); ++c) {
        RowCut::Piece piece{cuts[c], cuts[c + 1], {}, 0, true};
        if (piece.from < 0 || piece.to > width || piece.from >= piece.to)
            continue;
        const auto covers = [&](int l) {
            return rows[l].covered && piece.from >= plans[l].coveredFrom && piece.to <= plans[l].coveredTo;
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
        for (int l = start; l < count; ++l)
            if (covers(l))
                piece.layers[piece.count++] = l;
        if (piece.count > 0)
            cut.pieces.push_back(piece);
    }

    // Each layer is sampled only where a piece uses it: not where a layer above hides it.
    cut.columns.assign(count, Columns{width, 0, 0, 0});
    for (int l = 0; l < count; ++l) {
        Columns &columns = cut.columns[l];
        for (const RowCut::Piece &piece : cut.pieces) {
            if (std::find(piece.layers, piece.layers + piece.count, l) == piece.layers + piece.count)
                continue;
            // Of two gaps, the smaller one is sampled over.
            if (columns.to < piece.from && columns.from < columns.to
                && piece.from - columns.to > columns.gapTo - columns.gapFrom) {
                columns.gapFrom = columns.to;
                columns.gapTo = piece.from;
            }
            columns.from = std::min(columns.from, piece.from);
            columns.to = piece.to;
        }
    }
}

// Rows [first, last) of the target, each piece of a row drawn from the layers it needs.
void composeRows(const std::vector<Plan> &plans, std::vector<SampledRows> &sampled, uchar *bits,
                 qsizetype stride, int width, int first, int last, const Kernels &kernels)
{
    const int count = int(plans.size());
    std::vector<Axis> rows(count);
    std::vector<SpanLayer> spans(count);
    RowCut cut;
    unsigned cutFor = ~0u;

    for (int y = first; y < last; ++y) {
        // A row is cut by which layers cover it and which of them hide what lies below; rows alike
        // in that (nearly all of them) share one cut.
        unsigned kind = 0;
        for (int l = 0; l < count; ++l) {
            const Plan &plan = plans[l];
            rows[l] = axisAt(y, plan.place.top(), plan.place.height(), plan.image.height(), plan.opacity,
                             plan.feather);
            kind |= (rows[l].covered ? 1u : 0u) << (2 * l);
            kind |= (rows[l].weight == fullWeight ? 2u : 0u) << (2 * l);
        }
        if (kind != cutFor) {
            cutRow(plans, rows, width, cut);
            cutFor = kind;
        }
        if (cut.pieces.empty())
            continue;

        for (int l = 0; l < count; ++l) {
            const Columns &columns = cut.columns[l];
            if (columns.from >= columns.to)
                continue;
            const Axis &row = rows[l];
            const std::int16_t *upper = sampled[l].row(row.index, row.index + 1, columns);
            const std::int16_t *lower = sampled[l].row(row.index + 1, row.index, columns);
            spans[l] = {upper, lower, row.fraction, plans[l].columnWeight.data(), row.weight};
        }
        auto *out = reinterpret_cast<QRgb *>(bits + y * stride);
        SpanLayer chosen[maxLayers];
        for (const RowCut::Piece &piece : cut.pieces) {
            for (int i = 0; i < piece.count; ++i)
                chosen[i] = spans[piece.layers[i]];
            kernels.compose(chosen, piece.count, piece.overTarget, out, piece.from, piece.to);
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
        if (plans.size() < maxLayers && !layer.levels.empty() && layer.levels.front().width() >= 2
            && layer.levels.front().height() >= 2 && !layer.place.isEmpty())
            plans.push_back(makePlan(layer, target.width()));
    if (plans.empty())
        return;
    // Detached here, before the threads write into it.
    uchar *const bits = target.bits();
    const qsizetype stride = target.bytesPerLine();

    const bool avx2 = m_path == Path::Fastest && __builtin_cpu_supports("avx2");
    const Kernels kernels =
        avx2 ? Kernels{sampleRowAvx2, composeSpanAvx2} : Kernels{sampleRowPortable, composeSpanPortable};
    const int bands = (target.height() + bandRows - 1) / bandRows;
    std::atomic<int> next{0};
    const auto work = [&] {
        // Kept from band to band: a thread that takes the next band too finds its first rows sampled.
        std::vector<SampledRows> sampled;
        for (const Plan &plan : plans)
            sampled.emplace_back(plan, target.width(), kernels);
        for (int band = next++; band < bands; band = next++)
            composeRows(plans, sampled, bits, stride, target.width(), band * bandRows,
                        std::min(target.height(), (band + 1) * bandRows), kernels);
    };
    // Helper threads of our own for each frame (starting and joining one costs about 0.03 ms): the
    // hand-over is then plain to the thread checker, which cannot see inside Qt's pool. Bands are
    // taken from one counter, so a helper that starts late simply takes fewer.
    std::vector<std::jthread> helpers;
    for (int helper = 1; helper < std::min(m_threads, bands); ++helper)
        helpers.emplace_back(work);
    work();
}
