// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Colour of a sample from its point of the plane alone (continuous iteration count, distance
// estimate, slope and where the point lies relative to the centre), never from the keyframe that
// samples it: a point gets the same colour in every keyframe that shows it, so each keyframe is
// the centre of its predecessor magnified twice and the player's swaps stay seamless.

#include <array>
#include <vector>

struct KeyframeParams;
struct SampleResult;

class Palette
{
public:
    explicit Palette(const KeyframeParams &params);

    // Linear-light RGB of a sample at (dcRe, dcIm) from the centre; black inside the set.
    std::array<float, 3> colour(const SampleResult &sample, double dcRe, double dcIm) const;

    // The length against which the distance estimate shades a point: within a factor of two of
    // the pixel of every keyframe that samples the point itself (each keyframe samples only the
    // ring outside its central quarter; the end card samples its centre too).
    double shadingScale(double dcRe, double dcIm) const;

private:
    // The gradient at a phase, averaged over `width` phase units around it (width 0: the point).
    std::array<double, 3> filtered(double phase, double width) const;

    const KeyframeParams &m_params;
    std::vector<std::array<double, 3>> m_integral;   // of the gradient over one cycle, from phase 0
};

// sRGB transfer: linear light 0..1 to an 8-bit code value, and back.
unsigned char linearToSrgb8(float linear);
float srgb8ToLinear(unsigned char code);
