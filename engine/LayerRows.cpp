// SPDX-License-Identifier: GPL-3.0-or-later
// The compositor's row loops one pixel at a time, for processors without AVX2.
#include "LayerRows.h"

namespace layerRows {

void interpolateRowsPortable(const QRgb *top, const QRgb *bottom, int from, int to, int fy,
                             std::int16_t *line)
{
    for (int column = from; column <= to; ++column)
        interpolatePixel(top, bottom, column, fy, line);
}

void composeSpanPortable(const SpanLayer *layers, int count, bool overTarget, QRgb *row, int from, int to)
{
    for (int x = from; x < to; ++x)
        composePixel(layers, count, overTarget, row, x);
}

}   // namespace layerRows
