// SPDX-License-Identifier: GPL-3.0-or-later
// The compositor's row loops one pixel at a time, for processors without AVX2.
#include "LayerRows.h"

namespace layerRows {

void sampleRowPortable(const QRgb *source, const int *index, const std::int16_t *fraction, int from, int to,
                       std::int16_t *out)
{
    for (int x = from; x < to; ++x)
        samplePixel(source, index, fraction, x, out);
}

void composeSpanPortable(const SpanLayer *layers, int count, bool overTarget, QRgb *row, int from, int to)
{
    for (int x = from; x < to; ++x)
        composePixel(layers, count, overTarget, row, x);
}

}   // namespace layerRows
