// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QtGlobal>
#include <utility>
#include <vector>

// Figures of a running process from /proc, for the benchmarks.

// User + system CPU seconds of process `pid` so far, all its threads (0 when it is gone).
double processCpuSeconds(qint64 pid);
// Peak (VmHWM) and current (VmRSS) resident memory of process `pid` in kB; -1 where unknown.
std::pair<long, long> residentKilobytes(qint64 pid);
// CPU seconds per wall-clock second of each process over the next `seconds` (waits that long).
std::vector<double> cpuSharesOver(const std::vector<qint64> &pids, int seconds);
