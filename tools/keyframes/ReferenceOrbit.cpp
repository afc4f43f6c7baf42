// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReferenceOrbit.h"

#include <mpfr.h>

#include <stdexcept>

ReferenceOrbit::ReferenceOrbit(const std::string &re, const std::string &im, int bits, int maxIterations,
                               double bailout)
{
    mpfr_t cr, ci, zr, zi, zr2, zi2, t;
    for (mpfr_ptr v : {cr, ci, zr, zi, zr2, zi2, t})
        mpfr_init2(v, bits);
    const bool bad =
        mpfr_set_str(cr, re.c_str(), 10, MPFR_RNDN) != 0 || mpfr_set_str(ci, im.c_str(), 10, MPFR_RNDN) != 0;
    if (!bad) {
        mpfr_set_zero(zr, 1);
        mpfr_set_zero(zi, 1);
        m_re.reserve(std::size_t(maxIterations) + 1);
        m_im.reserve(std::size_t(maxIterations) + 1);
        const double bail2 = bailout * bailout;
        for (int n = 0; n <= maxIterations; ++n) {
            const double dr = mpfr_get_d(zr, MPFR_RNDN), di = mpfr_get_d(zi, MPFR_RNDN);
            m_re.push_back(dr);
            m_im.push_back(di);
            if (dr * dr + di * di > bail2) {
                m_escaped = true;
                break;
            }
            if (n > 0 && dr * dr + di * di < periodReturn * periodReturn) {
                m_period = n;
                break;
            }
            // z = (zr^2 - zi^2 + cr) + i (2 zr zi + ci)
            mpfr_sqr(zr2, zr, MPFR_RNDN);
            mpfr_sqr(zi2, zi, MPFR_RNDN);
            mpfr_mul(t, zr, zi, MPFR_RNDN);
            mpfr_mul_2ui(t, t, 1, MPFR_RNDN);
            mpfr_add(zi, t, ci, MPFR_RNDN);
            mpfr_sub(zr, zr2, zi2, MPFR_RNDN);
            mpfr_add(zr, zr, cr, MPFR_RNDN);
        }
    }
    for (mpfr_ptr v : {cr, ci, zr, zi, zr2, zi2, t})
        mpfr_clear(v);
    if (bad)
        throw std::runtime_error("centre point is not a decimal number");
    m_pairs.reserve(2 * m_re.size());
    for (std::size_t m = 0; m < m_re.size(); ++m)
        m_pairs.insert(m_pairs.end(), {m_re[m], m_im[m]});
}
