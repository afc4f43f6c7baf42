// SPDX-License-Identifier: GPL-3.0-or-later
#include "Perturbation.h"

#include "PerturbationBla.h"
#include "ReferenceOrbit.h"

#include <cmath>
#include <limits>

double smoothCount(int n, double norm2, double bailout)
{
    // n + 1 - log2(log|z| / log R): continuous across iteration boundaries for a large R.
    return n + 1.0 - std::log2(0.5 * std::log(norm2) / std::log(bailout));
}

SampleResult escapedSample(int n, double zr, double zi, double dr, double di, double bailout)
{
    const double norm2 = zr * zr + zi * zi, d2 = dr * dr + di * di;
    SampleResult r;
    r.smooth = smoothCount(n, norm2, bailout);
    r.iterations = n;
    // |z| ln|z| / |dz/dc|; a derivative that overflowed means a point closer than any pixel.
    r.distance = std::isfinite(d2) && d2 > 0 ? 0.5 * std::sqrt(norm2 / d2) * std::log(norm2) : 0.0;
    // z / (dz/dc) = z conj(dz/dc) / |dz/dc|^2, normalised.
    const double ur = zr * dr + zi * di, ui = zi * dr - zr * di;
    const double u = std::hypot(ur, ui);
    if (u > 0 && std::isfinite(u)) {
        r.normalRe = ur / u;
        r.normalIm = ui / u;
    }
    return r;
}

bool attractingCycle(double gRe, double gIm, double gError, double muRe, double muIm, double nuRe,
                     double nuIm)
{
    const double mu = std::hypot(muRe, muIm), nu = std::hypot(nuRe, nuIm);
    if (!(mu < 0.8) || !(nu > 0))
        return false;
    // The disc: where the derivative stays below 1 by the second-order term, and no wider than the
    // scale on which the first derivative itself changes (there the higher terms take over).
    const double rho = std::min((1 - mu) / (2 * nu), std::max(mu, 0.1) / (4 * nu));
    const double contraction = mu + nu * rho;
    return 4 * (std::hypot(gRe, gIm) + gError) <= (1 - contraction) * rho;
}

double cycleGapError(bool sameIndex, double Zr, double Zi, double sZr, double sZi, double dr, double di,
                     double sdr, double sdi)
{
    // Generous against the doubles' 2^-53: the differences carry the rounding of q iterations.
    const double differences = std::hypot(dr, di) + std::hypot(sdr, sdi);
    const double reference = sameIndex ? 0.0 : std::hypot(Zr, Zi) + std::hypot(sZr, sZi);
    return 0x1.0p-44 * differences + 0x1.0p-51 * reference;
}

namespace {

// One plain iteration of the difference z and the derivative dz/dc from reference index m, which
// it advances.
void plainStep(const double *Zr, const double *Zi, double dcRe, double dcIm, int &m, double &zr, double &zi,
               double &Dr, double &Di)
{
    const double fr0 = Zr[m] + zr, fi0 = Zi[m] + zi;
    const double tDr = 2 * (fr0 * Dr - fi0 * Di) + 1;
    Di = 2 * (fr0 * Di + fi0 * Dr);
    Dr = tDr;
    const double ar = 2 * Zr[m] + zr, ai = 2 * Zi[m] + zi;
    const double nr = ar * zr - ai * zi + dcRe;
    const double ni = ar * zi + ai * zr + dcIm;
    zr = nr;
    zi = ni;
    ++m;
}

}   // namespace

// Plain iterations in a row after which skipWithBla hands the sample over.
constexpr int blaPlainRun = 128;

