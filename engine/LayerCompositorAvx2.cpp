// SPDX-License-Identifier: GPL-3.0-or-later
// The compositor's row loops for four and eight target pixels at a time, compiled for AVX2.
#include "LayerRows.h"

#include <immintrin.h>

namespace layerRows {
namespace {

[[gnu::always_inline]] inline __m256i load(const std::int16_t *at)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i *>(at));
}

[[gnu::always_inline]] inline __m256i widened(__m128i bytes)
{
    return _mm256_slli_epi16(_mm256_cvtepu8_epi16(bytes), 7);
}

// Four target pixels, the layers blended in order.
[[gnu::always_inline]] inline __m256i blend(const SpanLayer *layers, int count, bool overTarget,
                                            const QRgb *row, int x)
{
    __m256i acc = overTarget ? widened(_mm_loadu_si128(reinterpret_cast<const __m128i *>(row + x)))
                             : _mm256_setzero_si256();
    for (int l = 0; l < count; ++l) {
        const SpanLayer &layer = layers[l];
        const __m256i upper = load(layer.upper + 4 * x);
        const __m256i sample =
            _mm256_add_epi16(upper,
                             _mm256_mulhrs_epi16(_mm256_sub_epi16(load(layer.lower + 4 * x), upper),
                                                 _mm256_set1_epi16(layer.rowFraction)));
        if (l == 0 && !overTarget) {
            acc = sample;
            continue;
        }
        const __m256i weight =
            _mm256_min_epi16(load(layer.columnWeight + 4 * x), _mm256_set1_epi16(layer.rowWeight));
        acc = _mm256_add_epi16(acc, _mm256_mulhrs_epi16(_mm256_sub_epi16(sample, acc), weight));
    }
    // (acc + 64) >> 7 in one step: the rounding multiply by 2^8 takes (acc * 2^8 + 2^14) >> 15.
    return _mm256_mulhrs_epi16(acc, _mm256_set1_epi16(1 << 8));
}

}   // namespace

void sampleRowAvx2(const QRgb *source, const int *index, const std::int16_t *fraction, int from, int to,
                   std::int16_t *out)
{
    int x = from;
    for (; x + 4 <= to; x += 4) {
        // Each load holds a column's source pixel and the next one.
        const auto pair = [&](int i) {
            return _mm_loadl_epi64(reinterpret_cast<const __m128i *>(source + index[x + i]));
        };
        const __m128i first = _mm_unpacklo_epi32(pair(0), pair(1));    // left 0, left 1, right 0, right 1
        const __m128i second = _mm_unpacklo_epi32(pair(2), pair(3));   // the same for columns 2 and 3
        const __m256i left = widened(_mm_unpacklo_epi64(first, second));
        const __m256i right = widened(_mm_unpackhi_epi64(first, second));
        _mm256_storeu_si256(
            reinterpret_cast<__m256i *>(out + 4 * x),
            _mm256_add_epi16(left,
                             _mm256_mulhrs_epi16(_mm256_sub_epi16(right, left), load(fraction + 4 * x))));
    }
    for (; x < to; ++x)
        samplePixel(source, index, fraction, x, out);
}

void composeSpanAvx2(const SpanLayer *layers, int count, bool overTarget, QRgb *row, int from, int to)
{
    const __m256i opaque = _mm256_set1_epi32(int(0xff000000));
    int x = from;
    // Most of a large view is one layer alone.
    const auto store = [&](__m256i bytes) {
        // The pack works within each 128-bit half: pixels 0, 1, 4, 5 low and 2, 3, 6, 7 high.
        const __m256i ordered = _mm256_permute4x64_epi64(bytes, _MM_SHUFFLE(3, 1, 2, 0));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(row + x), _mm256_or_si256(ordered, opaque));
    };
    if (count == 1 && !overTarget) {
        for (; x + 8 <= to; x += 8)
            store(_mm256_packus_epi16(blend(layers, 1, false, row, x), blend(layers, 1, false, row, x + 4)));
    }
    for (; x + 8 <= to; x += 8) {
        const __m256i bytes = _mm256_packus_epi16(blend(layers, count, overTarget, row, x),
                                                  blend(layers, count, overTarget, row, x + 4));
        store(bytes);
    }
    if (x + 4 <= to) {
        const __m256i bytes =
            _mm256_packus_epi16(blend(layers, count, overTarget, row, x), _mm256_setzero_si256());
        const __m128i ordered =
            _mm256_castsi256_si128(_mm256_permute4x64_epi64(bytes, _MM_SHUFFLE(3, 1, 2, 0)));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(row + x),
                         _mm_or_si128(ordered, _mm256_castsi256_si128(opaque)));
        x += 4;
    }
    for (; x < to; ++x)
        composePixel(layers, count, overTarget, row, x);
}

}   // namespace layerRows
