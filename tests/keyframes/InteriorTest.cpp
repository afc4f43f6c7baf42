// SPDX-License-Identifier: GPL-3.0-or-later
// Interior and iteration skipping against direct high-precision iteration: nothing the renderer
// paints black escapes, and BLA gives plain perturbation's counts.

#include "CommittedSet.h"
#include "DirectIteration.h"
#include "JpegMarkers.h"
#include "KeyframeGeometry.h"
#include "KeyframeParams.h"
#include "KeyframeRenderer.h"
#include "Palette.h"
#include "Perturbation.h"
#include "PerturbationBatch.h"
#include "ReferenceOrbit.h"

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
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

const KeyframeRenderer &renderer()
{
    static const Palette palette(params());
    static const KeyframeRenderer r(params(), orbit(), palette);
    return r;
}

bool escapesDirectly(double dcRe, double dcIm)
{
    return iterateDirectly(params(), dcRe, dcIm).smooth >= 0;
}

// Black pixels of the committed set (whole 5 x 5 neighbourhood black, away from card text) are
// inside: their centres do not escape in direct iteration. The exterior never reaches black.
TEST(Interior, BlackPixelsOfCommittedKeyframesDoNotEscape)
{
    int checked = 0;
    for (int k : {2, 28, 50, 58, 62}) {
        const auto rgb = decodeKeyframe(k);
        ASSERT_FALSE(rgb.empty()) << "keyframe " << k;
        const auto black = [&](int x, int y) {
            const unsigned char *p = &rgb[(std::size_t(y) * frameWidth + std::size_t(x)) * 3];
            return std::max({p[0], p[1], p[2]}) <= 3;
        };
        const double px = pixelSize(params().width, k);
        int found = 0;
        // A coarse scan, so that the pixels checked spread over the picture.
        for (int y = 2; y < frameHeight - 2 && found < 4; y += 23)
            for (int x = 2; x < frameWidth - 2 && found < 4; x += 37) {
                bool all = true;
                for (int dy = -2; dy <= 2 && all; ++dy)
                    for (int dx = -2; dx <= 2 && all; ++dx)
                        all = black(x + dx, y + dy);
                if (!all)
                    continue;
                ++found;
                EXPECT_FALSE(
                    escapesDirectly((x + 0.5 - frameWidth / 2.0) * px, (frameHeight / 2.0 - y - 0.5) * px))
                    << "keyframe " << k << " pixel " << x << "," << y << " is black but escapes";
            }
        checked += found;
    }
    EXPECT_GE(checked, 8) << "too few black pixels to check";
}

// The classification on a grid of keyframes, by the renderer (the cycle check in plain iteration at
// keyframe 28, BLA at 62) and by the vector loop alone deep down (62, 63): every sample classed
// inside next to an escaping one (where a wrong proof would show first) does not escape in direct
// iteration.
TEST(Interior, NoSampleNextToTheExteriorIsWronglyClassedInside)
{
    constexpr int gw = 80, gh = 60;
    for (const auto &[k, renderersPath] :
         {std::pair{28, true}, std::pair{62, true}, std::pair{62, false}, std::pair{63, false}}) {
        const double px = pixelSize(params().width, k);
        std::vector<double> re, im;
        for (int y = 0; y < gh; ++y)
            for (int x = 0; x < gw; ++x) {
                re.push_back((x * 10 + 5 - frameWidth / 2.0) * px);
                im.push_back((frameHeight / 2.0 - y * 10 - 5) * px);
            }
        std::vector<SampleResult> results(re.size());
        if (renderersPath)
            renderer().iterateSamples(re.data(), im.data(), int(re.size()), results.data());
        else
            iteratePerturbedBatch(orbit(), re.data(), im.data(), int(re.size()), params().maxIterations,
                                  params().bailout, results.data());
        int checked = 0, inside = 0;
        for (int y = 1; y < gh - 1; ++y)
            for (int x = 1; x < gw - 1; ++x) {
                const auto at = [&](int xx, int yy) {
                    return results[std::size_t(yy) * gw + std::size_t(xx)].smooth;
                };
                if (at(x, y) >= 0)
                    continue;
                ++inside;
                if ((at(x - 1, y) < 0 && at(x + 1, y) < 0 && at(x, y - 1) < 0 && at(x, y + 1) < 0)
                    || checked >= 40)
                    continue;
                ++checked;
                const std::size_t i = std::size_t(y) * gw + std::size_t(x);
                EXPECT_FALSE(escapesDirectly(re[i], im[i]))
                    << "keyframe " << k << " grid " << x << "," << y << " classed inside after "
                    << results[i].iterations << " iterations but escapes";
            }
        EXPECT_GE(checked, 10) << "keyframe " << k << ": too little boundary (" << inside << " inside)";
    }
}

// BLA against plain perturbation on random samples of the deep keyframes: the same inside/outside
// for every sample; at least 97 % of the escaping samples with the same count and 99 % within 1 %
// of the smooth count (plain perturbation itself is off from direct iteration by that much in a
// few of these samples).
TEST(Bla, GivesPlainPerturbationsCountsWithinTolerance)
{
    std::mt19937_64 random(11);
    for (int k : {50, 58, 62, 63}) {
        const double px = pixelSize(params().width, k);
        int escaped = 0, same = 0, close = 0, used = 0;
        for (int s = 0; s < 400; ++s) {
            const double re =
                (std::uniform_real_distribution<double>(0, frameWidth)(random) - frameWidth / 2.0) * px;
            const double im =
                (frameHeight / 2.0 - std::uniform_real_distribution<double>(0, frameHeight)(random)) * px;
            const BlaTable *bla = renderer().blaFor(re, im);
            if (!bla)
                continue;
            ++used;
            const SampleResult fast =
                iteratePerturbed(orbit(), re, im, params().maxIterations, params().bailout, bla);
            const SampleResult plain =
                iteratePerturbed(orbit(), re, im, params().maxIterations, params().bailout);
            ASSERT_EQ(fast.smooth < 0, plain.smooth < 0) << "keyframe " << k << " sample " << s;
            if (plain.smooth < 0)
                continue;
            ++escaped;
            same += fast.iterations == plain.iterations;
            close += std::fabs(fast.smooth - plain.smooth) <= 0.01 * plain.smooth;
        }
        SCOPED_TRACE("keyframe " + std::to_string(k));
        EXPECT_GE(used, 300) << "BLA must run at this depth";
        ASSERT_GT(escaped, 50);
        EXPECT_GE(same, 0.97 * escaped);
        EXPECT_GE(close, 0.99 * escaped);
    }
}

}   // namespace
