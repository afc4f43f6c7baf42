// SPDX-License-Identifier: GPL-3.0-or-later
// The renderer's pictures do not depend on the number of threads, and adaptive sampling spends
// its extra samples where the picture is uncertain.

#include "KeyframeGeometry.h"
#include "KeyframeParams.h"
#include "KeyframeRenderer.h"
#include "Palette.h"
#include "ReferenceOrbit.h"

#include <gtest/gtest.h>

#include <string>

using namespace keyframes;

TEST(KeyframeRenderer, OneAndTwoThreadsGiveTheSamePicture)
{
    // The committed sampling, refined more eagerly so that the refinement passes surely run.
    KeyframeParams params = KeyframeParams::load(std::string(KEYFRAMES_DIR) + "/keyframes.params");
    params.samplesMax = 2 * params.samples;
    params.samplesTolerance = 2.0;
    const ReferenceOrbit orbit(params.centreRe, params.centreIm, params.precisionBits, params.maxIterations,
                               params.bailout);
    const Palette palette(params);
    const KeyframeRenderer renderer(params, orbit, palette);
    // Filaments on open ground (keyframe 16) and the mini-set's edge (keyframe 61, with BLA).
    for (const auto &[k, region] :
         {std::pair{16, PixelRegion{20, 20, 48, 36}}, std::pair{61, PixelRegion{380, 100, 48, 36}}}) {
        RenderCounters one, two;
        const LinearImage a = renderer.render(k, nullptr, 1, one, &region);
        const LinearImage b = renderer.render(k, nullptr, 2, two, &region);
        SCOPED_TRACE("keyframe " + std::to_string(k));
        EXPECT_TRUE(a == b);
        EXPECT_EQ(one.samples, two.samples);
        const int pixels = region.w * region.h;
        const int first = params.samples * params.samples;
        EXPECT_GT(one.samples, std::int64_t(first) * pixels) << "no pixel was refined";
        EXPECT_LT(one.samples, std::int64_t(params.samplesMax) * params.samplesMax * pixels)
            << "every pixel was refined";
        EXPECT_EQ(
            a[(std::size_t(region.y) * std::size_t(params.imageWidth) + std::size_t(region.x + region.w))
              * 3],
            0.f)
            << "outside the region nothing is rendered";
    }
}
