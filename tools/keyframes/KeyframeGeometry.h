// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sizes of the keyframe set and where each keyframe lies in the plane, plus the areas of the two
// cards that carry text (the rest of a card is the plain picture beneath).

#include <array>
#include <cmath>

namespace keyframes {

// The player's keyframe size. A set may be rendered at this size times a power of two; the
// player's set is then its reduction to this size.
constexpr int frameWidth = 800;
constexpr int frameHeight = 600;
constexpr int firstKeyframe = 1;   // start card
constexpr int lastKeyframe = 63;   // end card
constexpr int firstRun = 2;
constexpr int lastRun = 62;

// Complex width of one pixel of keyframe k, `pixels` wide (the start card shares keyframe 2's view).
inline double pixelSize(double width, int k, int pixels = frameWidth)
{
    return std::ldexp(width / pixels, -(k < firstRun ? 0 : k - firstRun));
}

struct TextBox
{
    int x, y, w, h;
    bool contains(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
    TextBox scaled(int factor) const { return {x * factor, y * factor, w * factor, h * factor}; }
};

// In the player's keyframe size. The player shows the central 640 x 480 pixels at its start size ("mittel") and the central
// 440 x 330 at "klein", so all card text stays inside the central 440 x 330. The start card keeps
// its text above and below the small figure; the end card puts its text on dark panels above and
// below the centre, where the mini-set shows between them.
constexpr std::array<TextBox, 2> startCardText{{{186, 138, 428, 72}, {186, 412, 428, 52}}};
constexpr std::array<TextBox, 2> endCardText{{{186, 138, 428, 74}, {186, 366, 428, 98}}};

}   // namespace keyframes
