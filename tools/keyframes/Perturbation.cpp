#include "Perturbation.h"

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

SampleResult iteratePerturbed(const ReferenceOrbit& orbit, double dcRe, double dcIm, int maxIterations,
                              double bailout)
{
    const double* Zr = orbit.re();
    const double* Zi = orbit.im();
    const int last = orbit.length() - 1;
    const double bail2 = bailout * bailout;
    double zr = 0, zi = 0;  // difference from the reference
    // Derivative of the full value with respect to the first iterate, for the cycle check below.
    double dr = 1, di = 0;
    // Derivative of the full value with respect to c, for the distance estimate.
    double Dr = 0, Di = 0;
    // Brent's cycle check: meeting a saved full value again to within 1e-13, with the derivative
    // shrunk since then (the cycle attracts), means the orbit has settled on an attracting cycle.
    // The saved value is renewed at doubling iteration numbers.
    double savedRe = std::numeric_limits<double>::quiet_NaN(), savedIm = savedRe, savedD2 = 0;
    int nextSave = 16;
    int m = 0, n = 0;
    while (n < maxIterations) {
        const double fr0 = Zr[m] + zr, fi0 = Zi[m] + zi;
        const double tDr = 2 * (fr0 * Dr - fi0 * Di) + 1;
        Di = 2 * (fr0 * Di + fi0 * Dr);
        Dr = tDr;
        if (n > 0) {
            const double tr = 2 * (fr0 * dr - fi0 * di);
            di = 2 * (fr0 * di + fi0 * dr);
            dr = tr;
        }
        const double ar = 2 * Zr[m] + zr, ai = 2 * Zi[m] + zi;
        const double nr = ar * zr - ai * zi + dcRe;
        const double ni = ar * zi + ai * zr + dcIm;
        zr = nr;
        zi = ni;
        ++m;
        ++n;
        const double fr = Zr[m] + zr, fi = Zi[m] + zi;
        const double f2 = fr * fr + fi * fi;
        if (f2 > bail2)
            return escapedSample(n, fr, fi, Dr, Di, bailout);
        const double er = fr - savedRe, ei = fi - savedIm;
        const double d2 = dr * dr + di * di;
        if (er * er + ei * ei < cycleTolerance2 && d2 < savedD2)
            return {-1.0, n, -1.0, 0.0, 0.0};
        if (n >= nextSave) {
            savedRe = fr;
            savedIm = fi;
            savedD2 = d2;
            nextSave = 2 * n;
        }
        // Rebase when the full value comes closer to zero than the difference, and at the end
        // of the stored orbit (a reference that escapes early).
        if (f2 < zr * zr + zi * zi || m == last) {
            zr = fr;
            zi = fi;
            m = 0;
        }
    }
    return {-1.0, maxIterations, -1.0, 0.0, 0.0};
}
