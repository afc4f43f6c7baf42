// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZoomTimeline.h"

#include <algorithm>
#include <cmath>

namespace {
// Each keyframe halves the width of the one before: one octave of magnification.
constexpr int runOctaves = ZoomTimeline::lastFrame - ZoomTimeline::firstFrame + 1;
}

ZoomTimeline::ZoomTimeline(double stepFactor, double ticksPerSecond)
    : m_stepFactor(stepFactor),
      m_ticksPerSecond(ticksPerSecond),
      m_octavesPerSecond(std::log2(stepFactor) * ticksPerSecond)
{
}

double ZoomTimeline::stepFactorForSpeed(int position)
{
    // The panel's curve: 0.99 + 0.0125 * 2^(p / 25.04), computed exactly as the panel does, so
    // that a position here means the speed it means there.
    const double x = double(static_cast<long double>(position) * 0.039936102236421724L);
    return 0.99 + 0.0125 * std::pow(2.0, x);
}

double ZoomTimeline::runSeconds() const
{
    return runOctaves / m_octavesPerSecond;
}

double ZoomTimeline::octavesAt(double t) const
{
    return std::clamp(t * m_octavesPerSecond, 0.0, double(runOctaves));
}

ZoomMoment ZoomTimeline::atRunSeconds(double t) const
{
    const double octaves = octavesAt(t);
    // The last keyframe of the run carries the final octave up to scale 2.
    const int whole = std::min(int(std::floor(octaves)), runOctaves - 1);
    return {firstFrame + whole, std::exp2(octaves - whole)};
}

ZoomMoment ZoomTimeline::atRunSecondsOut(double t) const
{
    return atRunSeconds(runSeconds() - t);
}
