// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The plain iteration z -> z^2 + c from 0 in MPFR (64 bits beyond the set's precision), against
// which the tests check the renderer's perturbation, BLA and interior.

#include "Perturbation.h"

#include <mpfr.h>

struct KeyframeParams;

// c = the parameter file's centre + (dcRe, dcIm), up to its iteration limit; the derivative
// dz/dc runs beside the exact orbit in doubles.
SampleResult iterateDirectly(const KeyframeParams &params, double dcRe, double dcIm);

// One step z -> z^2 + c in MPFR; zr2, zi2 and t are scratch values of the same precision.
void squareAndAdd(mpfr_ptr zr, mpfr_ptr zi, mpfr_srcptr cr, mpfr_srcptr ci, mpfr_ptr zr2, mpfr_ptr zi2,
                  mpfr_ptr t);
