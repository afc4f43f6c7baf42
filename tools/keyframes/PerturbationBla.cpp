// SPDX-License-Identifier: GPL-3.0-or-later
#include "PerturbationBla.h"

#include "ReferenceOrbit.h"

#include <algorithm>
#include <cmath>

BlaTable::BlaTable(const ReferenceOrbit &orbit, double dcMax, double epsilon)
{
    // Steps may run up to the orbit's last index, where the difference is rebased.
    const int steps = orbit.length() - 1;
    std::vector<BlaStep> single(std::size_t(std::max(steps, 0)));
    for (int m = 0; m < steps; ++m) {
        BlaStep &s = single[std::size_t(m)];
        s.ar = 2 * orbit.re()[m];
        s.ai = 2 * orbit.im()[m];
        s.br = 1;
        s.bi = 0;
        const double r = epsilon * std::hypot(s.ar, s.ai);
        s.radius2 = r * r;
    }
    m_levels.push_back(std::move(single));
    // Level l+1 from pairs of level l: x first, then y.
    while (m_levels.back().size() >= 2) {
        const std::vector<BlaStep> &below = m_levels.back();
        std::vector<BlaStep> level(below.size() / 2);
        for (std::size_t j = 0; j < level.size(); ++j) {
            const BlaStep &x = below[2 * j];
            const BlaStep &y = below[2 * j + 1];
            BlaStep &s = level[j];
            s.ar = y.ar * x.ar - y.ai * x.ai;
            s.ai = y.ar * x.ai + y.ai * x.ar;
            s.br = y.ar * x.br - y.ai * x.bi + y.br;
            s.bi = y.ar * x.bi + y.ai * x.br + y.bi;
            const double ax = std::hypot(x.ar, x.ai), bx = std::hypot(x.br, x.bi);
            const double r = std::min(std::sqrt(x.radius2),
                                      ax > 0 ? std::max(0.0, (std::sqrt(y.radius2) - bx * dcMax) / ax) : 0.0);
            s.radius2 = r * r;
        }
        m_levels.push_back(std::move(level));
    }
}

double BlaTable::coverage() const
{
    // Walk the orbit as a sample with dz = 0 would: longest valid step at each index.
    const int steps = m_levels.empty() ? 0 : int(m_levels.front().size());
    if (steps == 0)
        return 0.0;
    int m = 0;
    long long skipped = 0;
    while (m < steps) {
        int length = 1;
        if (find(m, 0.0, steps - m, length)) {
            skipped += length;
            m += length;
        } else {
            ++m;
        }
    }
    return double(skipped) / steps;
}
