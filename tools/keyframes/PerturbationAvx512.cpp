// The vector loop with eight lanes, compiled for AVX-512.
#include "PerturbationBatch.h"
#include "PerturbationLanes.h"

void iteratePerturbedAvx512(const double* Zr, const double* Zi, int orbitLength, const double* dcRe, const double* dcIm, int count,
                            int maxIterations, double bailout, SampleResult* results)
{
    batchLoop<8>(Zr, Zi, orbitLength, dcRe, dcIm, count, maxIterations, bailout, results);
}
