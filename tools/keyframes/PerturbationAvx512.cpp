// SPDX-License-Identifier: GPL-3.0-or-later
// The vector loop with eight lanes, compiled for AVX-512.
#include "PerturbationBatch.h"
#include "PerturbationLanes.h"

void iteratePerturbedAvx512(const double *orbit, int orbitLength, const double *dcRe, const double *dcIm,
                            const OrbitState *starts, int count, int maxIterations, double bailout,
                            bool cycles, SampleResult *results, int groups)
{
    batchLoopFor<8>(cycles, groups, orbit, orbitLength, dcRe, dcIm, starts, count, maxIterations, bailout,
                    results);
}
