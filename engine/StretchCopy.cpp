// SPDX-License-Identifier: GPL-3.0-or-later
#include "StretchCopy.h"

#include <QImage>
#include <QRect>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {
// Index of the source pixel under the centre of target pixel i: from + (i + 1/2) * sourceSize /
// targetSize, in integers so the mapping never drifts across a row.
int sourceIndex(int i, int fromStart, int fromSize, int toSize)
{
    return fromStart + int((2LL * i + 1) * fromSize / (2LL * toSize));
}
}

void stretchCopy(const QImage &source, const QRect &from, QImage &target, const QRect &to)
{
    if (source.isNull() || target.isNull() || from.isEmpty() || to.isEmpty() || source.depth() != 32
        || target.depth() != 32)
        return;
    const QRect visible = to & target.rect();
    if (visible.isEmpty())
        return;

    // Column table, reused from call to call (GUI thread only).
    static std::vector<int> columns;
    columns.resize(std::size_t(visible.width()));
    for (int x = visible.left(); x <= visible.right(); ++x) {
        const int sx = sourceIndex(x - to.left(), from.left(), from.width(), to.width());
        columns[std::size_t(x - visible.left())] = std::clamp(sx, 0, source.width() - 1);
    }

    const std::size_t rowBytes = std::size_t(visible.width()) * 4;
    int previousRow = -1;
    for (int y = visible.top(); y <= visible.bottom(); ++y) {
        const int sy = std::clamp(sourceIndex(y - to.top(), from.top(), from.height(), to.height()), 0,
                                  source.height() - 1);
        auto *out = reinterpret_cast<quint32 *>(target.scanLine(y)) + visible.left();
        if (sy == previousRow) {
            // A magnified row repeats the one above it.
            std::memcpy(out, reinterpret_cast<const quint32 *>(target.constScanLine(y - 1)) + visible.left(),
                        rowBytes);
            continue;
        }
        const auto *in = reinterpret_cast<const quint32 *>(source.constScanLine(sy));
        const int *column = columns.data();
        for (int i = 0, n = visible.width(); i < n; ++i)
            out[i] = in[column[i]];
        previousRow = sy;
    }
}
