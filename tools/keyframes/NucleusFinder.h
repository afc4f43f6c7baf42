// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Finds the minibrot the zoom ends on, the way deep-zoom renderers do: the lowest period of the
// periodic points around a view (ball arithmetic on the orbit of its centre), Newton's method in
// MPFR for the nucleus of that period, and the usual estimate of the mini-set's size. The nucleus
// is the centre of the keyframe set; its orbit returns to 0 after exactly `period` iterations.

#include <string>

struct Nucleus
{
    std::string re, im;   // decimal digits of the nucleus
    int period = 0;
    // The mini-set is about nucleus + size * w for w over the whole set (-2 .. 0.25 along the
    // real axis), so |size| is its scale and arg(size) its turn.
    double sizeRe = 0, sizeIm = 0;
    int newtonSteps = 0;
    bool cardioid = false;   // a mini-set; false for a bulb attached to a larger component

    double size() const;
    double angleDegrees() const;
};

// Lowest n in 1 .. maxPeriod for which the disc |c - centre| <= radius, iterated n times from 0
// in ball arithmetic, may contain 0; 0 when there is none (or the orbit escapes first).
int ballPeriod(const std::string &re, const std::string &im, double radius, int maxPeriod, int bits);

// Newton's method from (re, im) for a root of z_period(c) = 0 at `bits` of precision, then the size
// estimate. Throws std::runtime_error when Newton does not converge or the root's orbit returns
// to 0 earlier than `period` (a nucleus of a lower period).
Nucleus findNucleus(const std::string &re, const std::string &im, int period, int bits);

struct KeyframeParams;

// The command-line search, printed to stdout: the ball period of every keyframe's view from k
// down, around params' centre; then the mini-sets found in keyframe k's view (nucleus, period,
// size against keyframe 62's width).
void printDestination(const KeyframeParams &params, int k, int threads);
