// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "ZoomTimeline.h"

// The screensaver's endless flight: the zoom run inwards, then the same run outwards, and again,
// without a pause at either end.
class ScreensaverFlight
{
public:
    explicit ScreensaverFlight(const ZoomTimeline &timeline);

    // The view `seconds` after the flight began (any seconds >= 0).
    ZoomMoment at(double seconds) const;
    // The length of one way in and back out.
    double periodSeconds() const;

private:
    ZoomTimeline m_timeline;
};