bool skipWithBla(const ReferenceOrbit &orbit, const BlaTable &bla, double dcRe, double dcIm,
                 int maxIterations, double bailout, OrbitState &state, SampleResult &result)
{
    const double *Zr = orbit.re();
    const double *Zi = orbit.im();
    const int last = orbit.length() - 1;
    const double bail2 = bailout * bailout;
    OrbitState s;
    int plainRun = 0;   // plain iterations since the last step
    while (s.n < maxIterations) {
        int length = 0;
        const BlaStep *step = bla.find(s.m, s.zr * s.zr + s.zi * s.zi, maxIterations - s.n, length);
        if (step) {
            // dz -> A dz + B dc, and the derivative alike.
            const double nr = step->ar * s.zr - step->ai * s.zi + step->br * dcRe - step->bi * dcIm;
            const double ni = step->ar * s.zi + step->ai * s.zr + step->br * dcIm + step->bi * dcRe;
            s.zr = nr;
            s.zi = ni;
            const double tDr = step->ar * s.Dr - step->ai * s.Di + step->br;
            s.Di = step->ar * s.Di + step->ai * s.Dr + step->bi;
            s.Dr = tDr;
            s.m += length;
            s.n += length;
            plainRun = 0;
        } else {
            // A few plain iterations carry the sample past a close approach of the reference to
            // zero, where no step is valid; many in a row mean the sample has left the reference.
            if (++plainRun > blaPlainRun)
                break;
            plainStep(Zr, Zi, dcRe, dcIm, s.m, s.zr, s.zi, s.Dr, s.Di);
            ++s.n;
        }
        const double fr = Zr[s.m] + s.zr, fi = Zi[s.m] + s.zi;
        const double f2 = fr * fr + fi * fi;
        if (f2 > bail2) {
            result = escapedSample(s.n, fr, fi, s.Dr, s.Di, bailout);
            return true;
        }
        if (f2 < s.zr * s.zr + s.zi * s.zi || s.m == last) {
            s.zr = fr;
            s.zi = fi;
            s.m = 0;
        }
    }
    state = s;
    if (s.n >= maxIterations) {
        result = {-1.0, maxIterations, -1.0, 0.0, 0.0};
        return true;
    }
    return false;
}

SampleResult iteratePerturbed(const ReferenceOrbit &orbit, double dcRe, double dcIm, int maxIterations,
                              double bailout, const BlaTable *bla)
{
    OrbitState start;
    SampleResult result;
    if (bla && skipWithBla(orbit, *bla, dcRe, dcIm, maxIterations, bailout, start, result))
        return result;
    return iteratePerturbedFrom(orbit, dcRe, dcIm, start, maxIterations, bailout);
}

SampleResult iteratePerturbedFrom(const ReferenceOrbit &orbit, double dcRe, double dcIm,
                                  const OrbitState &start, int maxIterations, double bailout)
{
    const double *Zr = orbit.re();
    const double *Zi = orbit.im();
    const int last = orbit.length() - 1;
    const double bail2 = bailout * bailout;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    double zr = start.zr, zi = start.zi;   // difference from the reference
    // Derivative of the full value with respect to c, for the distance estimate.
    double Dr = start.Dr, Di = start.Di;
    // Cycle check: a full value is saved at doubling iteration numbers (Brent), and the first and
    // second derivative of the full value with respect to it are tracked since (see
    // attractingCycle).
    double savedZr = nan, savedZi = nan, savedDr = nan, savedDi = nan;
    int savedM = -1;
    double mr = 1, mi = 0, vr = 0, vi = 0;
    int nextSave = 16;
    int m = start.m, n = start.n;
    while (n < maxIterations) {
        const double fr0 = Zr[m] + zr, fi0 = Zi[m] + zi;
        // nu -> 2 (mu^2 + z nu), mu -> 2 z mu
        const double tvr = 2 * ((mr * mr - mi * mi) + (fr0 * vr - fi0 * vi));
        vi = 2 * (2 * mr * mi + (fr0 * vi + fi0 * vr));
        vr = tvr;
        const double tmr = 2 * (fr0 * mr - fi0 * mi);
        mi = 2 * (fr0 * mi + fi0 * mr);
        mr = tmr;
        plainStep(Zr, Zi, dcRe, dcIm, m, zr, zi, Dr, Di);
        ++n;
        const double fr = Zr[m] + zr, fi = Zi[m] + zi;
        const double f2 = fr * fr + fi * fi;
        if (f2 > bail2)
            return escapedSample(n, fr, fi, Dr, Di, bailout);
        const double gr = (Zr[m] - savedZr) + (zr - savedDr), gi = (Zi[m] - savedZi) + (zi - savedDi);
        if (gr * gr + gi * gi < cycleGate2 && mr * mr + mi * mi < cycleMu2
            && attractingCycle(
                gr, gi, cycleGapError(m == savedM, Zr[m], Zi[m], savedZr, savedZi, zr, zi, savedDr, savedDi),
                mr, mi, vr, vi))
            return {-1.0, n, -1.0, 0.0, 0.0};
        if (n >= nextSave) {
            savedZr = Zr[m];
            savedZi = Zi[m];
            savedDr = zr;
            savedDi = zi;
            savedM = m;
            mr = 1;
            mi = vr = vi = 0;
            nextSave = 2 * n;
        }
        // Rebase when the full value comes closer to zero than the difference, and at the end
        // of the stored orbit (one period of a periodic reference, or one that escapes early).
        if (f2 < zr * zr + zi * zi || m == last) {
            zr = fr;
            zi = fi;
            m = 0;
        }
    }
    return {-1.0, maxIterations, -1.0, 0.0, 0.0};
}
