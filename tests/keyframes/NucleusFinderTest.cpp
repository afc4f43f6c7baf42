// SPDX-License-Identifier: GPL-3.0-or-later
// The destination of the zoom: the nucleus finder against plain MPFR iteration, on known mini-sets
// and on the committed centre.

#include "NucleusFinder.h"
#include "CommittedSet.h"
#include "DirectIteration.h"
#include "KeyframeGeometry.h"
#include "KeyframeParams.h"

#include <gtest/gtest.h>
#include <mpfr.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

using namespace keyframes;

namespace {

const KeyframeParams &params()
{
    return committedParams();
}

// |z_n| for n = 1 .. count, z -> z^2 + c from 0 at 400 bits.
std::vector<double> orbitDistances(const std::string &re, const std::string &im, int count)
{
    mpfr_t cr, ci, zr, zi, zr2, zi2, t;
    for (mpfr_ptr v : {cr, ci, zr, zi, zr2, zi2, t})
        mpfr_init2(v, 400);
    mpfr_set_str(cr, re.c_str(), 10, MPFR_RNDN);
    mpfr_set_str(ci, im.c_str(), 10, MPFR_RNDN);
    mpfr_set_zero(zr, 1);
    mpfr_set_zero(zi, 1);
    std::vector<double> out;
    for (int n = 1; n <= count; ++n) {
        squareAndAdd(zr, zi, cr, ci, zr2, zi2, t);
        mpfr_hypot(t, zr, zi, MPFR_RNDN);
        out.push_back(mpfr_get_d(t, MPFR_RNDN));
    }
    for (mpfr_ptr v : {cr, ci, zr, zi, zr2, zi2, t})
        mpfr_clear(v);
    return out;
}

// The orbit returns to 0 after exactly `period` iterations: |z_period| is nothing but rounding,
// every earlier |z_n| is far from 0.
void expectExactPeriod(const Nucleus &n, double closestEarlier)
{
    const std::vector<double> d = orbitDistances(n.re, n.im, n.period);
    EXPECT_LT(d.back(), 1e-40) << "z_" << n.period << " is not 0";
    for (int i = 0; i + 1 < n.period; ++i)
        ASSERT_GT(d[std::size_t(i)], closestEarlier) << "the orbit comes back to 0 after " << i + 1;
}

TEST(NucleusFinder, FindsTheKnownMiniSetsOfTheWholeSet)
{
    // The period-3 mini-set on the real axis (nucleus -1.7548776662..., size about 0.019) and the
    // period-4 one above the main cardioid, each from a rough start.
    const Nucleus three = findNucleus("-1.75", "0", 3, 256);
    EXPECT_EQ(three.re.substr(0, 14), "-1.75487766624");
    EXPECT_NEAR(three.size(), 0.019, 0.001);
    EXPECT_TRUE(three.cardioid);
    expectExactPeriod(three, 0.1);
    const Nucleus four = findNucleus("-0.156", "1.03", 4, 256);
    EXPECT_EQ(four.re.substr(0, 10), "-0.1565201");
    EXPECT_TRUE(four.cardioid);
    expectExactPeriod(four, 0.1);
    // The period-2 disc is a bulb, not a mini-set.
    EXPECT_FALSE(findNucleus("-1.1", "0.05", 2, 256).cardioid);
}

TEST(NucleusFinder, RefusesARootOfALowerPeriod)
{
    // c = -1 returns to 0 after 2, so it is a root of z_4 too, but no nucleus of period 4.
    EXPECT_THROW(findNucleus("-1", "0", 4, 256), std::runtime_error);
    EXPECT_THROW(findNucleus("-1", "0", 0, 256), std::runtime_error);
}

// The committed centre is the nucleus the zoom ends on: the ball period of the deep views is its
// period, Newton's method from a point of keyframe 44's view comes back to it, its orbit returns to
// 0 after exactly that period, and the mini-set spans a quarter to a half of keyframe 62.
TEST(NucleusFinder, TheCommittedCentreIsTheNucleusOfTheDestination)
{
    const KeyframeParams &p = params();
    const int bits = p.precisionBits + 96;
    const int period =
        ballPeriod(p.centreRe, p.centreIm, pixelSize(p.width, lastRun) * frameWidth / 2, 100000, bits);
    ASSERT_GT(period, 1);
    EXPECT_EQ(ballPeriod(p.centreRe, p.centreIm, pixelSize(p.width, 50) * frameWidth / 2, 100000, bits),
              period);

    // Start 20 keyframe-62 widths off the centre, inside keyframe 44's view.
    const double off = 20 * pixelSize(p.width, lastRun) * frameWidth;
    mpfr_t x;
    mpfr_init2(x, bits);
    mpfr_set_str(x, p.centreRe.c_str(), 10, MPFR_RNDN);
    mpfr_add_d(x, x, off, MPFR_RNDN);
    char *text = nullptr;
    mpfr_asprintf(&text, "%.90Rf", x);
    const std::string startRe = text;
    mpfr_free_str(text);
    mpfr_clear(x);

    const Nucleus n = findNucleus(startRe, p.centreIm, period, bits);
    EXPECT_TRUE(n.cardioid);
    const double px63 = pixelSize(p.width, lastKeyframe);
    const std::vector<double> start = orbitDistances(p.centreRe, p.centreIm, period);
    EXPECT_LT(start.back(), 1e-6 * px63) << "the committed digits are not the nucleus";
    for (int i = 0; i + 1 < period; ++i)
        ASSERT_GT(start[std::size_t(i)], 1e-12) << "the committed centre returns to 0 after " << i + 1;
    expectExactPeriod(n, 1e-12);
    EXPECT_EQ(n.re.substr(0, 40), p.centreRe.substr(0, 40));
    EXPECT_EQ(n.im.substr(0, 40), p.centreIm.substr(0, 40));

    const double span = 2.25 * n.size() / (pixelSize(p.width, lastRun) * frameWidth);
    std::printf("period %d, size %.4g, spans %.2f of keyframe 62\n", n.period, n.size(), span);
    EXPECT_GE(span, 0.25);
    EXPECT_LE(span, 0.5);
}

}   // namespace
