#include "Perturbation.h"

#include "ReferenceOrbit.h"

#include <cmath>

double smoothCount(int n, double norm2, double bailout)
{
    // n + 1 - log2(log|z| / log R): continuous across iteration boundaries for a large R.
    return n + 1.0 - std::log2(0.5 * std::log(norm2) / std::log(bailout));
}

SampleResult iteratePerturbed(const ReferenceOrbit& orbit, double dcRe, double dcIm, int maxIterations,
                              double bailout)
{
    const double* Zr = orbit.re();
    const double* Zi = orbit.im();
    const int last = orbit.length() - 1;
    const double bail2 = bailout * bailout;
    double zr = 0, zi = 0;  // difference from the reference
    double dr = 1, di = 0;  // derivative of the full value with respect to the first iterate
    int m = 0;
    for (int n = 0; n < maxIterations; ++n) {
        const double ar = 2 * Zr[m] + zr, ai = 2 * Zi[m] + zi;
        const double nr = ar * zr - ai * zi + dcRe;
        const double ni = ar * zi + ai * zr + dcIm;
        zr = nr;
        zi = ni;
        ++m;
        const double fr = Zr[m] + zr, fi = Zi[m] + zi;
        const double f2 = fr * fr + fi * fi;
        if (f2 > bail2)
            return {smoothCount(n + 1, f2, bailout), n + 1};
        // An attracting cycle drives the derivative to zero: the sample lies inside.
        const double tr = 2 * (fr * dr - fi * di);
        di = 2 * (fr * di + fi * dr);
        dr = tr;
        if (dr * dr + di * di < 1e-24)
            return {-1.0, n + 1};
        if (f2 < zr * zr + zi * zi || m == last) {
            zr = fr;
            zi = fi;
            m = 0;
        }
    }
    return {-1.0, maxIterations};
}
