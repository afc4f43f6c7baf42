#pragma once
// Sizes of the keyframe set and where each keyframe lies in the plane, plus the areas of the two
// cards that carry text (the rest of a card is the plain picture beneath).

#include <array>
#include <cmath>

namespace keyframes {

constexpr int frameWidth = 800;
constexpr int frameHeight = 600;
constexpr int firstKeyframe = 1;   // start card
constexpr int lastKeyframe = 63;   // end card
constexpr int firstRun = 2;
constexpr int lastRun = 62;

// Complex width of one pixel of keyframe k (the start card shares keyframe 2's view).
inline double pixelSize(double width, int k)
{
    return std::ldexp(width / frameWidth, -(k < firstRun ? 0 : k - firstRun));
}

struct TextBox {
    int x, y, w, h;
    bool contains(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

// The start card keeps its text above and below the small figure in the centre.
constexpr std::array<TextBox, 2> startCardText{{{40, 14, 720, 126}, {40, 460, 720, 126}}};
// The end card's text sits in the upper and lower thirds of the almost white picture.
constexpr std::array<TextBox, 2> endCardText{{{40, 20, 720, 150}, {40, 430, 720, 150}}};

}  // namespace keyframes
