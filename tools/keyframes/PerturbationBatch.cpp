// SPDX-License-Identifier: GPL-3.0-or-later
#include "PerturbationBatch.h"

#include "ReferenceOrbit.h"

void iteratePerturbedBatch(const ReferenceOrbit &orbit, const double *dcRe, const double *dcIm, int count,
                           int maxIterations, double bailout, SampleResult *results, const OrbitState *starts,
                           bool cycles)
{
    if (__builtin_cpu_supports("avx512f")) {
        iteratePerturbedAvx512(orbit.pairs(), orbit.length(), dcRe, dcIm, starts, count, maxIterations,
                               bailout, cycles, results);
    } else if (__builtin_cpu_supports("avx2")) {
        iteratePerturbedAvx2(orbit.pairs(), orbit.length(), dcRe, dcIm, starts, count, maxIterations, bailout,
                             cycles, results);
    } else {
        for (int i = 0; i < count; ++i)
            results[i] = iteratePerturbedFrom(orbit, dcRe[i], dcIm[i], starts ? starts[i] : OrbitState{},
                                              maxIterations, bailout);
    }
}
