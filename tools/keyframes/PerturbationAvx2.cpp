// The vector loop with four lanes, compiled for AVX2.
#include "PerturbationBatch.h"
#include "PerturbationLanes.h"

void iteratePerturbedAvx2(const double* Zr, const double* Zi, int orbitLength, const double* dcRe, const double* dcIm, int count,
                          int maxIterations, double bailout, SampleResult* results)
{
    batchLoop<4>(Zr, Zi, orbitLength, dcRe, dcIm, count, maxIterations, bailout, results);
}
