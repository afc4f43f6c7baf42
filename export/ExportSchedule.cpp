// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExportSchedule.h"

#include <algorithm>
#include <cmath>

ExportSchedule::ExportSchedule(const ZoomTimeline &timeline, int framesPerSecond, double startCardSeconds,
                               double endCardSeconds, bool zoomOut)
    : m_timeline(timeline),
      m_framesPerSecond(framesPerSecond),
      m_firstHold(zoomOut ? endCardSeconds : startCardSeconds),
      m_lastHold(zoomOut ? startCardSeconds : endCardSeconds),
      m_zoomOut(zoomOut)
{
}

double ExportSchedule::seconds() const
{
    return m_firstHold + m_timeline.runSeconds() + m_lastHold;
}

int ExportSchedule::frameCount() const
{
    return std::max(1, int(std::lround(seconds() * m_framesPerSecond)));
}

ZoomMoment ExportSchedule::at(int index) const
{
    const double t = double(index) / m_framesPerSecond - m_firstHold;
    const ZoomMoment startCard{ZoomTimeline::startCard, 1.0};
    const ZoomMoment endCard{ZoomTimeline::endCard, 1.0};
    if (t < 0)
        return m_zoomOut ? endCard : startCard;
    if (t > m_timeline.runSeconds())
        return m_zoomOut ? startCard : endCard;
    return m_zoomOut ? m_timeline.atRunSecondsOut(t) : m_timeline.atRunSeconds(t);
}
