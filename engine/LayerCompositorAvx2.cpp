// SPDX-License-Identifier: GPL-3.0-or-later
// The compositor's row loops for four device pixels at a time, compiled for AVX2.
#include "LayerRows.h"

#include <immintrin.h>

namespace layerRows {
namespace {

// Four device pixels of one layer: each the left source pixel plus the right one's share.
inline __m256i sample(const SpanLayer &layer, int x)
{
    const int *index = layer.index + x;
    const auto at = [&](int i) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i *>(layer.line + 4 * index[i]));
    };
    // Each load holds a pixel's left and right neighbour; pixels 0 and 2 in one register, 1 and 3
    // in the other, so that unpacking gives left and right in the order of the device pixels.
    const __m256i even = _mm256_set_m128i(at(2), at(0));
    const __m256i odd = _mm256_set_m128i(at(3), at(1));
    const __m256i left = _mm256_unpacklo_epi64(even, odd);
    const __m256i right = _mm256_unpackhi_epi64(even, odd);
    const __m256i fraction = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(layer.fraction + 4 * x));
    return _mm256_add_epi16(left, _mm256_mulhrs_epi16(_mm256_sub_epi16(right, left), fraction));
}

}   // namespace

void interpolateRowsAvx2(const QRgb *top, const QRgb *bottom, int from, int to, int fy, std::int16_t *line)
{
    const __m256i weight = _mm256_set1_epi16(std::int16_t(fy));
    int column = from;
    for (; column + 3 <= to; column += 4) {
        const __m256i upper = _mm256_slli_epi16(
            _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(top + column))), 7);
        const __m256i lower = _mm256_slli_epi16(
            _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(bottom + column))), 7);
        const __m256i value =
            _mm256_add_epi16(upper, _mm256_mulhrs_epi16(_mm256_sub_epi16(lower, upper), weight));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(line + 4 * column), value);
    }
    for (; column <= to; ++column)
        interpolatePixel(top, bottom, column, fy, line);
}

void composeSpanAvx2(const SpanLayer *layers, int count, bool overTarget, QRgb *row, int from, int to)
{
    const __m256i half = _mm256_set1_epi16(64);
    const __m128i opaque = _mm_set1_epi32(int(0xff000000));
    int x = from;
    for (; x + 4 <= to; x += 4) {
        auto *out = reinterpret_cast<__m128i *>(row + x);
        int l = 0;
        __m256i acc;
        if (overTarget) {
            acc = _mm256_slli_epi16(_mm256_cvtepu8_epi16(_mm_loadu_si128(out)), 7);
        } else {
            acc = sample(layers[0], x);
            l = 1;
        }
        for (; l < count; ++l) {
            const SpanLayer &layer = layers[l];
            const __m256i weight = _mm256_min_epi16(
                _mm256_loadu_si256(reinterpret_cast<const __m256i *>(layer.columnWeight + 4 * x)),
                _mm256_set1_epi16(layer.rowWeight));
            acc = _mm256_add_epi16(acc, _mm256_mulhrs_epi16(_mm256_sub_epi16(sample(layer, x), acc), weight));
        }
        const __m256i bytes =
            _mm256_packus_epi16(_mm256_srai_epi16(_mm256_add_epi16(acc, half), 7), _mm256_setzero_si256());
        // The pack works within each 128-bit half: pixels 0 and 1 low, 2 and 3 high.
        const __m256i ordered = _mm256_permute4x64_epi64(bytes, _MM_SHUFFLE(3, 1, 2, 0));
        _mm_storeu_si128(out, _mm_or_si128(_mm256_castsi256_si128(ordered), opaque));
    }
    for (; x < to; ++x)
        composePixel(layers, count, overTarget, row, x);
}

}   // namespace layerRows
