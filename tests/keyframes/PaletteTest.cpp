// SPDX-License-Identifier: GPL-3.0-or-later
// The colouring is a function of the point alone: the same point of the plane, iterated as part of
// keyframe k and as part of keyframe k+1, gets the same colour, and the edge shading's scale
// follows the pixels of the keyframes that sample the point without depending on any of them.

#include "Palette.h"
#include "CommittedSet.h"
#include "KeyframeGeometry.h"
#include "KeyframeParams.h"
#include "KeyframeRenderer.h"
#include "PerturbationBatch.h"
#include "ReferenceOrbit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

using namespace keyframes;

namespace {

const KeyframeParams &params()
{
    return committedParams();
}

// A shorter limit than the set's keeps the test quick; the points compared are the same either way.
constexpr int iterations = 20000;

const ReferenceOrbit &orbit()
{
    static const ReferenceOrbit o(params().centreRe, params().centreIm, params().precisionBits, iterations,
                                  params().bailout);
    return o;
}

// The sample points of one row of keyframe k, as the renderer places them.
void rowSamples(const KeyframeRenderer &renderer, int k, int y, std::vector<double> &re,
                std::vector<double> &im)
{
    const int n = params().samples;
    for (int x = 0; x < params().imageWidth; x += 7)
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i) {
                double r, m;
                renderer.sampleOffset(k, x, y, j * n + i, r, m);
                re.push_back(r);
                im.push_back(m);
            }
}

TEST(Palette, APointHasOneColourInKeyframeKAndKPlusOne)
{
    const Palette palette(params());
    KeyframeParams shorter = params();
    shorter.maxIterations = iterations;
    const KeyframeRenderer renderer(shorter, orbit(), palette);
    for (int k : {12, 40, 61}) {
        // Points of keyframe k+1 (inside keyframe k's central quarter), iterated once among keyframe
        // k+1's own samples and once among keyframe k's, as the renderer batches them.
        std::vector<double> inner, innerIm, outer, outerIm;
        rowSamples(renderer, k + 1, 173, inner, innerIm);
        rowSamples(renderer, k, 211, outer, outerIm);
        const std::size_t shared = inner.size();
        std::vector<double> mixedRe = outer, mixedIm = outerIm;
        mixedRe.insert(mixedRe.begin() + std::ptrdiff_t(outer.size() / 2), inner.begin(), inner.end());
        mixedIm.insert(mixedIm.begin() + std::ptrdiff_t(outer.size() / 2), innerIm.begin(), innerIm.end());
        std::vector<SampleResult> alone(shared), mixed(mixedRe.size());
        renderer.iterateSamples(inner.data(), innerIm.data(), int(shared), alone.data());
        renderer.iterateSamples(mixedRe.data(), mixedIm.data(), int(mixedRe.size()), mixed.data());
        int escaped = 0;
        for (std::size_t i = 0; i < shared; ++i) {
            const SampleResult &a = alone[i];
            const SampleResult &b = mixed[outer.size() / 2 + i];
            const auto ca = palette.colour(a, inner[i], innerIm[i]);
            const auto cb = palette.colour(b, inner[i], innerIm[i]);
            ASSERT_EQ(ca, cb) << "keyframe " << k << ", sample " << i;
            escaped += a.smooth >= 0;
        }
        EXPECT_GT(escaped, int(shared) / 2) << "keyframe " << k;
    }
}

// Every keyframe samples only the ring outside its central quarter (the end card all of it); the
// shading scale there stays within a factor sqrt(2) of that keyframe's pixel.
TEST(Palette, ShadingScaleFollowsThePixelOfTheSamplingKeyframe)
{
    const Palette palette(params());
    const KeyframeRenderer renderer(params(), orbit(), palette);
    std::mt19937 random(3);
    const int w = params().imageWidth, h = params().imageHeight;
    for (int k = firstRun; k <= lastKeyframe; ++k) {
        const double px = pixelSize(params().width, k, w) * params().shadingPixels;
        for (int s = 0; s < 400; ++s) {
            const int x = std::uniform_int_distribution<int>(0, w - 1)(random);
            const int y = std::uniform_int_distribution<int>(0, h - 1)(random);
            const bool centre = x >= w / 4 && x < w * 3 / 4 && y >= h / 4 && y < h * 3 / 4;
            if (centre && k != lastKeyframe)
                continue;
            double re, im;
            renderer.sampleOffset(k, x, y, s % (params().samples * params().samples), re, im);
            const double ratio = palette.shadingScale(re, im) / px;
            ASSERT_GE(ratio, 0.7) << "keyframe " << k << " pixel " << x << "," << y;
            ASSERT_LE(ratio, 1.42) << "keyframe " << k << " pixel " << x << "," << y;
        }
    }
}

