// SPDX-License-Identifier: GPL-3.0-or-later
// The perturbation core against plain high-precision iteration of the same points, at depths from
// keyframe 2 down to the end card, using the parameters of the committed set.

#include "Perturbation.h"
#include "CommittedSet.h"
#include "DirectIteration.h"
#include "KeyframeGeometry.h"
#include "KeyframeParams.h"
#include "PerturbationBatch.h"
#include "PerturbationBla.h"
#include "ReferenceOrbit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

using namespace keyframes;

namespace {

const KeyframeParams &params()
{
    return committedParams();
}

const ReferenceOrbit &orbit()
{
    return committedOrbit();
}

SampleResult iterateDirect(double dcRe, double dcIm)
{
    return iterateDirectly(params(), dcRe, dcIm);
}

class PerturbationDepth : public ::testing::TestWithParam<int>
{
};

TEST_P(PerturbationDepth, AgreesWithDirectIteration)
{
    const int k = GetParam();
    const double px = pixelSize(params().width, k);
    const int pixels[][2] = {{400, 300}, {100, 80}, {650, 500}, {237, 411}, {555, 123}, {10, 590}, {799, 0}};
    std::vector<double> re, im;
    for (const auto &xy : pixels) {
        re.push_back((xy[0] + 0.5 - frameWidth / 2.0) * px);
        im.push_back((frameHeight / 2.0 - (xy[1] + 0.5)) * px);
    }
    std::vector<SampleResult> batch(re.size());
    iteratePerturbedBatch(orbit(), re.data(), im.data(), int(re.size()), params().maxIterations,
                          params().bailout, batch.data());
    int escaped = 0;
    for (std::size_t i = 0; i < re.size(); ++i) {
        const SampleResult fast =
            iteratePerturbed(orbit(), re[i], im[i], params().maxIterations, params().bailout);
        const SampleResult exact = iterateDirect(re[i], im[i]);
        std::printf("keyframe %2d pixel %3d,%3d: direct %.6f after %d, perturbed %.6f after %d\n", k,
                    pixels[i][0], pixels[i][1], exact.smooth, exact.iterations, fast.smooth, fast.iterations);
        SCOPED_TRACE("keyframe " + std::to_string(k) + " pixel " + std::to_string(pixels[i][0]) + ","
                     + std::to_string(pixels[i][1]));
        EXPECT_EQ(batch[i].smooth, fast.smooth)
            << "the vector loop must give the scalar loop's result exactly";
        EXPECT_EQ(batch[i].iterations, fast.iterations);
        EXPECT_EQ(batch[i].distance, fast.distance);
        EXPECT_EQ(batch[i].normalRe, fast.normalRe);
        if (exact.smooth < 0) {
            EXPECT_LT(fast.smooth, 0) << "inside the set, perturbation escaped after " << fast.iterations;
            continue;
        }
        ++escaped;
        ASSERT_GE(fast.smooth, 0) << "escapes after " << exact.iterations
                                  << " iterations, perturbation says inside";
        EXPECT_EQ(fast.iterations, exact.iterations);
        // Chaotic orbits amplify the doubles' rounding over thousands of iterations; a relative
        // 1e-4 of the count is far below what the colouring (by log2 of the count) can show.
        EXPECT_NEAR(fast.smooth, exact.smooth, std::max(1e-3, 1e-4 * exact.smooth));
        // The distance estimate decides how filaments are drawn: right to far below a pixel (orbits
        // that pass very close to the set amplify rounding, but their distance is tiny either way).
        EXPECT_NEAR(fast.distance, exact.distance, std::max(1e-3 * exact.distance, 1e-3 * px));
        EXPECT_LT(fast.distance, 10 * frameWidth * px) << "an escaping pixel lies close to the set";
        EXPECT_NEAR(std::hypot(fast.normalRe, fast.normalIm), 1.0, 1e-12);
        if (exact.distance > 1e-3 * px) {
            EXPECT_NEAR(fast.normalRe * exact.normalRe + fast.normalIm * exact.normalIm, 1.0, 1e-3);
        }
    }
    EXPECT_GT(escaped, 0) << "no escaping pixel sampled at this depth";
}

// Keyframe 2, the middle of the run, the deep end where doubles alone cannot tell pixels apart,
// and the end card one doubling deeper still.
INSTANTIATE_TEST_SUITE_P(Depths, PerturbationDepth, ::testing::Values(2, 12, 25, 40, 52, 58, 62, 63),
                         [](const auto &info) { return "Keyframe" + std::to_string(info.param); });

TEST(ReferenceOrbit, StartsAtZeroAndRejectsNonNumbers)
{
    EXPECT_EQ(orbit().re()[0], 0.0);
    EXPECT_EQ(orbit().im()[0], 0.0);
    EXPECT_GT(orbit().length(), 1);
    EXPECT_THROW(ReferenceOrbit("-0.7x", "0.1", 128, 100, 4), std::runtime_error);
    const ReferenceOrbit outside("1", "1", 128, 100, 4);
    EXPECT_TRUE(outside.escaped());
    EXPECT_LT(outside.length(), 5);
}

TEST(Perturbation, FarOutsideEscapesAtOnceAndTheCardioidCentreNever)
{
    // Relative to c0 = -0.75+0.1i: c = 10+10i escapes in one step; c = -0.2 lies in the main cardioid.
    const ReferenceOrbit o("-0.75", "0.1", 128, 2000, 1024);
    const SampleResult far = iteratePerturbed(o, 10.75, 9.9, 2000, 1024);
    EXPECT_GE(far.smooth, 0);
    EXPECT_LE(far.iterations, 3);
    const SampleResult inside = iteratePerturbed(o, 0.55, -0.1, 2000, 1024);
    EXPECT_LT(inside.smooth, 0);
}

// The vector loops hand lanes to new samples as old ones finish; whatever the mix of short and
// long samples and whichever instruction set, every result must equal the scalar loop's bit for bit:
// from the orbit's start with the cycle search, and from where BLA left each sample without it.
TEST(PerturbationBatch, EqualsTheScalarLoopForMixedSamples)
{
    std::mt19937_64 random(5);
    std::vector<double> re, im;
    double dcMax = 0;
    for (int k : {3, 9, 24, 47, 61, 63}) {
        const double px = pixelSize(params().width, k);
        for (int i = 0; i < 150; ++i) {
            re.push_back((std::uniform_real_distribution<double>(0, frameWidth)(random) - frameWidth / 2.0)
                         * px);
            im.push_back((frameHeight / 2.0 - std::uniform_real_distribution<double>(0, frameHeight)(random))
                         * px);
            if (k >= 47)
                dcMax = std::max(dcMax, std::hypot(re.back(), im.back()));
        }
    }
    const BlaTable bla(orbit(), dcMax, std::ldexp(1.0, -params().blaBits));
    std::vector<OrbitState> starts(re.size());
    std::vector<SampleResult> skipped(re.size());
    std::vector<char> done(re.size());
    // The table serves the deep samples (|dc| up to dcMax); the others start at the orbit's start.
    const auto served = [&](std::size_t i) { return std::hypot(re[i], im[i]) <= dcMax; };
    for (std::size_t i = 0; i < re.size(); ++i)
        done[i] = served(i)
            && skipWithBla(orbit(), bla, re[i], im[i], params().maxIterations, params().bailout, starts[i],
                           skipped[i]);
    ASSERT_GT(std::count_if(starts.begin(), starts.end(), [](const OrbitState &s) { return s.n > 500; }), 100)
        << "BLA must carry the deep samples far along the orbit";

    using Loop = void (*)(const double *, int, const double *, const double *, const OrbitState *, int, int,
                          double, bool, SampleResult *, int);
    std::vector<Loop> loops;
    if (__builtin_cpu_supports("avx2"))
        loops.push_back(iteratePerturbedAvx2);
    if (__builtin_cpu_supports("avx512f"))
        loops.push_back(iteratePerturbedAvx512);
    // Every number of lane groups the loops offer, so that each group's copy of the body is checked.
    std::vector<std::pair<Loop, int>> runs;
    for (const Loop loop : loops)
        for (int groups = 1; groups <= 3; ++groups)
            runs.emplace_back(loop, groups);
    for (const bool fromBla : {false, true})
        for (int count : {0, 1, 3, 9, int(re.size())}) {
            for (const auto &[loop, groups] : runs) {
                std::vector<SampleResult> batch(static_cast<std::size_t>(count));
                loop(orbit().pairs(), orbit().length(), re.data(), im.data(),
                     fromBla ? starts.data() : nullptr, count, params().maxIterations, params().bailout,
                     !fromBla, batch.data(), groups);
                for (std::size_t i = 0; i < std::size_t(count); ++i) {
                    if (fromBla && done[i])
                        continue;
                    SCOPED_TRACE("sample " + std::to_string(i) + " of " + std::to_string(count)
                                 + (fromBla ? " from BLA" : "") + ", " + std::to_string(groups) + " groups");
                    const SampleResult one =
                        iteratePerturbed(orbit(), re[i], im[i], params().maxIterations, params().bailout,
                                         fromBla && served(i) ? &bla : nullptr);
                    ASSERT_EQ(batch[i].smooth, one.smooth);
                    ASSERT_EQ(batch[i].distance, one.distance);
                    ASSERT_EQ(batch[i].normalRe, one.normalRe);
                    ASSERT_EQ(batch[i].normalIm, one.normalIm);
                    // Without the cycle search an interior sample only takes longer to be found inside.
                    if (one.smooth >= 0 || !fromBla) {
                        ASSERT_EQ(batch[i].iterations, one.iterations);
                    }
                }
            }
        }
    if (loops.empty())
        GTEST_SKIP() << "no vector instruction set on this processor; the scalar loop is used";
}

}   // namespace
