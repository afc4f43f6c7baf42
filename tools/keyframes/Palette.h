#pragma once
// Colour of a sample from its continuous iteration count alone, so that a point of the plane gets
// the same colour in every keyframe that shows it.

#include <array>

struct KeyframeParams;

class Palette {
public:
    explicit Palette(const KeyframeParams& params);

    // Linear-light RGB; a negative count (inside the set) is black.
    std::array<float, 3> colour(double smoothCount) const;

private:
    const KeyframeParams& m_params;
};

// sRGB transfer: linear light 0..1 to an 8-bit code value, and back.
unsigned char linearToSrgb8(float linear);
float srgb8ToLinear(unsigned char code);
