// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The inner loops of the layer compositor, one row at a time, in a portable and an AVX2 version
// that compute the same bytes. Channels are held as 16-bit numbers with 7 fraction bits ("Q7")
// and weights with 15 fraction bits ("Q15", 32767 standing for one), so that the AVX2 version
// can use its rounding multiply (mulhrs) on sixteen channels at once.

#include <QRgb>

#include <algorithm>
#include <cstdint>

namespace layerRows {

constexpr int fullWeight = 32767;

// One layer's part of a row: its two source rows already interpolated vertically into `line`
// (four Q7 channels per source column, one column more than the picture for the right edge),
// and per device column the left source column, the right one's weight and the layer's weight
// across the row (each four times, one per channel).
struct SpanLayer
{
    const std::int16_t *line;
    const int *index;
    const std::int16_t *fraction;
    const std::int16_t *columnWeight;
    std::int16_t rowWeight;
};

inline int mulhrs(int a, int b)
{
    return (a * b + 0x4000) >> 15;
}

// `line` columns [from, to] from source rows `top` and `bottom`, `fy` (Q15) towards the bottom.
void interpolateRowsPortable(const QRgb *top, const QRgb *bottom, int from, int to, int fy,
                             std::int16_t *line);
void interpolateRowsAvx2(const QRgb *top, const QRgb *bottom, int from, int to, int fy, std::int16_t *line);

// Device pixels [from, to) of `row`: the first layer sampled (or, with `overTarget`, what the row
// holds), each further layer blended over it by its weight; written once.
void composeSpanPortable(const SpanLayer *layers, int count, bool overTarget, QRgb *row, int from, int to);
void composeSpanAvx2(const SpanLayer *layers, int count, bool overTarget, QRgb *row, int from, int to);

inline void interpolatePixel(const QRgb *top, const QRgb *bottom, int column, int fy, std::int16_t *line)
{
    const auto *t = reinterpret_cast<const std::uint8_t *>(top + column);
    const auto *b = reinterpret_cast<const std::uint8_t *>(bottom + column);
    for (int c = 0; c < 4; ++c) {
        const int upper = t[c] << 7;
        line[4 * column + c] = std::int16_t(upper + mulhrs((b[c] << 7) - upper, fy));
    }
}

// One device pixel, in the same arithmetic as the vector loop (the tails of its rows use it).
inline void composePixel(const SpanLayer *layers, int count, bool overTarget, QRgb *row, int x)
{
    int acc[4];
    auto *out = reinterpret_cast<std::uint8_t *>(row + x);
    for (int c = 0; c < 4; ++c)
        acc[c] = out[c] << 7;
    for (int l = 0; l < count; ++l) {
        const SpanLayer &layer = layers[l];
        const std::int16_t *left = layer.line + 4 * layer.index[x];
        const int f = layer.fraction[4 * x];
        const int w =
            l == 0 && !overTarget ? fullWeight : std::min<int>(layer.columnWeight[4 * x], layer.rowWeight);
        for (int c = 0; c < 4; ++c) {
            const int sample = left[c] + mulhrs(left[c + 4] - left[c], f);
            acc[c] = l == 0 && !overTarget ? sample : acc[c] + mulhrs(sample - acc[c], w);
        }
    }
    for (int c = 0; c < 3; ++c)
        out[c] = std::uint8_t(std::clamp((acc[c] + 64) >> 7, 0, 255));
    out[3] = 0xff;
}

}   // namespace layerRows
