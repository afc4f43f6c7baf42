// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every value that decides the keyframe pictures, read from the parameter file that lives beside
// the committed set, so that the same file always regenerates the same bytes.

#include <string>
#include <vector>

struct PaletteStop
{
    double position = 0.0;                       // log2 of the smooth iteration count
    double red = 0.0, green = 0.0, blue = 0.0;   // linear light, 0..1
};

struct KeyframeParams
{
    std::string centreRe;   // decimal digits of the shared centre point
    std::string centreIm;
    int precisionBits = 160;   // for the reference orbit
    double width = 8.0;        // complex width spanned by keyframe 2
    // Pixels of the rendered set (optional key): the player's 800 x 600 times a power of two. A
    // larger set is written beside its reductions down to 800 x 600.
    int imageWidth = 800;
    int imageHeight = 600;
    int maxIterations = 20000;
    double bailout = 1024.0;
    // Sampling and iteration skipping (optional keys): every pixel starts with samples * samples
    // jittered samples and gets further sets of as many while its mean is uncertain by more than
    // samplesTolerance 8-bit levels, up to samplesMax * samplesMax samples.
    int samples = 4;
    int samplesMax = 4;
    double samplesTolerance = 1.0;
    bool bla = true;    // bilinear approximation where it skips iterations
    int blaBits = 40;   // its tolerance: the neglected term below 2^-blaBits of the linear one
    unsigned long long seed = 1;
    int quality = 94;       // keyframes 2 .. 62
    int cardQuality = 90;   // keyframes 1 and 63
    // Colouring (Palette): a cyclic gradient through the stops, its phase from the square root and
    // the log2 of the continuous count and from log2 of the distance estimate.
    std::vector<PaletteStop> stops;   // one cycle, positions in 0..1 of the cycle
    double cycleSqrt = 2.0;           // cycle length in sqrt(count)
    double cycleLog = 2.0;            // cycle length in log2(count)
    double cycleDistance = 12.0;      // cycle length in log2(distance), one keyframe per unit
    double cyclePhase = 0.0;
    double glowStart = 1.0;   // log2(count) where the colour starts to rise from the far colour
    double glowEnd = 4.0;     // log2(count) where it reaches full strength
    double farRed = 0.0, farGreen = 0.0, farBlue = 0.0;   // far from the set; the darkest exterior colour
    double edgeWidth = 1.0;     // distance, in shading scales, over which edges darken
    double edgeFloor = 0.3;     // brightness left right at the set's edge
    double lightAngle = 45.0;   // direction of the slope light, degrees
    double lightAmount = 0.2;   // brightness swing of the slope light
    // Width, in shading scales, over which a point's colour is averaged along its count (0: none).
    // The average is exact for the gradient, so a pixel's samples agree where the bands are finer
    // than the pixel, and few samples reach the picture that many would give.
    double filter = 0.0;
    // The shading scale in pixels of the rendered size (optional key palette.scale).
    double shadingPixels = 1.0;

    // Reads "key = value" lines; '#' starts a comment. Throws std::runtime_error with the
    // file name and line on a bad or missing value.
    static KeyframeParams load(const std::string &path);
    static KeyframeParams parse(const std::string &text, const std::string &sourceName);
};
