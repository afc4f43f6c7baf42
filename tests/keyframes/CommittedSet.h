// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The committed keyframe set as the tests read it: its parameter file, the reference orbit at
// its centre, and its pictures decoded to RGB.

#include <string>
#include <vector>

struct KeyframeParams;
class ReferenceOrbit;

const KeyframeParams &committedParams();
// The orbit at the committed centre, up to the set's own iteration limit.
const ReferenceOrbit &committedOrbit();
// One committed set: the player's 800 x 600 one, or the 1600 x 1200 one in hd/.
struct KeyframeSet
{
    std::string folder;   // relative to the keyframes folder
    int width = 800;
    int height = 600;
    int scale() const { return width / 800; }
};
inline const KeyframeSet playerSet{"", 800, 600};
inline const KeyframeSet hdSet{"hd/", 1600, 1200};

// Whether all 63 files of the set are there.
bool setPresent(const KeyframeSet &set);
// Keyframe k as width x height x 3 bytes; empty if it cannot be read or decoded.
std::vector<unsigned char> decodeKeyframe(int k, const KeyframeSet &set = playerSet);
