// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The vector loop behind iteratePerturbedBatch, for `lanes` samples at a time. Included by one
// source file per instruction set (each compiled with its own flags); internal to each. It calls
// no inline function of other headers, so no copy compiled for a wider instruction set can be
// shared with code that runs on any processor.

#include "Perturbation.h"

#include <immintrin.h>
#include <type_traits>

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

// The state of one group of lanes. fr, fi (the full value Zc + z) and mr2, mi2 (mr * mr, mi * mi)
// are computed at the end of an iteration for its tests and carried into the next one, which needs
// the very same values.
template<int lanes> struct LaneGroup
{
    using vd = typename LaneVectors<lanes>::d;
    using vl = typename LaneVectors<lanes>::l;
    vd zr{}, zi{}, Dr{}, Di{}, mr{}, mi{}, vr{}, vi{}, cr{}, ci{}, Zcr{}, Zci{}, fr{}, fi{}, mr2{}, mi2{};
    vd sZr{}, sZi{}, sdr{}, sdi{};
    vl m{}, n{};
    vl due{};   // the iteration count at which the lane next needs attention (save or end)
    // The reference index m of each lane is offset[lane] + clock, the group's iteration count:
    // the fetch needs no index out of the vector m, and only a lane that jumps changes its offset.
    long long clock = 0, offset[lanes];
    int sample[lanes];
    unsigned idle = 0;   // lanes without a sample, as bits
    long long nextSave[lanes], savedM[lanes];
};

