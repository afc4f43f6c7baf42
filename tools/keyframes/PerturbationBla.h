// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Bilinear approximation (BLA) of the perturbation over the reference orbit: where the difference
// from the reference is small enough, 2^l iterations from an orbit index m that 2^l divides shrink
// to one step dz -> A dz + B dc. The single steps (A = 2 Z_m, B = 1) are merged pairwise into a
// binary tree, each entry with the radius of differences it is valid for.

#include <vector>

class ReferenceOrbit;

struct BlaStep
{
    double ar = 0, ai = 0;   // A
    double br = 0, bi = 0;   // B
    double radius2 = 0;      // valid while |dz|^2 is below this
};

class BlaTable
{
public:
    // dcMax: the largest |dc| of the samples that will use the table (the radii depend on it).
    // epsilon: the largest relative size of the neglected dz^2 against the linear term 2 Z dz.
    BlaTable(const ReferenceOrbit &orbit, double dcMax, double epsilon);

    // The longest step valid at orbit index m for a difference of squared size dz2, at most
    // `limit` iterations long; null when none (then a plain iteration follows). length gets 2^l.
    const BlaStep *find(int m, double dz2, int limit, int &length) const
    {
        int top = m == 0 ? int(m_levels.size()) - 1 : __builtin_ctz(unsigned(m));
        if (top >= int(m_levels.size()))
            top = int(m_levels.size()) - 1;
        for (int l = top; l >= 1; --l) {
            const std::vector<BlaStep> &level = m_levels[std::size_t(l)];
            const unsigned j = unsigned(m) >> l;
            if (j >= level.size() || (1 << l) > limit)
                continue;
            if (dz2 < level[j].radius2) {
                length = 1 << l;
                return &level[j];
            }
        }
        return nullptr;
    }

    // Share of the orbit's iterations that the longest steps can cover for a difference of zero:
    // near 0 the table is useless (shallow keyframes, where dc is large).
    double coverage() const;

private:
    std::vector<std::vector<BlaStep>> m_levels;   // level l: steps of 2^l iterations from index j 2^l
};
