#pragma once
// The vector loop behind iteratePerturbedBatch, for `lanes` samples at a time. Included by one
// source file per instruction set (each compiled with its own flags); internal to each. It calls
// no inline function of other headers, so no copy compiled for a wider instruction set can be
// shared with code that runs on any processor.

#include "Perturbation.h"

namespace {

template <int lanes>
struct LaneVectors;
template <>
struct LaneVectors<4> {
    typedef double d __attribute__((vector_size(32)));
    typedef long long l __attribute__((vector_size(32)));
};
template <>
struct LaneVectors<8> {
    typedef double d __attribute__((vector_size(64)));
    typedef long long l __attribute__((vector_size(64)));
};

template <int lanes>
void batchLoop(const double* Zr, const double* Zi, int orbitLength, const double* dcRe, const double* dcIm, int count,
               int maxIterations, double bailout, SampleResult* results)
{
    const long long last = orbitLength - 1;
    const double bail2 = bailout * bailout;
    const double nan = __builtin_nan("");

    using vd = typename LaneVectors<lanes>::d;
    using vl = typename LaneVectors<lanes>::l;
    const auto any = [](vl mask) {
        long long bits = 0;
        for (int lane = 0; lane < lanes; ++lane)
            bits |= mask[lane];
        return bits != 0;
    };

    vd zr{}, zi{}, dr{}, di{}, Dr{}, Di{}, cr{}, ci{}, Zcr{}, Zci{}, sr{}, si{}, sd2{};
    vl m{}, n{}, nextSave{};
    int sample[lanes];
    int next = 0, active = 0;

    // Puts the next sample into a lane; a lane without one idles on the reference itself (dc = 0,
    // difference 0) and is never looked at.
    const auto start = [&](int lane) {
        const bool idle = next >= count;
        sample[lane] = idle ? -1 : next;
        cr[lane] = idle ? 0.0 : dcRe[next];
        ci[lane] = idle ? 0.0 : dcIm[next];
        if (!idle) {
            ++next;
            ++active;
        }
        zr[lane] = zi[lane] = 0;
        dr[lane] = 1;
        di[lane] = 0;
        Dr[lane] = Di[lane] = 0;
        m[lane] = 0;
        n[lane] = 0;
        Zcr[lane] = Zr[0];
        Zci[lane] = Zi[0];
        nextSave[lane] = idle ? (1LL << 40) : 16;
        sr[lane] = si[lane] = nan;
        sd2[lane] = 0;
    };
    const auto finish = [&](int lane, const SampleResult& r) {
        results[sample[lane]] = r;
        --active;
        start(lane);
    };
    for (int lane = 0; lane < lanes; ++lane)
        start(lane);

    const vd two = vd{} + 2.0;
    const vl one = vl{} + 1LL, zero = vl{};
    const vl lastIndex = vl{} + last;
    const vl maxN = vl{} + static_cast<long long>(maxIterations);
    while (active > 0) {
        // One iteration in all lanes: the same operations, in the same order, as the scalar loop.
        const vd fr0 = Zcr + zr, fi0 = Zci + zi;
        const vd tDr = two * (fr0 * Dr - fi0 * Di) + 1.0;
        Di = two * (fr0 * Di + fi0 * Dr);
        Dr = tDr;
        const vd tr = two * (fr0 * dr - fi0 * di);
        const vd ti = two * (fr0 * di + fi0 * dr);
        const vl started = n > zero;
        dr = started ? tr : dr;
        di = started ? ti : di;
        const vd ar = two * Zcr + zr, ai = two * Zci + zi;
        const vd nzr = ar * zr - ai * zi + cr;
        const vd nzi = ar * zi + ai * zr + ci;
        zr = nzr;
        zi = nzi;
        m += one;
        n += one;
        // Idle lanes run along the reference; bring them back to its start before its end.
        for (int lane = 0; lane < lanes; ++lane) {
            if (sample[lane] < 0 && m[lane] == last)
                m[lane] = 0;
            Zcr[lane] = Zr[m[lane]];
            Zci[lane] = Zi[m[lane]];
        }
        const vd fr = Zcr + zr, fi = Zci + zi;
        const vd f2 = fr * fr + fi * fi;
        const vd er = fr - sr, ei = fi - si;
        const vd d2 = dr * dr + di * di;
        const vl escaped = f2 > bail2;
        const vl cycled = (er * er + ei * ei < cycleTolerance2) & (d2 < sd2);
        const vl saveDue = n >= nextSave;
        const vl rebase = (f2 < zr * zr + zi * zi) | (m == lastIndex);
        const vl maxed = n >= maxN;
        if (!any(escaped | cycled | saveDue | rebase | maxed))
            continue;
        for (int lane = 0; lane < lanes; ++lane) {
            if (sample[lane] < 0)
                continue;
            if (escaped[lane]) {
                finish(lane, escapedSample(int(n[lane]), fr[lane], fi[lane], Dr[lane], Di[lane], bailout));
                continue;
            }
            if (cycled[lane]) {
                finish(lane, {-1.0, int(n[lane]), -1.0, 0.0, 0.0});
                continue;
            }
            if (saveDue[lane]) {
                sr[lane] = fr[lane];
                si[lane] = fi[lane];
                sd2[lane] = d2[lane];
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

}  // namespace
