// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Boundary-following search for the centre point: from a given keyframe on, each doubling moves the
// centre towards dense filaments away from the interior. Used to choose the centre once; its
// digits then go into the parameter file.

#include <string>

struct KeyframeParams;

struct AutopilotResult
{
    std::string centreRe, centreIm;
};

// Starts from params' centre at keyframe `from` and steers down to keyframe `to`; reports each
// step on stderr.
AutopilotResult runAutopilot(const KeyframeParams &params, int from, int to, int threads);
