// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "ZoomTimeline.h"

// What each frame of an exported video shows: the first card held, the zoom run sampled at the
// video's frame rate, the other card held. Zooming in starts on the start card and ends on the
// end card; zooming out the other way round. Each card keeps its own hold time.
class ExportSchedule
{
public:
    ExportSchedule(const ZoomTimeline &timeline, int framesPerSecond, double startCardSeconds,
                   double endCardSeconds, bool zoomOut);

    int frameCount() const;
    double seconds() const;
    // The view of video frame `index` (0 .. frameCount - 1).
    ZoomMoment at(int index) const;

private:
    ZoomTimeline m_timeline;
    int m_framesPerSecond;
    double m_firstHold;
    double m_lastHold;
    bool m_zoomOut;
};
