#pragma once
// Iteration of one sample relative to the reference orbit, in doubles, with rebasing to the
// orbit's start whenever the full value comes closer to zero than the difference (this keeps the
// difference small and avoids glitches without secondary references).

class ReferenceOrbit;

struct SampleResult {
    double smooth = -1.0;    // continuous iteration count; negative inside the set
    int iterations = 0;      // iterations spent
    double distance = -1.0;  // exterior distance estimate |z| ln|z| / |dz/dc| in the plane; negative inside
    double normalRe = 0.0;   // unit vector of z / (dz/dc) at escape (the direction away from the set)
    double normalIm = 0.0;
};

// A full value met again to within this (squared) distance marks an attracting cycle.
constexpr double cycleTolerance2 = 1e-26;

// Smooth count from the integer escape iteration n and |z|^2 at escape.
double smoothCount(int n, double norm2, double bailout);

// The result of a sample that escaped after n iterations with the full value (zr, zi) and the
// derivative dz/dc = (dr, di).
SampleResult escapedSample(int n, double zr, double zi, double dr, double di, double bailout);

// dcRe, dcIm: the sample's offset from the centre point.
SampleResult iteratePerturbed(const ReferenceOrbit& orbit, double dcRe, double dcIm, int maxIterations,
                              double bailout);
