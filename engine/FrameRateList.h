// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>

// The frame rates the speed panel offers, in its order: ticks per second from "3" to "40", and
// "maximal", which ticks 60 times a second.
class FrameRateList
{
public:
    static QStringList texts();
    // Ticks per second of item `index` (0 .. texts().size() - 1).
    static int ticksPerSecond(int index);
    // The item `text` names, or -1 when the panel does not offer it.
    static int indexOf(const QString &text);
};
