// SPDX-License-Identifier: GPL-3.0-or-later
#include "DirectIteration.h"

#include "KeyframeParams.h"

#include <mpfr.h>

void squareAndAdd(mpfr_ptr zr, mpfr_ptr zi, mpfr_srcptr cr, mpfr_srcptr ci, mpfr_ptr zr2, mpfr_ptr zi2,
                  mpfr_ptr t)
{
    mpfr_sqr(zr2, zr, MPFR_RNDN);
    mpfr_sqr(zi2, zi, MPFR_RNDN);
    mpfr_mul(t, zr, zi, MPFR_RNDN);
    mpfr_mul_2ui(t, t, 1, MPFR_RNDN);
    mpfr_add(zi, t, ci, MPFR_RNDN);
    mpfr_sub(zr, zr2, zi2, MPFR_RNDN);
    mpfr_add(zr, zr, cr, MPFR_RNDN);
}

SampleResult iterateDirectly(const KeyframeParams &p, double dcRe, double dcIm)
{
    const int bits = p.precisionBits + 64;
    mpfr_t cr, ci, zr, zi, zr2, zi2, t;
    for (mpfr_ptr v : {cr, ci, zr, zi, zr2, zi2, t})
        mpfr_init2(v, bits);
    mpfr_set_str(cr, p.centreRe.c_str(), 10, MPFR_RNDN);
    mpfr_set_str(ci, p.centreIm.c_str(), 10, MPFR_RNDN);
    mpfr_add_d(cr, cr, dcRe, MPFR_RNDN);
    mpfr_add_d(ci, ci, dcIm, MPFR_RNDN);
    mpfr_set_zero(zr, 1);
    mpfr_set_zero(zi, 1);
    SampleResult result{-1.0, p.maxIterations, -1.0, 0.0, 0.0};
    double dr = 0, di = 0;   // dz/dc beside the exact orbit; the orbit's own rounding dominates it
    for (int n = 1; n <= p.maxIterations; ++n) {
        const double a0 = mpfr_get_d(zr, MPFR_RNDN), b0 = mpfr_get_d(zi, MPFR_RNDN);
        const double t0 = 2 * (a0 * dr - b0 * di) + 1;
        di = 2 * (a0 * di + b0 * dr);
        dr = t0;
        squareAndAdd(zr, zi, cr, ci, zr2, zi2, t);
        const double a = mpfr_get_d(zr, MPFR_RNDN), b = mpfr_get_d(zi, MPFR_RNDN);
        const double norm2 = a * a + b * b;
        if (norm2 > p.bailout * p.bailout) {
            result = escapedSample(n, a, b, dr, di, p.bailout);
            break;
        }
    }
    for (mpfr_ptr v : {cr, ci, zr, zi, zr2, zi2, t})
        mpfr_clear(v);
    return result;
}
