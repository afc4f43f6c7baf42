// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The vector loop behind iteratePerturbedBatch, for `lanes` samples at a time. Included by one
// source file per instruction set (each compiled with its own flags); internal to each. It calls
// no inline function of other headers, so no copy compiled for a wider instruction set can be
// shared with code that runs on any processor.

#include "Perturbation.h"

#include <immintrin.h>

namespace {

template<int lanes> struct LaneVectors;
template<> struct LaneVectors<4>
{
    typedef double d __attribute__((vector_size(32)));
    typedef long long l __attribute__((vector_size(32)));
};
template<> struct LaneVectors<8>
{
    typedef double d __attribute__((vector_size(64)));
    typedef long long l __attribute__((vector_size(64)));
};

// cycles: whether the lanes look for attracting cycles. Without, an interior sample runs to
// maxIterations and ends inside just the same (a proven cycle never escapes), only later.
template<int lanes, bool cycles>
void batchLoop(const double *Zr, const double *Zi, int orbitLength, const double *dcRe, const double *dcIm,
               const OrbitState *starts, int count, int maxIterations, double bailout, SampleResult *results)
{
    const long long last = orbitLength - 1;
    const double bail2 = bailout * bailout;
    const double nan = __builtin_nan("");

    using vd = typename LaneVectors<lanes>::d;
    using vl = typename LaneVectors<lanes>::l;
    // Whether any lane's mask is set, in one instruction (the loop's most frequent branch).
    const auto any = [](vl mask) {
        if constexpr (lanes == 4)
            return _mm256_testz_si256(__m256i(mask), __m256i(mask)) == 0;
        else
            return _mm512_test_epi64_mask(__m512i(mask), __m512i(mask)) != 0;
    };

    vd zr{}, zi{}, mr{}, mi{}, vr{}, vi{}, Dr{}, Di{}, cr{}, ci{}, Zcr{}, Zci{}, sZr{}, sZi{}, sdr{}, sdi{};
    vl m{}, n{}, nextSave{}, sm{};
    int sample[lanes];
    int next = 0, active = 0;

    // Puts the next sample into a lane, from its start state; a lane without one idles on the
    // reference itself (dc = 0, difference 0) and is never looked at.
    const auto start = [&](int lane) {
        const bool idle = next >= count;
        const OrbitState from = idle || !starts ? OrbitState{} : starts[next];
        sample[lane] = idle ? -1 : next;
        cr[lane] = idle ? 0.0 : dcRe[next];
        ci[lane] = idle ? 0.0 : dcIm[next];
        if (!idle) {
            ++next;
            ++active;
        }
        zr[lane] = from.zr;
        zi[lane] = from.zi;
        mr[lane] = 1;
        mi[lane] = vr[lane] = vi[lane] = 0;
        Dr[lane] = from.Dr;
        Di[lane] = from.Di;
        m[lane] = from.m;
        n[lane] = from.n;
        Zcr[lane] = Zr[from.m];
        Zci[lane] = Zi[from.m];
        nextSave[lane] = idle ? (1LL << 40) : 16;
        sZr[lane] = sZi[lane] = sdr[lane] = sdi[lane] = nan;
        sm[lane] = -1;
    };
    const auto finish = [&](int lane, const SampleResult &r) {
        results[sample[lane]] = r;
        --active;
        start(lane);
    };
    for (int lane = 0; lane < lanes; ++lane)
        start(lane);

    const vd two = vd{} + 2.0;
    const vl one = vl{} + 1LL;
    const vl lastIndex = vl{} + last;
    const vl maxN = vl{} + static_cast<long long>(maxIterations);
    while (active > 0) {
        // One iteration in all lanes: the same operations, in the same order, as the scalar loop.
        const vd fr0 = Zcr + zr, fi0 = Zci + zi;
        const vd tDr = two * (fr0 * Dr - fi0 * Di) + 1.0;
        Di = two * (fr0 * Di + fi0 * Dr);
        Dr = tDr;
        if constexpr (cycles) {
            const vd tvr = two * ((mr * mr - mi * mi) + (fr0 * vr - fi0 * vi));
            vi = two * (two * mr * mi + (fr0 * vi + fi0 * vr));
            vr = tvr;
            const vd tmr = two * (fr0 * mr - fi0 * mi);
            mi = two * (fr0 * mi + fi0 * mr);
            mr = tmr;
        }
        const vd ar = two * Zcr + zr, ai = two * Zci + zi;
        const vd nzr = ar * zr - ai * zi + cr;
        const vd nzi = ar * zi + ai * zr + ci;
        zr = nzr;
        zi = nzi;
        m += one;
        n += one;
        for (int lane = 0; lane < lanes; ++lane) {
            Zcr[lane] = Zr[m[lane]];
            Zci[lane] = Zi[m[lane]];
        }
        const vd fr = Zcr + zr, fi = Zci + zi;
        const vd f2 = fr * fr + fi * fi;
        const vd gr = (Zcr - sZr) + (zr - sdr), gi = (Zci - sZi) + (zi - sdi);
        const vl escaped = f2 > bail2;
        vl cycled{}, saveDue{};
        if constexpr (cycles) {
            cycled = (gr * gr + gi * gi < cycleGate2) & (mr * mr + mi * mi < cycleMu2);
            saveDue = n >= nextSave;
        }
        const vl rebase = (f2 < zr * zr + zi * zi) | (m == lastIndex);
        const vl maxed = n >= maxN;
        if (!any(escaped | cycled | saveDue | rebase | maxed))
            continue;
        for (int lane = 0; lane < lanes; ++lane) {
            if (sample[lane] < 0) {
                // Idle lanes run along the reference; back to its start at its end.
                if (m[lane] == last) {
                    m[lane] = 0;
                    Zcr[lane] = Zr[0];
                    Zci[lane] = Zi[0];
                }
                continue;
            }
            if (escaped[lane]) {
                finish(lane, escapedSample(int(n[lane]), fr[lane], fi[lane], Dr[lane], Di[lane], bailout));
                continue;
            }
            if (cycled[lane]
                && attractingCycle(gr[lane], gi[lane],
                                   cycleGapError(m[lane] == sm[lane], Zcr[lane], Zci[lane], sZr[lane],
                                                 sZi[lane], zr[lane], zi[lane], sdr[lane], sdi[lane]),
                                   mr[lane], mi[lane], vr[lane], vi[lane])) {
                finish(lane, {-1.0, int(n[lane]), -1.0, 0.0, 0.0});
                continue;
            }
            if (saveDue[lane]) {
                sZr[lane] = Zcr[lane];
                sZi[lane] = Zci[lane];
                sdr[lane] = zr[lane];
                sdi[lane] = zi[lane];
                sm[lane] = m[lane];
                mr[lane] = 1;
                mi[lane] = vr[lane] = vi[lane] = 0;
                nextSave[lane] = 2 * n[lane];
            }
            if (rebase[lane]) {
                zr[lane] = fr[lane];
                zi[lane] = fi[lane];
                m[lane] = 0;
                Zcr[lane] = Zr[0];
                Zci[lane] = Zi[0];
            }
            if (maxed[lane])
                finish(lane, {-1.0, maxIterations, -1.0, 0.0, 0.0});
        }
    }
}

}   // namespace
