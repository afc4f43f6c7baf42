// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Renders the linear-light picture of one keyframe over several threads: every pixel averages
// jittered samples, a first grid of them and further grids while the mean is uncertain; the
// central quarter is the deeper keyframe reduced by two.

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

struct KeyframeParams;
struct SampleResult;
class BlaTable;
class ReferenceOrbit;
class Palette;

using LinearImage = std::vector<float>;   // width * height * 3 of the rendered size, linear light

// The picture (width x height) reduced by two, each pixel the mean of four in linear light: the
// same area with four times the samples.
LinearImage halve(const LinearImage &linear, int width, int height);

struct RenderCounters
{
    std::atomic<int> rowsDone{0};   // rows of the first pass, for the progress bar
    std::atomic<std::int64_t> samples{0};
    std::atomic<std::int64_t> iterations{0};   // iterations accounted for, skipped ones included
    std::atomic<std::int64_t> blaSamples{0};   // samples iterated with BLA
};

struct PixelRegion
{
    int x = 0, y = 0, w = 0, h = 0;
    bool contains(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

class KeyframeRenderer
{
public:
    KeyframeRenderer(const KeyframeParams &params, const ReferenceOrbit &orbit, const Palette &palette);
    ~KeyframeRenderer();

    // Renders keyframe k's view (2 .. 63). `deeper` is keyframe k+1's picture or null; with it the
    // central quarter (400 x 300 pixels at 800 x 600) is taken from it instead of being sampled again. With a region,
    // only its pixels are rendered (the rest stays black), for measurements and tests.
    LinearImage render(int k, const LinearImage *deeper, int threads, RenderCounters &counters,
                       const PixelRegion *region = nullptr) const;

    // Offset from the centre point of sample s of pixel (x, y) in keyframe k: samples come in
    // grids of samples x samples cells with one jittered point in each.
    void sampleOffset(int k, int x, int y, int s, double &re, double &im) const;

    // Iterates samples at these offsets from the centre. Each sample's result depends on its point
    // alone, never on the keyframe or the other samples: the BLA table is chosen by |dc| (one per
    // power of two, built for the largest |dc| it serves), and where it would skip little the
    // vector loop runs instead. Thread-safe. Returns how many samples used BLA. Without `cycles`
    // the vector loop looks for no attracting cycles (the same results; see iteratePerturbedBatch).
    int iterateSamples(const double *re, const double *im, int count, SampleResult *results,
                       bool cycles = true) const;

    // The BLA table iterateSamples uses for a sample at this offset, or null.
    const BlaTable *blaFor(double dcRe, double dcIm) const;

private:
    // Tables are built for |dc| below 2^exponent.
    static int blaExponent(double dcRe, double dcIm);
    const BlaTable *blaForExponent(int exponent) const;
    struct PixelSums;
    void sampleRow(int k, int y, int pass, bool cycles, const std::vector<unsigned char> &active,
                   std::vector<PixelSums> &sums, RenderCounters &counters) const;
    // Whether a coarse grid over these pixels of keyframe k finds any point inside the set.
    bool showsInterior(int k, const std::vector<unsigned char> &wanted, int threads) const;

    const KeyframeParams &m_params;
    const ReferenceOrbit &m_orbit;
    const Palette &m_palette;
    mutable std::mutex m_blaMutex;
    mutable std::map<int, std::unique_ptr<BlaTable>>
        m_bla;   // by binary exponent of |dc|; null: not worth it
};
