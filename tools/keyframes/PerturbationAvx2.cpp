// SPDX-License-Identifier: GPL-3.0-or-later
// The vector loop with four lanes, compiled for AVX2.
#include "PerturbationBatch.h"
#include "PerturbationLanes.h"

void iteratePerturbedAvx2(const double *Zr, const double *Zi, int orbitLength, const double *dcRe,
                          const double *dcIm, const OrbitState *starts, int count, int maxIterations,
                          double bailout, bool cycles, SampleResult *results)
{
    if (cycles)
        batchLoop<4, true>(Zr, Zi, orbitLength, dcRe, dcIm, starts, count, maxIterations, bailout, results);
    else
        batchLoop<4, false>(Zr, Zi, orbitLength, dcRe, dcIm, starts, count, maxIterations, bailout, results);
}
