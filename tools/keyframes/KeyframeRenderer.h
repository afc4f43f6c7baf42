#pragma once
// Renders the linear-light picture of one keyframe over several threads: every pixel averages a
// jittered grid of samples; the central quarter is the deeper keyframe reduced by two.

#include <atomic>
#include <cstdint>
#include <vector>

struct KeyframeParams;
class ReferenceOrbit;
class Palette;

using LinearImage = std::vector<float>;  // frameWidth * frameHeight * 3, linear light

struct RenderCounters {
    std::atomic<int> rowsDone{0};
    std::atomic<std::int64_t> samples{0};
    std::atomic<std::int64_t> iterations{0};
};

class KeyframeRenderer {
public:
    KeyframeRenderer(const KeyframeParams& params, const ReferenceOrbit& orbit, const Palette& palette);

    // Renders keyframe k's view (2 .. 63). `deeper` is keyframe k+1's picture or null; with it the
    // central 400 x 300 pixels are taken from it instead of being sampled again.
    LinearImage render(int k, const LinearImage* deeper, int threads, RenderCounters& counters) const;

    // Offset from the centre point of sample (i, j) of pixel (x, y) in keyframe k.
    void sampleOffset(int k, int x, int y, int i, int j, double& re, double& im) const;

private:
    void renderRow(int k, int y, const LinearImage* deeper, LinearImage& out, RenderCounters& counters) const;

    const KeyframeParams& m_params;
    const ReferenceOrbit& m_orbit;
    const Palette& m_palette;
};
