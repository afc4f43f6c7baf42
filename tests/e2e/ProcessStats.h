// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QtGlobal>
#include <utility>

// Figures of a running process from /proc, for the benchmarks.

// User + system CPU seconds of process `pid` so far, all its threads (0 when it is gone).
double processCpuSeconds(qint64 pid);
// Peak (VmHWM) and current (VmRSS) resident memory of process `pid` in kB; -1 where unknown.
std::pair<long, long> residentKilobytes(qint64 pid);
