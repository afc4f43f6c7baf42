// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The perturbation loop for many samples at once: eight (AVX-512) or four (AVX2) samples share the
// vector lanes and a lane takes the next sample as soon as its sample escapes or is found inside.
// Every lane does exactly the arithmetic of iteratePerturbedFrom, so the results are bit-identical
// to it (and to the scalar fallback on processors without AVX2), whatever the order of the samples.

#include "Perturbation.h"

class ReferenceOrbit;

// starts: where each sample's plain iteration begins (see skipWithBla); null: all at the start.
// Without `cycles` no sample is tested for an attracting cycle: the results are the same (interior
// samples then run to maxIterations), and the loop is faster where no sample lies inside.
void iteratePerturbedBatch(const ReferenceOrbit &orbit, const double *dcRe, const double *dcIm, int count,
                           int maxIterations, double bailout, SampleResult *results,
                           const OrbitState *starts = nullptr, bool cycles = true);

// Groups of lanes the vector loops iterate side by side (1 to 3); the others are for comparison.
constexpr int batchGroups = 2;

// The loops for one instruction set each, which iteratePerturbedBatch chooses between; callable
// only where the processor has that instruction set.
void iteratePerturbedAvx2(const double *orbit, int orbitLength, const double *dcRe, const double *dcIm,
                          const OrbitState *starts, int count, int maxIterations, double bailout, bool cycles,
                          SampleResult *results, int groups = batchGroups);
void iteratePerturbedAvx512(const double *orbit, int orbitLength, const double *dcRe, const double *dcIm,
                            const OrbitState *starts, int count, int maxIterations, double bailout,
                            bool cycles, SampleResult *results, int groups = batchGroups);
