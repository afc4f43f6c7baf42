// SPDX-License-Identifier: GPL-3.0-or-later
#include "Autopilot.h"

#include "KeyframeGeometry.h"
#include "KeyframeParams.h"
#include "ParallelFor.h"
#include "Perturbation.h"
#include "ReferenceOrbit.h"

#include <mpfr.h>

#include <cmath>
#include <cstdio>
#include <vector>

using namespace keyframes;

namespace {

std::string digits(mpfr_t x)
{
    char *text = nullptr;
    mpfr_asprintf(&text, "%.60Rf", x);
    std::string s(text);
    mpfr_free_str(text);
    return s;
}

}   // namespace

AutopilotResult runAutopilot(const KeyframeParams &params, int from, int to, int threads)
{
    // Grid cells around a candidate that must all be outside the set, and the highest count a
    // candidate may have at the first step and its growth per doubling: without the cap the
    // search runs into the black interior of the minibrots it approaches.
    constexpr int clearance = 8;
    constexpr double capBase = 3200, capGrowth = 1.12;
    const int bits = params.precisionBits + 64;
    mpfr_t re, im;
    mpfr_init2(re, bits);
    mpfr_init2(im, bits);
    mpfr_set_str(re, params.centreRe.c_str(), 10, MPFR_RNDN);
    mpfr_set_str(im, params.centreIm.c_str(), 10, MPFR_RNDN);

    constexpr int gw = 96, gh = 72;   // grid over the central half of the view
    for (int k = from; k <= to; ++k) {
        const ReferenceOrbit orbit(digits(re), digits(im), bits, params.maxIterations, params.bailout);
        const double px = pixelSize(params.width, k) * frameWidth / 2 / gw;
        std::vector<double> count(std::size_t(gw) * gh);
        parallelFor(gw * gh, threads, [&](int i) {
            const int x = i % gw, y = i / gw;
            count[std::size_t(i)] =
                iteratePerturbed(orbit, (x + 0.5 - gw / 2.0) * px, (gh / 2.0 - y - 0.5) * px,
                                 params.maxIterations, params.bailout)
                    .smooth;
        });

        const double countCap = capBase * std::pow(capGrowth, k - from);
        int best = -1, interior = 0;
        for (int y = 0; y < gh; ++y)
            for (int x = 0; x < gw; ++x) {
                const double c = count[std::size_t(y * gw + x)];
                if (c < 0) {
                    ++interior;
                    continue;
                }
                bool clear = true;
                for (int dy = -clearance; dy <= clearance && clear; ++dy)
                    for (int dx = -clearance; dx <= clearance && clear; ++dx) {
                        const int xx = x + dx, yy = y + dy;
                        if (xx >= 0 && yy >= 0 && xx < gw && yy < gh && count[std::size_t(yy * gw + xx)] < 0)
                            clear = false;
                    }
                if (clear && c <= countCap && (best < 0 || c > count[std::size_t(best)]))
                    best = y * gw + x;
            }
        if (best < 0) {
            std::fprintf(stderr, "keyframe %d: no exterior point clear of the interior, centre kept\n", k);
            continue;
        }
        const int bx = best % gw, by = best / gw;
        mpfr_add_d(re, re, (bx + 0.5 - gw / 2.0) * px, MPFR_RNDN);
        mpfr_add_d(im, im, (gh / 2.0 - by - 0.5) * px, MPFR_RNDN);
        std::fprintf(stderr, "keyframe %d: max count %.1f at grid %d,%d (interior %d of %d)\n", k,
                     count[std::size_t(best)], bx, by, interior, gw * gh);
    }
    AutopilotResult result{digits(re), digits(im)};
    mpfr_clear(re);
    mpfr_clear(im);
    return result;
}
