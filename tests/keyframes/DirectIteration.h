#pragma once
// The plain iteration z -> z^2 + c from 0 in MPFR (64 bits beyond the set's precision), against
// which the tests check the renderer's perturbation, BLA and interior.

#include "Perturbation.h"

struct KeyframeParams;

// c = the parameter file's centre + (dcRe, dcIm), up to its iteration limit; the derivative
// dz/dc runs beside the exact orbit in doubles.
SampleResult iterateDirectly(const KeyframeParams& params, double dcRe, double dcIm);
