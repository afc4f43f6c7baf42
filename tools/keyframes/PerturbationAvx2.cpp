// SPDX-License-Identifier: GPL-3.0-or-later
// The vector loop with four lanes, compiled for AVX2.
#include "PerturbationBatch.h"
#include "PerturbationLanes.h"

void iteratePerturbedAvx2(const double *orbit, int orbitLength, const double *dcRe, const double *dcIm,
                          const OrbitState *starts, int count, int maxIterations, double bailout, bool cycles,
                          SampleResult *results, int groups)
{
    batchLoopFor<4>(cycles, groups, orbit, orbitLength, dcRe, dcIm, starts, count, maxIterations, bailout,
                    results);
}
