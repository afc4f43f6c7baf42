// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "ZoomTimeline.h"

#include <cstdint>

// The zoom as a screensaver: the sharp view filling a window of another program (or the root
// window), flying in and out again for ever, until the window goes or the process is asked to end.
class Screensaver
{
public:
    // `window` 0 stands for the root window; frames are drawn `framesPerSecond` times a second.
    Screensaver(std::uint32_t window, const ZoomTimeline &timeline, double framesPerSecond);

    // Draws until SIGTERM, SIGINT or SIGHUP arrives or the window goes, and returns 0 then; a
    // window that cannot be used or a keyframe that cannot be decoded is reported on standard
    // error and returns 1. Blocks those signals in the whole process: run it from the main thread
    // before any other thread starts.
    int run();

private:
    std::uint32_t m_window;
    ZoomTimeline m_timeline;
    double m_framesPerSecond;
};
