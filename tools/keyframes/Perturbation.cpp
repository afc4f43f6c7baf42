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

bool attractingCycle(double gRe, double gIm, double gError, double muRe, double muIm, double nuRe, double nuIm)
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

SampleResult iteratePerturbed(const ReferenceOrbit& orbit, double dcRe, double dcIm, int maxIterations,
                              double bailout, const BlaTable* bla)
{
    const double* Zr = orbit.re();
    const double* Zi = orbit.im();
    const int last = orbit.length() - 1;
    const double bail2 = bailout * bailout;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    double zr = 0, zi = 0;  // difference from the reference
    // Derivative of the full value with respect to c, for the distance estimate.
    double Dr = 0, Di = 0;
    // Cycle check: a full value is saved and the first and second derivative of the full value with
    // respect to it are tracked since (see attractingCycle). Plain iteration saves at doubling
    // iteration numbers (Brent). With BLA the derivatives are only exact over plain iterations, so
    // there the check probes one stretch of the orbit's length with plain iterations, from a
    // rebase on, when the derivative over the stretch before shrank; the probes grow rarer.
    double savedZr = nan, savedZi = nan, savedDr = nan, savedDi = nan;
    int savedM = -1;
    double mr = 1, mi = 0, vr = 0, vi = 0;
    int nextSave = 16;
    bool probing = false;
    int rebases = 0, nextProbe = 2, probeEnd = 0;
    int m = 0, n = 0;
    while (n < maxIterations) {
        int length = 0;
        const BlaStep* step = bla && !probing ? bla->find(m, zr * zr + zi * zi, maxIterations - n, length) : nullptr;
        if (step) {
            // dz -> A dz + B dc; the derivatives alike (A is the derivative of the step).
            const double nr = step->ar * zr - step->ai * zi + step->br * dcRe - step->bi * dcIm;
            const double ni = step->ar * zi + step->ai * zr + step->br * dcIm + step->bi * dcRe;
            zr = nr;
            zi = ni;
            const double tDr = step->ar * Dr - step->ai * Di + step->br;
            Di = step->ar * Di + step->ai * Dr + step->bi;
            Dr = tDr;
            const double tmr = step->ar * mr - step->ai * mi;
            mi = step->ar * mi + step->ai * mr;
            mr = tmr;
            m += length;
            n += length;
        } else {
            const double fr0 = Zr[m] + zr, fi0 = Zi[m] + zi;
            const double tDr = 2 * (fr0 * Dr - fi0 * Di) + 1;
            Di = 2 * (fr0 * Di + fi0 * Dr);
            Dr = tDr;
            // nu -> 2 (mu^2 + z nu), mu -> 2 z mu
            const double tvr = 2 * ((mr * mr - mi * mi) + (fr0 * vr - fi0 * vi));
            vi = 2 * (2 * mr * mi + (fr0 * vi + fi0 * vr));
            vr = tvr;
            const double tmr = 2 * (fr0 * mr - fi0 * mi);
            mi = 2 * (fr0 * mi + fi0 * mr);
            mr = tmr;
            const double ar = 2 * Zr[m] + zr, ai = 2 * Zi[m] + zi;
            const double nr = ar * zr - ai * zi + dcRe;
            const double ni = ar * zi + ai * zr + dcIm;
            zr = nr;
            zi = ni;
            ++m;
            ++n;
        }
        const double fr = Zr[m] + zr, fi = Zi[m] + zi;
        const double f2 = fr * fr + fi * fi;
        if (f2 > bail2)
            return escapedSample(n, fr, fi, Dr, Di, bailout);
        const double gr = (Zr[m] - savedZr) + (zr - savedDr), gi = (Zi[m] - savedZi) + (zi - savedDi);
        if (gr * gr + gi * gi < cycleGate2 && mr * mr + mi * mi < 1
            && attractingCycle(gr, gi,
                               cycleGapError(m == savedM, Zr[m], Zi[m], savedZr, savedZi, zr, zi, savedDr, savedDi),
                               mr, mi, vr, vi))
            return {-1.0, n, -1.0, 0.0, 0.0};
        const auto save = [&] {
            savedZr = Zr[m];
            savedZi = Zi[m];
            savedDr = zr;
            savedDi = zi;
            savedM = m;
            mr = 1;
            mi = vr = vi = 0;
        };
        if (!bla && n >= nextSave) {
            save();
            nextSave = 2 * n;
        }
        if (probing && n >= probeEnd) {
            probing = false;
            savedZr = savedZi = nan;
            nextProbe *= 2;
        }
        // Rebase when the full value comes closer to zero than the difference, and at the end
        // of the stored orbit (one period of a periodic reference, or one that escapes early).
        if (f2 < zr * zr + zi * zi || m == last) {
            zr = fr;
            zi = fi;
            m = 0;
            if (bla && !probing) {
                ++rebases;
                if (rebases >= nextProbe && mr * mr + mi * mi < 1) {
                    probing = true;
                    probeEnd = n + last + 1;
                    save();
                } else {
                    mr = 1;
                    mi = 0;
                }
            }
        }
    }
    return {-1.0, maxIterations, -1.0, 0.0, 0.0};
}
