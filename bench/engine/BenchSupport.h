// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small helpers shared by the engine benchmarks: timing and medians.
#include <chrono>
#include <vector>

using BenchClock = std::chrono::steady_clock;

inline double millisecondsSince(BenchClock::time_point start)
{
    return std::chrono::duration<double, std::milli>(BenchClock::now() - start).count();
}

double median(std::vector<double> values);

// Each part prints its own table to stdout.
void benchRender();
void benchDecode();
void benchZoomRun();
void benchSharp();
void benchHdComposition();
