// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The orbit of the shared centre point, iterated once in high precision and kept in doubles;
// every sample of every keyframe iterates only its small difference from this orbit.

#include <string>
#include <vector>

class ReferenceOrbit
{
public:
    // Iterates z -> z^2 + c from z = 0 at `bits` of precision until maxIterations, until |z|
    // exceeds the bailout, or until z returns to zero (to within periodReturn): then c is the
    // nucleus of a component, the orbit repeats, and one period is all that is kept.
    ReferenceOrbit(const std::string &re, const std::string &im, int bits, int maxIterations, double bailout);

    int length() const { return int(m_re.size()); }   // number of stored values, Z_0 = 0 first
    const double *re() const { return m_re.data(); }
    const double *im() const { return m_im.data(); }
    // Z_m's real and imaginary part side by side at 2m and 2m + 1: the vector loop fetches a
    // lane's pair in one load.
    const double *pairs() const { return m_pairs.data(); }
    bool escaped() const { return m_escaped; }
    int period() const { return m_period; }   // 0 unless the orbit returned to zero

    static constexpr double periodReturn = 1e-24;

private:
    std::vector<double> m_re, m_im, m_pairs;
    bool m_escaped = false;
    int m_period = 0;
};
