// SPDX-License-Identifier: GPL-3.0-or-later
// The set's defining property: keyframe k+1, reduced by two, is the central 400 x 300 pixels of
// keyframe k, from keyframe 2 to the end card (beneath its text). The start card is keyframe 2's
// own view with text over it: the player puts it in front of keyframe 2 at the same magnification.

#include "CommittedSet.h"
#include "JpegMarkers.h"
#include "KeyframeGeometry.h"
#include "Palette.h"

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

using namespace keyframes;

namespace {

// Text and the JPEG blocks it touches, widened by one 16-pixel block.
bool underText(int k, int x, int y)
{
    constexpr int margin = 16;
    const auto hit = [&](const auto &boxes) {
        for (const TextBox &b : boxes)
            if (TextBox{b.x - margin, b.y - margin, b.w + 2 * margin, b.h + 2 * margin}.contains(x, y))
                return true;
        return false;
    };
    return (k == firstKeyframe && hit(startCardText)) || (k == lastKeyframe && hit(endCardText));
}

// PSNR in dB of the deeper picture reduced by two (box filter in linear light) against the
// centre of the outer one, over the pixels that no card text touches.
double pairPsnr(int outer, const std::vector<unsigned char> &a, const std::vector<unsigned char> &b,
                int &compared)
{
    const int inner = outer + 1;
    double squares = 0;
    compared = 0;
    for (int y = 0; y < frameHeight / 2; ++y)
        for (int x = 0; x < frameWidth / 2; ++x) {
            const int ox = x + frameWidth / 4, oy = y + frameHeight / 4;
            if (underText(outer, ox, oy) || underText(inner, 2 * x, 2 * y)
                || underText(inner, 2 * x + 1, 2 * y + 1))
                continue;
            for (int c = 0; c < 3; ++c) {
                const auto at = [&](int xx, int yy) {
                    return b[(std::size_t(yy) * frameWidth + xx) * 3 + c];
                };
                const float linear =
                    (srgb8ToLinear(at(2 * x, 2 * y)) + srgb8ToLinear(at(2 * x + 1, 2 * y))
                     + srgb8ToLinear(at(2 * x, 2 * y + 1)) + srgb8ToLinear(at(2 * x + 1, 2 * y + 1)))
                    / 4;
                const double d =
                    double(linearToSrgb8(linear)) - a[(std::size_t(oy) * frameWidth + ox) * 3 + c];
                squares += d * d;
            }
            ++compared;
        }
    const double mse = squares / (3.0 * compared);
    return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

TEST(TwofoldZoom, EachKeyframeIsTheCentreOfItsPredecessorMagnifiedTwice)
{
    std::vector<std::vector<unsigned char>> pictures(lastKeyframe + 1);
    for (int k = firstKeyframe; k <= lastKeyframe; ++k) {
        pictures[std::size_t(k)] = decodeKeyframe(k);
        ASSERT_FALSE(pictures[std::size_t(k)].empty()) << "keyframe " << k << " does not decode";
    }
    double runSum = 0, worst = 1e9;
    int runPairs = 0;
    for (int k = firstRun; k < lastKeyframe; ++k) {
        int compared = 0;
        const double psnr = pairPsnr(k, pictures[std::size_t(k)], pictures[std::size_t(k + 1)], compared);
        std::printf("pair %2d-%2d  PSNR %6.2f dB  (%d pixels)\n", k, k + 1, psnr, compared);
        EXPECT_GE(psnr, 24.0) << "keyframes " << k << " and " << k + 1;
        EXPECT_GT(compared, 400 * 300 / 3) << "the masks leave too little to compare";
        worst = std::min(worst, psnr);
        if (k >= firstRun && k < lastRun) {
            runSum += psnr;
            ++runPairs;
        }
    }
    std::printf("mean PSNR over pairs 2-3 .. 61-62: %.2f dB, worst pair of all: %.2f dB\n", runSum / runPairs,
                worst);
    RecordProperty("meanRunPsnr", std::to_string(runSum / runPairs));
}

TEST(TwofoldZoom, StartCardIsKeyframeTwoBeneathItsText)
{
    const auto card = decodeKeyframe(firstKeyframe), first = decodeKeyframe(firstRun);
    ASSERT_FALSE(card.empty());
    ASSERT_FALSE(first.empty());
    double squares = 0;
    int compared = 0;
    for (int y = 0; y < frameHeight; ++y)
        for (int x = 0; x < frameWidth; ++x) {
            if (underText(firstKeyframe, x, y))
                continue;
            for (int c = 0; c < 3; ++c) {
                const std::size_t i = (std::size_t(y) * frameWidth + x) * 3 + std::size_t(c);
                const double d = double(card[i]) - first[i];
                squares += d * d;
            }
            ++compared;
        }
    ASSERT_GT(compared, frameWidth * frameHeight / 3);
    const double mse = squares / (3.0 * compared);
    const double psnr = mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
    std::printf("start card against keyframe 2 beneath the text: PSNR %.2f dB\n", psnr);
    EXPECT_GE(psnr, 30.0);
}

// The comparison must notice a wrong neighbour: keyframe 20 is not the centre of keyframe 30.
TEST(TwofoldZoom, ComparisonTellsUnrelatedKeyframesApart)
{
    const auto a = decodeKeyframe(20), b = decodeKeyframe(31);
    ASSERT_FALSE(a.empty());
    ASSERT_FALSE(b.empty());
    int compared = 0;
    EXPECT_LT(pairPsnr(20, a, b, compared), 20.0);
}

}   // namespace
