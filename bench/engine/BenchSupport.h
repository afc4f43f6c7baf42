// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small helpers shared by the engine benchmarks: timing and medians.
#include "HdKeyframeSet.h"

#include <chrono>
#include <vector>

using BenchClock = std::chrono::steady_clock;

inline double millisecondsSince(BenchClock::time_point start)
{
    return std::chrono::duration<double, std::milli>(BenchClock::now() - start).count();
}

double median(std::vector<double> values);
// The value below which `share` of them lie (0.99: the 99th percentile).
double percentile(std::vector<double> values, double share);
// CPU time of the whole process, all its threads: on a shared machine, other processes' load
// does not count.
double processMilliseconds();

// The HD keyframe file the build made, registered; not available where the build made none.
HdKeyframeSet builtHdKeyframes();

// Each part prints its own table to stdout.
void benchRender();
void benchDecode();
void benchZoomRun();
void benchSharp();
void benchHdComposition();
