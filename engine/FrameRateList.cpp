// SPDX-License-Identifier: GPL-3.0-or-later
#include "FrameRateList.h"

#include <algorithm>
#include <iterator>

namespace {
constexpr int tickRates[] = {3, 4, 6, 8, 10, 12, 15, 18, 20, 22, 25, 30, 35, 40, 60};
constexpr int itemCount = int(std::size(tickRates));
}

QStringList FrameRateList::texts()
{
    QStringList texts;
    for (int i = 0; i + 1 < itemCount; ++i)
        texts.append(QString::number(tickRates[i]));
    texts.append(QStringLiteral("maximal"));
    return texts;
}

int FrameRateList::ticksPerSecond(int index)
{
    return tickRates[std::clamp(index, 0, itemCount - 1)];
}

int FrameRateList::indexOf(const QString &text)
{
    return int(texts().indexOf(text));
}