// cycles: whether the lanes look for attracting cycles. Without, an interior sample runs to
// maxIterations and ends inside just the same (a proven cycle never escapes), only later.
// groups: independent groups of lanes iterated in one loop body, so that the processor overlaps
// their dependency chains (one iteration alone is bound by its latency).
template<int lanes, bool cycles, int groups>
void batchLoop(const double *Z, int orbitLength, const double *dcRe, const double *dcIm,
               const OrbitState *starts, int count, int maxIterations, double bailout, SampleResult *results)
{
    const long long last = orbitLength - 1;
    const double bail2 = bailout * bailout;
    const double nan = __builtin_nan("");

    using Group = LaneGroup<lanes>;
    using vd = typename LaneVectors<lanes>::d;
    using vl = typename LaneVectors<lanes>::l;

    // Comparisons lane by lane: AVX-512 has mask registers for them, AVX2 all-ones lanes.
    using Mask = std::conditional_t<lanes == 4, vl, unsigned>;
    const auto less = [](vd a, vd b) {
        if constexpr (lanes == 4)
            return Mask(a < b);
        else
            return Mask(_mm512_cmp_pd_mask(__m512d(a), __m512d(b), _CMP_LT_OQ));
    };
    const auto equal = [](vl a, vl b) {
        if constexpr (lanes == 4)
            return Mask(a == b);
        else
            return Mask(_mm512_cmpeq_epi64_mask(__m512i(a), __m512i(b)));
    };
    const auto atLeast = [](vl a, vl b) {
        if constexpr (lanes == 4)
            return Mask(a >= b);
        else
            return Mask(_mm512_cmpge_epi64_mask(__m512i(a), __m512i(b)));
    };
    const auto bits = [](Mask mask) {
        if constexpr (lanes == 4)
            return unsigned(_mm256_movemask_pd(__m256d(mask)));
        else
            return mask;
    };
    const auto fromBits = [](unsigned b) {
        if constexpr (lanes == 4)
            return Mask((vl{1, 2, 4, 8} & (long long)b) != 0);
        else
            return Mask(b);
    };
    // a where the mask is set, else b.
    const auto select = [](Mask mask, auto a, auto b) {
        if constexpr (lanes == 4)
            return decltype(a)(mask ? a : b);
        else if constexpr (std::is_same_v<decltype(a), vd>)
            return vd(_mm512_mask_mov_pd(__m512d(b), __mmask8(mask), __m512d(a)));
        else
            return vl(_mm512_mask_mov_epi64(__m512i(b), __mmask8(mask), __m512i(a)));
    };

    Group group[groups];
    int next = 0, active = 0;
    const auto earlier = [](long long a, long long b) { return a < b ? a : b; };

    // Puts the next sample into a lane, from its start state; a lane without one idles on the
    // reference itself (dc = 0, difference 0) and is never looked at.
    const auto start = [&](Group &s, int lane) {
        const bool idle = next >= count;
        const OrbitState from = idle || !starts ? OrbitState{} : starts[next];
        s.sample[lane] = idle ? -1 : next;
        s.idle = idle ? s.idle | 1u << lane : s.idle & ~(1u << lane);
        s.cr[lane] = idle ? 0.0 : dcRe[next];
        s.ci[lane] = idle ? 0.0 : dcIm[next];
        if (!idle) {
            ++next;
            ++active;
        }
        s.zr[lane] = from.zr;
        s.zi[lane] = from.zi;
        s.mr[lane] = 1;
        s.mi[lane] = s.vr[lane] = s.vi[lane] = 0;
        s.Dr[lane] = from.Dr;
        s.Di[lane] = from.Di;
        s.m[lane] = from.m;
        s.offset[lane] = from.m - s.clock;
        s.n[lane] = from.n;
        s.Zcr[lane] = Z[2 * from.m];
        s.Zci[lane] = Z[2 * from.m + 1];
        s.nextSave[lane] = cycles ? 16 : 1LL << 40;
        s.due[lane] = idle ? 1LL << 40 : earlier(s.nextSave[lane], maxIterations);
        s.sZr[lane] = s.sZi[lane] = s.sdr[lane] = s.sdi[lane] = nan;
        s.savedM[lane] = -1;
    };
    const auto finish = [&](Group &s, int lane, const SampleResult &r) {
        results[s.sample[lane]] = r;
        --active;
        start(s, lane);
    };
    // Each lane's reference value Z_m, m = offset + clock, from its pair: lanes 0, 2, ... into
    // one vector and 1, 3, ... into another (two pairs to a 128-bit half), so that unpacking the
    // real and the imaginary parts leaves them in lane order.
    const auto fetch = [Z](Group &s) {
        typedef double d2 __attribute__((vector_size(16)));
        const auto pair = [&](int lane) {
            d2 p;
            __builtin_memcpy(&p, Z + 2 * (s.offset[lane] + s.clock), sizeof p);
            return p;
        };
        const auto two = [&](int a, int b) { return __builtin_shufflevector(pair(a), pair(b), 0, 1, 2, 3); };
        if constexpr (lanes == 4) {
            const vd even = two(0, 2), odd = two(1, 3);
            s.Zcr = __builtin_shufflevector(even, odd, 0, 4, 2, 6);
            s.Zci = __builtin_shufflevector(even, odd, 1, 5, 3, 7);
        } else {
            const vd even = __builtin_shufflevector(two(0, 2), two(4, 6), 0, 1, 2, 3, 4, 5, 6, 7);
            const vd odd = __builtin_shufflevector(two(1, 3), two(5, 7), 0, 1, 2, 3, 4, 5, 6, 7);
            s.Zcr = __builtin_shufflevector(even, odd, 0, 8, 2, 10, 4, 12, 6, 14);
            s.Zci = __builtin_shufflevector(even, odd, 1, 9, 3, 11, 5, 13, 7, 15);
        }
    };
    // The values carried into the next iteration, after lanes were changed.
    const auto carry = [](Group &s) {
        s.fr = s.Zcr + s.zr;
        s.fi = s.Zci + s.zi;
        s.mr2 = s.mr * s.mr;
        s.mi2 = s.mi * s.mi;
    };
    for (Group &s : group) {
        for (int lane = 0; lane < lanes; ++lane)
            start(s, lane);
        carry(s);
    }

    const vd two = vd{} + 2.0;
    const vl one = vl{} + 1LL;
    const vl lastIndex = vl{} + last;
    const vd bail2v = vd{} + bail2, gate2v = vd{} + cycleGate2, mu2v = vd{} + cycleMu2;

    // The lanes that need attention after an iteration: those to be rebased, the most frequent
    // case, and the others (escaped, maybe in a cycle, due for a save or the end).
    struct Attention
    {
        Mask rebase, other;
    };
    // One iteration in all lanes of a group: the same operations, in the same order, as the scalar
    // loop.
    const auto step = [&](Group &s) {
        const vd fr0 = s.fr, fi0 = s.fi;
        const vd tDr = two * (fr0 * s.Dr - fi0 * s.Di) + 1.0;
        s.Di = two * (fr0 * s.Di + fi0 * s.Dr);
        s.Dr = tDr;
        if constexpr (cycles) {
            const vd tvr = two * ((s.mr2 - s.mi2) + (fr0 * s.vr - fi0 * s.vi));
            s.vi = two * (two * s.mr * s.mi + (fr0 * s.vi + fi0 * s.vr));
            s.vr = tvr;
            const vd tmr = two * (fr0 * s.mr - fi0 * s.mi);
            s.mi = two * (fr0 * s.mi + fi0 * s.mr);
            s.mr = tmr;
        }
        const vd ar = two * s.Zcr + s.zr, ai = two * s.Zci + s.zi;
        const vd nzr = ar * s.zr - ai * s.zi + s.cr;
        const vd nzi = ar * s.zi + ai * s.zr + s.ci;
        s.zr = nzr;
        s.zi = nzi;
        s.m += one;
        s.n += one;
        ++s.clock;
        fetch(s);
        s.fr = s.Zcr + s.zr;
        s.fi = s.Zci + s.zi;
        const vd f2 = s.fr * s.fr + s.fi * s.fi;
        Attention attention{less(f2, s.zr * s.zr + s.zi * s.zi) | equal(s.m, lastIndex),
                            less(bail2v, f2) | atLeast(s.n, s.due)};
        if constexpr (cycles) {
            s.mr2 = s.mr * s.mr;
            s.mi2 = s.mi * s.mi;
            // Most of the time no lane's derivative has shrunk enough, and the gap is not needed.
            if (const Mask shrunk = less(s.mr2 + s.mi2, mu2v); bits(shrunk)) {
                const vd gr = (s.Zcr - s.sZr) + (s.zr - s.sdr), gi = (s.Zci - s.sZi) + (s.zi - s.sdi);
                attention.other |= less(gr * gr + gi * gi, gate2v) & shrunk;
            }
        }
        return attention;
    };

    // The scalar loop's tests for the lanes that need attention, in its order.
    const auto settle = [&](Group &s, unsigned lanesDue) {
        for (; lanesDue; lanesDue &= lanesDue - 1) {
            const int lane = __builtin_ctz(lanesDue);
            if (s.sample[lane] < 0) {
                // Idle lanes run along the reference; back to its start at its end.
                if (s.m[lane] == last) {
                    s.m[lane] = 0;
                    s.offset[lane] = -s.clock;
                    s.Zcr[lane] = Z[0];
                    s.Zci[lane] = Z[1];
                }
                continue;
            }
            const double fr = s.fr[lane], fi = s.fi[lane], zr = s.zr[lane], zi = s.zi[lane];
            const double f2 = fr * fr + fi * fi;
            const long long n = s.n[lane];
            if (f2 > bail2) {
                finish(s, lane, escapedSample(int(n), fr, fi, s.Dr[lane], s.Di[lane], bailout));
                continue;
            }
            if constexpr (cycles) {
                const double Zcr = s.Zcr[lane], Zci = s.Zci[lane], mr = s.mr[lane], mi = s.mi[lane];
                const double gr = (Zcr - s.sZr[lane]) + (zr - s.sdr[lane]);
                const double gi = (Zci - s.sZi[lane]) + (zi - s.sdi[lane]);
                if (gr * gr + gi * gi < cycleGate2 && mr * mr + mi * mi < cycleMu2
                    && attractingCycle(gr, gi,
                                       cycleGapError(s.m[lane] == s.savedM[lane], Zcr, Zci, s.sZr[lane],
                                                     s.sZi[lane], zr, zi, s.sdr[lane], s.sdi[lane]),
                                       mr, mi, s.vr[lane], s.vi[lane])) {
                    finish(s, lane, {-1.0, int(n), -1.0, 0.0, 0.0});
                    continue;
                }
                if (n >= s.nextSave[lane]) {
                    s.sZr[lane] = Zcr;
                    s.sZi[lane] = Zci;
                    s.sdr[lane] = zr;
                    s.sdi[lane] = zi;
                    s.savedM[lane] = s.m[lane];
                    s.mr[lane] = 1;
                    s.mi[lane] = s.vr[lane] = s.vi[lane] = 0;
                    s.nextSave[lane] = 2 * n;
                }
            }
            if (f2 < zr * zr + zi * zi || s.m[lane] == last) {
                s.zr[lane] = fr;
                s.zi[lane] = fi;
                s.m[lane] = 0;
                s.offset[lane] = -s.clock;
                s.Zcr[lane] = Z[0];
                s.Zci[lane] = Z[1];
            }
            if (n >= maxIterations)
                finish(s, lane, {-1.0, maxIterations, -1.0, 0.0, 0.0});
            else
                s.due[lane] = earlier(s.nextSave[lane], maxIterations);
        }
        carry(s);
    };
    // Rebases these lanes (busy ones, with nothing else to do) all at once.
    const auto rebase = [&](Group &s, unsigned lanesDue) {
        const Mask mask = fromBits(lanesDue);
        s.zr = select(mask, s.fr, s.zr);
        s.zi = select(mask, s.fi, s.zi);
        s.m = select(mask, vl{}, s.m);
        s.Zcr = select(mask, vd{} + Z[0], s.Zcr);
        s.Zci = select(mask, vd{} + Z[1], s.Zci);
        for (; lanesDue; lanesDue &= lanesDue - 1)
            s.offset[__builtin_ctz(lanesDue)] = -s.clock;
        s.fr = s.Zcr + s.zr;
        s.fi = s.Zci + s.zi;
    };

    while (active > 0) {
        Attention attention[groups];
#pragma GCC unroll 4
        for (int g = 0; g < groups; ++g)
            attention[g] = step(group[g]);
        Mask any = attention[0].rebase | attention[0].other;
#pragma GCC unroll 4
        for (int g = 1; g < groups; ++g)
            any |= attention[g].rebase | attention[g].other;
        if (!bits(any))
            continue;
#pragma GCC unroll 4
        for (int g = 0; g < groups; ++g) {
            const unsigned rebased = bits(attention[g].rebase);
            const unsigned other = bits(attention[g].other) | (rebased & group[g].idle);
            if (other)
                settle(group[g], other);
            if (rebased & ~other)
                rebase(group[g], rebased & ~other);
        }
    }
}

// batchLoop for the run-time choice of cycles and groups (1 to 3; 2 by default).
template<int lanes>
void batchLoopFor(bool cycles, int groups, const double *Z, int orbitLength, const double *dcRe,
                  const double *dcIm, const OrbitState *starts, int count, int maxIterations, double bailout,
                  SampleResult *results)
{
    const auto run = [&]<bool c, int g>() {
        batchLoop<lanes, c, g>(Z, orbitLength, dcRe, dcIm, starts, count, maxIterations, bailout, results);
    };
    const auto withGroups = [&]<bool c>() {
        if (groups == 1)
            run.template operator()<c, 1>();
        else if (groups == 3)
            run.template operator()<c, 3>();
        else
            run.template operator()<c, 2>();
    };
    if (cycles)
        withGroups.template operator()<true>();
    else
        withGroups.template operator()<false>();
}

}   // namespace
