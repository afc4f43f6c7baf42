// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The committed keyframe set as the tests read it: its parameter file, the reference orbit at
// its centre, and its pictures decoded to RGB.

#include <vector>

struct KeyframeParams;
class ReferenceOrbit;

const KeyframeParams &committedParams();
// The orbit at the committed centre, up to the set's own iteration limit.
const ReferenceOrbit &committedOrbit();
// Keyframe k as 800 x 600 x 3 bytes; empty if it cannot be read or decoded.
std::vector<unsigned char> decodeKeyframe(int k);
