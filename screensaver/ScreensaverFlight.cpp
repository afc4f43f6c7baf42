// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScreensaverFlight.h"

#include <algorithm>
#include <cmath>

ScreensaverFlight::ScreensaverFlight(const ZoomTimeline &timeline) : m_timeline(timeline) { }

double ScreensaverFlight::periodSeconds() const
{
    return 2.0 * m_timeline.runSeconds();
}

ZoomMoment ScreensaverFlight::at(double seconds) const
{
    const double run = m_timeline.runSeconds();
    // Coming back out passes the views going in took, in reverse order.
    const double phase = std::fmod(std::max(seconds, 0.0), 2.0 * run);
    return m_timeline.atRunSeconds(phase <= run ? phase : 2.0 * run - phase);
}
