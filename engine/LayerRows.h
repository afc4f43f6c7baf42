// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The inner loops of the layer compositor, one row at a time, in a portable and an AVX2 version
// that compute the same bytes. Channels are held as 16-bit numbers with 7 fraction bits ("Q7")
// and weights with 15 fraction bits ("Q15", 32767 standing for one), so that the AVX2 version
// can use its rounding multiply (mulhrs) on sixteen channels at once. A layer is filtered in two
// steps: each source row it needs is sampled at every target column once, and each target row
// then interpolates between two such rows (an enlarged layer's rows serve several target rows).

#include <QRgb>

#include <cstdint>

namespace layerRows {

constexpr int fullWeight = 32767;

// One layer's part of a target row: its two source rows sampled at the target's columns (four Q7
// channels per column), the lower one's weight, and the layer's weight across the row (four per
// column) and down the columns.
struct SpanLayer
{
    const std::int16_t *upper;
    const std::int16_t *lower;
    std::int16_t rowFraction;
    const std::int16_t *columnWeight;
    std::int16_t rowWeight;
};

// The helpers below are compiled into the AVX2 file as well: static, so that the linker never
// hands a processor without AVX2 that file's copy of them.
static inline int mulhrs(int a, int b)
{
    return (a * b + 0x4000) >> 15;
}

// Target columns [from, to) of source row `source` into `out`: per column the source pixel
// `index` and the next one, `fraction` (Q15, four per column) towards the next.
void sampleRowPortable(const QRgb *source, const int *index, const std::int16_t *fraction, int from, int to,
                       std::int16_t *out);
void sampleRowAvx2(const QRgb *source, const int *index, const std::int16_t *fraction, int from, int to,
                   std::int16_t *out);

// Target pixels [from, to) of `row`: the first layer sampled (or, with `overTarget`, what the row
// holds), each further layer blended over it by its weight; written once.
void composeSpanPortable(const SpanLayer *layers, int count, bool overTarget, QRgb *row, int from, int to);
void composeSpanAvx2(const SpanLayer *layers, int count, bool overTarget, QRgb *row, int from, int to);

static inline void samplePixel(const QRgb *source, const int *index, const std::int16_t *fraction, int x,
                               std::int16_t *out)
{
    const auto *left = reinterpret_cast<const std::uint8_t *>(source + index[x]);
    const int f = fraction[4 * x];
    for (int c = 0; c < 4; ++c) {
        const int value = left[c] << 7;
        out[4 * x + c] = std::int16_t(value + mulhrs((left[c + 4] << 7) - value, f));
    }
}

// One target pixel, in the same arithmetic as the vector loop (the ends of its rows use it).
static inline void composePixel(const SpanLayer *layers, int count, bool overTarget, QRgb *row, int x)
{
    int acc[4];
    auto *out = reinterpret_cast<std::uint8_t *>(row + x);
    for (int c = 0; c < 4; ++c)
        acc[c] = out[c] << 7;
    for (int l = 0; l < count; ++l) {
        const SpanLayer &layer = layers[l];
        const bool first = l == 0 && !overTarget;
        const int columnWeight = layer.columnWeight[4 * x];
        const int w = first ? fullWeight : columnWeight < layer.rowWeight ? columnWeight : layer.rowWeight;
        for (int c = 0; c < 4; ++c) {
            const int upper = layer.upper[4 * x + c];
            const int sample = upper + mulhrs(layer.lower[4 * x + c] - upper, layer.rowFraction);
            acc[c] = first ? sample : acc[c] + mulhrs(sample - acc[c], w);
        }
    }
    for (int c = 0; c < 3; ++c) {
        const int value = (acc[c] + 64) >> 7;
        out[c] = std::uint8_t(value < 0 ? 0 : value > 255 ? 255 : value);
    }
    out[3] = 0xff;
}

}   // namespace layerRows
