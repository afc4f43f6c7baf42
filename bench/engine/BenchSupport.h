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

// The HD keyframe file the build made, registered; not available where the build made none.
HdKeyframeSet builtHdKeyframes();

// Each part prints its own table to stdout.
void benchRender();
void benchDecode();
void benchZoomRun();
void benchSharp();
void benchHdComposition();
