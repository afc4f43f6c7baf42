#pragma once
// Renders the linear-light picture of one keyframe over several threads: every pixel averages
// jittered samples, a first grid of them and further grids while the mean is uncertain; the
// central quarter is the deeper keyframe reduced by two.

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

struct KeyframeParams;
class BlaTable;
class ReferenceOrbit;
class Palette;

using LinearImage = std::vector<float>;  // frameWidth * frameHeight * 3, linear light

struct RenderCounters {
    std::atomic<int> rowsDone{0};  // rows of the first pass, for the progress bar
    std::atomic<std::int64_t> samples{0};
    std::atomic<std::int64_t> iterations{0};  // iterations accounted for, skipped ones included
    bool usedBla = false;                     // whether the last keyframe skipped iterations
};

struct PixelRegion {
    int x = 0, y = 0, w = 0, h = 0;
    bool contains(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

class KeyframeRenderer {
public:
    KeyframeRenderer(const KeyframeParams& params, const ReferenceOrbit& orbit, const Palette& palette);

    // Renders keyframe k's view (2 .. 63). `deeper` is keyframe k+1's picture or null; with it the
    // central 400 x 300 pixels are taken from it instead of being sampled again. With a region,
    // only its pixels are rendered (the rest stays black), for measurements and tests.
    LinearImage render(int k, const LinearImage* deeper, int threads, RenderCounters& counters,
                       const PixelRegion* region = nullptr) const;

    // Offset from the centre point of sample s of pixel (x, y) in keyframe k: samples come in
    // grids of samples x samples cells with one jittered point in each.
    void sampleOffset(int k, int x, int y, int s, double& re, double& im) const;

    // The BLA table for keyframe k's samples, or null where it would skip (almost) nothing; then
    // the vector loop is faster.
    std::unique_ptr<BlaTable> blaFor(int k) const;

private:
    struct PixelSums;
    void sampleRow(int k, int y, int pass, const BlaTable* bla, const std::vector<unsigned char>& active,
                   std::vector<PixelSums>& sums, RenderCounters& counters) const;

    const KeyframeParams& m_params;
    const ReferenceOrbit& m_orbit;
    const Palette& m_palette;
};