// Outside the set nothing is darker than the far colour, however close to the set a sample lies or
// however its slope faces: the exterior never reads as the black interior. Edges within the
// shading scale are darker than open ground, so filaments finer than a pixel show as lines.
TEST(Palette, ExteriorIsNeverBlackAndEdgesAreDarker)
{
    const Palette palette(params());
    const double scale = palette.shadingScale(3e-10, 0);
    const auto luminance = [](const std::array<float, 3> &c) {
        return 0.2126 * c[0] + 0.7152 * c[1] + 0.0722 * c[2];
    };
    const double farLuminance =
        luminance({float(params().farRed), float(params().farGreen), float(params().farBlue)});
    ASSERT_GT(farLuminance, 0);
    std::mt19937 random(9);
    double edgeSum = 0, openSum = 0;
    for (int s = 0; s < 20000; ++s) {
        SampleResult r;
        r.smooth = std::exp(std::uniform_real_distribution<double>(0, std::log(200000.0))(random));
        const double angle = std::uniform_real_distribution<double>(0, 2 * M_PI)(random);
        r.normalRe = std::cos(angle);
        r.normalIm = std::sin(angle);
        r.distance = 0;
        const double onEdge = luminance(palette.colour(r, 3e-10, 0));
        r.distance = scale * std::exp(std::uniform_real_distribution<double>(-8, 8)(random));
        const double anywhere = luminance(palette.colour(r, 3e-10, 0));
        ASSERT_GE(std::min(onEdge, anywhere), farLuminance * 0.999) << "count " << r.smooth;
        r.distance = 4 * scale;
        edgeSum += onEdge;
        openSum += luminance(palette.colour(r, 3e-10, 0));
    }
    EXPECT_LT(edgeSum, 0.6 * openSum);
    SampleResult inside;
    EXPECT_EQ(palette.colour(inside, 0, 0), (std::array<float, 3>{0, 0, 0}));
}

// Averaging the colour along the count lets few samples stand for many where bands are finer than
// a pixel: on dense filaments of keyframe 16, 2 x 2 samples come far closer to 8 x 8 with the
// committed filter than without it.
TEST(Palette, FilteredBandsLetFewSamplesStandForMany)
{
    const auto error = [](double filter) {
        KeyframeParams p = params();
        p.maxIterations = iterations;
        p.filter = filter;
        KeyframeParams few = p, many = p;
        few.samples = few.samplesMax = 2;
        many.samples = many.samplesMax = 8;
        many.seed ^= 0x9E3779B9ull;
        const Palette palette(p);
        const PixelRegion dense{192, 48, 48, 48};
        RenderCounters counters;
        const LinearImage a =
            KeyframeRenderer(few, orbit(), palette).render(16, nullptr, 2, counters, &dense);
        const LinearImage b =
            KeyframeRenderer(many, orbit(), palette).render(16, nullptr, 2, counters, &dense);
        double squares = 0;
        for (int y = dense.y; y < dense.y + dense.h; ++y)
            for (int x = dense.x; x < dense.x + dense.w; ++x)
                for (int c = 0; c < 3; ++c) {
                    const std::size_t i =
                        (std::size_t(y) * std::size_t(p.imageWidth) + std::size_t(x)) * 3 + std::size_t(c);
                    const double d = double(linearToSrgb8(a[i])) - linearToSrgb8(b[i]);
                    squares += d * d;
                }
        return std::sqrt(squares / (3.0 * dense.w * dense.h));
    };
    ASSERT_GT(params().filter, 0);
    const double filtered = error(params().filter), plain = error(0.0);
    std::printf("2 x 2 against 8 x 8 samples: RMS %.2f levels filtered, %.2f without\n", filtered, plain);
    EXPECT_LT(filtered, 0.6 * plain);
}

}   // namespace
