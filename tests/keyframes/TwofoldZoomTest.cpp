// SPDX-License-Identifier: GPL-3.0-or-later
// The sets' defining property: keyframe k+1, reduced by two, is the central quarter of keyframe k,
// from keyframe 2 to the end card (beneath its text), in the player's set and in the 1600 x 1200
// one. The start card is keyframe 2's own view with text over it: the player puts it in front of
// keyframe 2 at the same magnification. And the two sets show the same pictures.

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

// Text and the JPEG blocks it touches, widened by one 16-pixel block; in pixels of the set.
bool underText(const KeyframeSet &set, int k, int x, int y)
{
    constexpr int margin = 16;
    const auto hit = [&](const auto &boxes) {
        for (const TextBox &b : boxes)
            if (TextBox{b.x - margin, b.y - margin, b.w + 2 * margin, b.h + 2 * margin}
                    .scaled(set.scale())
                    .contains(x, y))
                return true;
        return false;
    };
    return (k == firstKeyframe && hit(startCardText)) || (k == lastKeyframe && hit(endCardText));
}

double psnrOf(double squares, int values)
{
    const double mse = squares / values;
    return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

// The mean of 2 x 2 pixels of an sRGB picture `width` wide, in linear light, back in sRGB.
unsigned char reducedAt(const std::vector<unsigned char> &picture, int width, int x, int y, int c)
{
    const auto at = [&](int xx, int yy) {
        return srgb8ToLinear(
            picture[(std::size_t(yy) * std::size_t(width) + std::size_t(xx)) * 3 + std::size_t(c)]);
    };
    return linearToSrgb8(
        (at(2 * x, 2 * y) + at(2 * x + 1, 2 * y) + at(2 * x, 2 * y + 1) + at(2 * x + 1, 2 * y + 1)) / 4);
}

// PSNR in dB of the deeper picture reduced by two (box filter in linear light) against the
// centre of the outer one, over the pixels that no card text touches.
double pairPsnr(const KeyframeSet &set, int outer, const std::vector<unsigned char> &a,
                const std::vector<unsigned char> &b, int &compared)
{
    const int inner = outer + 1, w = set.width, h = set.height;
    double squares = 0;
    compared = 0;
    for (int y = 0; y < h / 2; ++y)
        for (int x = 0; x < w / 2; ++x) {
            const int ox = x + w / 4, oy = y + h / 4;
            if (underText(set, outer, ox, oy) || underText(set, inner, 2 * x, 2 * y)
                || underText(set, inner, 2 * x + 1, 2 * y + 1))
                continue;
            for (int c = 0; c < 3; ++c) {
                const double d = double(reducedAt(b, w, x, y, c))
                    - a[(std::size_t(oy) * std::size_t(w) + std::size_t(ox)) * 3 + std::size_t(c)];
                squares += d * d;
            }
            ++compared;
        }
    return psnrOf(squares, 3 * compared);
}

void expectTwofold(const KeyframeSet &set)
{
    std::vector<std::vector<unsigned char>> pictures(lastKeyframe + 1);
    for (int k = firstKeyframe; k <= lastKeyframe; ++k) {
        pictures[std::size_t(k)] = decodeKeyframe(k, set);
        ASSERT_FALSE(pictures[std::size_t(k)].empty())
            << "keyframe " << set.folder << k << " does not decode";
    }
    double runSum = 0, worst = 1e9;
    int runPairs = 0;
    for (int k = firstRun; k < lastKeyframe; ++k) {
        int compared = 0;
        const double psnr =
            pairPsnr(set, k, pictures[std::size_t(k)], pictures[std::size_t(k + 1)], compared);
        std::printf("pair %2d-%2d  PSNR %6.2f dB  (%d pixels)\n", k, k + 1, psnr, compared);
        EXPECT_GE(psnr, 24.0) << "keyframes " << k << " and " << k + 1;
        EXPECT_GT(compared, set.width * set.height / 12) << "the masks leave too little to compare";
        worst = std::min(worst, psnr);
        if (k >= firstRun && k < lastRun) {
            runSum += psnr;
            ++runPairs;
        }
    }
    std::printf("mean PSNR over pairs 2-3 .. 61-62: %.2f dB, worst pair of all: %.2f dB\n", runSum / runPairs,
                worst);
    EXPECT_GE(runSum / runPairs, 30.0);
    ::testing::Test::RecordProperty("meanRunPsnr", std::to_string(runSum / runPairs));
}

TEST(TwofoldZoom, EachKeyframeIsTheCentreOfItsPredecessorMagnifiedTwice)
{
    expectTwofold(playerSet);
}

TEST(TwofoldZoom, HoldsInTheLargeSetToo)
{
    if (!setPresent(hdSet))
        GTEST_SKIP() << "no 1600 x 1200 set in this tree";
    expectTwofold(hdSet);
}

// Each 1600 x 1200 keyframe reduced by two is the player's keyframe: the sets show the same views
// and the same colours (the cards' text, drawn at each size, is left out). Both are JPEG files:
// the player's keeps its structure with colour at half resolution (4:2:0), whose loss alone is
// 32 to 38 dB on the densest keyframes, so the figure in lightness (Y) is held to more.
TEST(TwofoldZoom, TheLargeSetReducedIsThePlayersSet)
{
    if (!setPresent(hdSet))
        GTEST_SKIP() << "no 1600 x 1200 set in this tree";
    double sum = 0, lightnessSum = 0;
    int count = 0;
    for (int k = firstKeyframe; k <= lastKeyframe; ++k) {
        const auto large = decodeKeyframe(k, hdSet), small = decodeKeyframe(k, playerSet);
        ASSERT_FALSE(large.empty() || small.empty()) << "keyframe " << k;
        double squares = 0, lightnessSquares = 0;
        int compared = 0;
        for (int y = 0; y < frameHeight; ++y)
            for (int x = 0; x < frameWidth; ++x) {
                if (underText(playerSet, k, x, y))
                    continue;
                double d[3];
                for (int c = 0; c < 3; ++c) {
                    d[c] = double(reducedAt(large, hdSet.width, x, y, c))
                        - small[(std::size_t(y) * frameWidth + std::size_t(x)) * 3 + std::size_t(c)];
                    squares += d[c] * d[c];
                }
                const double lightness = 0.299 * d[0] + 0.587 * d[1] + 0.114 * d[2];
                lightnessSquares += lightness * lightness;
                ++compared;
            }
        const double psnr = psnrOf(squares, 3 * compared), lightness = psnrOf(lightnessSquares, compared);
        std::printf("keyframe %2d: large set reduced against the player's: PSNR %6.2f dB, in Y %6.2f dB\n", k,
                    psnr, lightness);
        EXPECT_GE(psnr, 30.0) << "keyframe " << k;
        if (k >= firstRun && k <= lastRun) {
            sum += psnr;
            lightnessSum += lightness;
            ++count;
        }
    }
    std::printf("mean over keyframes 2..62: %.2f dB, in Y %.2f dB\n", sum / count, lightnessSum / count);
    EXPECT_GE(sum / count, 35.0);
    EXPECT_GE(lightnessSum / count, 38.0);
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
            if (underText(playerSet, firstKeyframe, x, y))
                continue;
            for (int c = 0; c < 3; ++c) {
                const std::size_t i = (std::size_t(y) * frameWidth + x) * 3 + std::size_t(c);
                const double d = double(card[i]) - first[i];
                squares += d * d;
            }
            ++compared;
        }
    ASSERT_GT(compared, frameWidth * frameHeight / 3);
    const double psnr = psnrOf(squares, 3 * compared);
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
    EXPECT_LT(pairPsnr(playerSet, 20, a, b, compared), 20.0);
}

}   // namespace
