// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Iteration of one sample relative to the reference orbit, in doubles, with rebasing to the
// orbit's start whenever the full value comes closer to zero than the difference (this keeps the
// difference small and avoids glitches without secondary references) and at the orbit's end (a
// periodic reference is stored for one period only).

class BlaTable;
class ReferenceOrbit;

struct SampleResult
{
    double smooth = -1.0;     // continuous iteration count; negative inside the set
    int iterations = 0;       // iterations spent
    double distance = -1.0;   // exterior distance estimate |z| ln|z| / |dz/dc| in the plane; negative inside
    double normalRe = 0.0;    // unit vector of z / (dz/dc) at escape (the direction away from the set)
    double normalIm = 0.0;
};

// The cycle check tries to prove the orbit attracted only once it returns this close (squared) to
// a saved full value with the derivative shrunk; the proof itself does not depend on it.
constexpr double cycleGate2 = 1e-12;
// ... and with the derivative since the saved value below 0.8 (squared), which the proof needs.
constexpr double cycleMu2 = 0.64;

// Smooth count from the integer escape iteration n and |z|^2 at escape.
double smoothCount(int n, double norm2, double bailout);

// The result of a sample that escaped after n iterations with the full value (zr, zi) and the
// derivative dz/dc = (dr, di).
SampleResult escapedSample(int n, double zr, double zi, double dr, double di, double bailout);

// Whether the q iterations since a saved full value s, with f^q(s) - s = g (known to within
// gError), (f^q)'(s) = mu and (f^q)''(s) = nu, prove an attracting cycle whose basin holds s: to
// second order f^q maps a disc of radius rho around s into itself as a contraction by
// k = |mu| + |nu| rho < 1, which needs |g| <= (1 - k) rho. rho stays within the scale on which
// the first derivative changes, where the neglected higher terms are small, and a factor of 4
// more covers them. Points outside the set have no attracting cycle, so none of them is classed
// as inside. g is formed from the reference values and the differences apart: deep down the full
// values in doubles cannot tell the points of a cycle from their neighbours.
bool attractingCycle(double gRe, double gIm, double gError, double muRe, double muIm, double nuRe,
                     double nuIm);

// Rounding bound of g = (Z_m - Z_s) + (dz - dz_s) (the reference part is exact when m = s).
double cycleGapError(bool sameIndex, double Zr, double Zi, double sZr, double sZi, double dr, double di,
                     double sdr, double sdi);

// Where a sample's plain iteration starts: at the beginning of the orbit, or where BLA left it
// (reference index m, n iterations done, difference z, derivative dz/dc = D).
struct OrbitState
{
    int m = 0;
    int n = 0;
    double zr = 0, zi = 0;
    double Dr = 0, Di = 0;
};

// Skips along the orbit from its start with BLA steps (built for at least this |dc|) for as long
// as one is valid: while the difference is tiny the sample shadows the reference, and there the
// steps replace whole stretches. Returns true with `result` set if the sample escaped or reached
// maxIterations on the way; otherwise `state` is where plain iteration goes on.
bool skipWithBla(const ReferenceOrbit &orbit, const BlaTable &bla, double dcRe, double dcIm,
                 int maxIterations, double bailout, OrbitState &state, SampleResult &result);

// Plain perturbation of the sample at offset (dcRe, dcIm) from the centre point, from `start` on.
SampleResult iteratePerturbedFrom(const ReferenceOrbit &orbit, double dcRe, double dcIm,
                                  const OrbitState &start, int maxIterations, double bailout);

// dcRe, dcIm: the sample's offset from the centre point. With a BLA table the start is skipped
// (skipWithBla), and plain iteration goes on from there.
SampleResult iteratePerturbed(const ReferenceOrbit &orbit, double dcRe, double dcIm, int maxIterations,
                              double bailout, const BlaTable *bla = nullptr);
