// SPDX-License-Identifier: GPL-3.0-or-later
#include "NucleusFinder.h"

#include "KeyframeGeometry.h"
#include "KeyframeParams.h"
#include "ParallelFor.h"

#include <mpfr.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace {

// Highest period the command-line search looks for.
constexpr int maxSearchPeriod = 1000000;

// A complex number of MPFR reals, freed with its scope.
struct BigComplex
{
    mpfr_t re, im;
    explicit BigComplex(int bits)
    {
        mpfr_init2(re, bits);
        mpfr_init2(im, bits);
        mpfr_set_zero(re, 1);
        mpfr_set_zero(im, 1);
    }
    ~BigComplex()
    {
        mpfr_clear(re);
        mpfr_clear(im);
    }
    BigComplex(const BigComplex &) = delete;
    BigComplex &operator=(const BigComplex &) = delete;

    void set(const std::string &r, const std::string &i)
    {
        if (mpfr_set_str(re, r.c_str(), 10, MPFR_RNDN) != 0
            || mpfr_set_str(im, i.c_str(), 10, MPFR_RNDN) != 0)
            throw std::runtime_error("not a decimal number: " + r + ", " + i);
    }
    std::complex<double> toDouble() const { return {mpfr_get_d(re, MPFR_RNDN), mpfr_get_d(im, MPFR_RNDN)}; }
};

// z -> z^2 + c in place; t is scratch.
void square_add(BigComplex &z, const BigComplex &c, mpfr_t t)
{
    mpfr_mul(t, z.re, z.im, MPFR_RNDN);
    mpfr_sqr(z.re, z.re, MPFR_RNDN);
    mpfr_sqr(z.im, z.im, MPFR_RNDN);
    mpfr_sub(z.re, z.re, z.im, MPFR_RNDN);
    mpfr_add(z.re, z.re, c.re, MPFR_RNDN);
    mpfr_mul_2ui(z.im, t, 1, MPFR_RNDN);
    mpfr_add(z.im, z.im, c.im, MPFR_RNDN);
}

std::string digits(const mpfr_t x, int bits)
{
    // Enough decimals to carry every bit of a number below 2 in magnitude.
    const int decimals = int(std::ceil(bits * std::log10(2.0))) + 2;
    char *text = nullptr;
    mpfr_asprintf(&text, "%.*Rf", decimals, x);
    std::string s(text);
    mpfr_free_str(text);
    return s;
}

// The orbit of c from 0 in doubles (rounded from MPFR) for n = 1 .. count; stops early on escape.
template<class Visit> void visitOrbit(const BigComplex &c, int count, int bits, Visit visit)
{
    BigComplex z(bits);
    mpfr_t t;
    mpfr_init2(t, bits);
    for (int n = 1; n <= count; ++n) {
        square_add(z, c, t);
        if (!visit(n, z))
            break;
    }
    mpfr_clear(t);
}

// Shape of the component at its nucleus: about 0 for a cardioid (a mini-set of its own), about 1
// for a disc (a bulb on a larger component). The usual estimate from the first and second
// derivatives of z_period by z and c along the orbit.
bool shapeIsCardioid(const BigComplex &c, int period, int bits)
{
    using Cld = std::complex<long double>;
    Cld dc = 1, dz = 1, dzdz = 0, dcdz = 0;
    visitOrbit(c, period - 1, bits, [&](int, const BigComplex &zn) {
        // From z_1 = c on: the derivatives of z_{n+1} from those of z_n.
        const Cld z(mpfr_get_ld(zn.re, MPFR_RNDN), mpfr_get_ld(zn.im, MPFR_RNDN));
        dcdz = 2.0L * (z * dcdz + dc * dz);
        dzdz = 2.0L * (z * dzdz + dz * dz);
        dc = 2.0L * z * dc + 1.0L;
        dz = 2.0L * z * dz;
        return true;
    });
    const Cld shape = -(dcdz / (2.0L * dc) + dzdz / dz) / (dz * dc);
    return std::abs(shape) < std::abs(shape - 1.0L);
}

}   // namespace

double Nucleus::size() const
{
    return std::hypot(sizeRe, sizeIm);
}

double Nucleus::angleDegrees() const
{
    return std::atan2(sizeIm, sizeRe) * 180 / M_PI;
}

int ballPeriod(const std::string &re, const std::string &im, double radius, int maxPeriod, int bits)
{
    BigComplex c(bits);
    c.set(re, im);
    // The disc's n-th image lies in the ball of centre Z_n (the centre's orbit) and radius R_n:
    // (Z + e)^2 + c + d = Z^2 + c + (2 Z e + e^2 + d) with |e| <= R, |d| <= radius.
    int period = 0;
    double r = 0, zPrev = 0;   // R_{n-1} and |Z_{n-1}|, Z_0 = 0
    visitOrbit(c, maxPeriod, bits, [&](int n, const BigComplex &z) {
        r = r * (2 * zPrev + r) + radius;
        const double a = std::abs(z.toDouble());
        if (a <= r) {
            period = n;
            return false;
        }
        zPrev = a;
        return std::isfinite(r) && a < 1e6;
    });
    return period;
}

Nucleus findNucleus(const std::string &re, const std::string &im, int period, int bits)
{
    if (period < 1)
        throw std::runtime_error("the period must be positive");
    BigComplex c(bits), z(bits), dz(bits), next(bits);
    c.set(re, im);
    mpfr_t t, norm, stepNorm;
    for (mpfr_ptr v : {t, norm, stepNorm})
        mpfr_init2(v, bits);
    // Quadratic convergence: once a step moves c by less than 2^-(bits/2) (c is of order 1), two
    // more steps reach the precision's floor.
    const long tolerance = -long(bits) / 2;
    int polish = 2;
    Nucleus result;
    result.period = period;
    bool converged = false;
    for (int step = 1; step <= 100 && !converged; ++step) {
        // z_p(c) and its derivative d/dc: dz -> 2 z dz + 1, z -> z^2 + c.
        mpfr_set_zero(z.re, 1);
        mpfr_set_zero(z.im, 1);
        mpfr_set_zero(dz.re, 1);
        mpfr_set_zero(dz.im, 1);
        for (int n = 0; n < period; ++n) {
            mpfr_mul(next.re, z.re, dz.re, MPFR_RNDN);
            mpfr_mul(t, z.im, dz.im, MPFR_RNDN);
            mpfr_sub(next.re, next.re, t, MPFR_RNDN);
            mpfr_mul(next.im, z.re, dz.im, MPFR_RNDN);
            mpfr_mul(t, z.im, dz.re, MPFR_RNDN);
            mpfr_add(next.im, next.im, t, MPFR_RNDN);
            mpfr_mul_2ui(dz.re, next.re, 1, MPFR_RNDN);
            mpfr_add_ui(dz.re, dz.re, 1, MPFR_RNDN);
            mpfr_mul_2ui(dz.im, next.im, 1, MPFR_RNDN);
            square_add(z, c, t);
        }
        // step = z / dz = z * conj(dz) / |dz|^2
        mpfr_sqr(norm, dz.re, MPFR_RNDN);
        mpfr_sqr(t, dz.im, MPFR_RNDN);
        mpfr_add(norm, norm, t, MPFR_RNDN);
        if (mpfr_zero_p(norm) || !mpfr_number_p(norm))
            break;
        mpfr_mul(next.re, z.re, dz.re, MPFR_RNDN);
        mpfr_mul(t, z.im, dz.im, MPFR_RNDN);
        mpfr_add(next.re, next.re, t, MPFR_RNDN);
        mpfr_mul(next.im, z.im, dz.re, MPFR_RNDN);
        mpfr_mul(t, z.re, dz.im, MPFR_RNDN);
        mpfr_sub(next.im, next.im, t, MPFR_RNDN);
        mpfr_div(next.re, next.re, norm, MPFR_RNDN);
        mpfr_div(next.im, next.im, norm, MPFR_RNDN);
        mpfr_sub(c.re, c.re, next.re, MPFR_RNDN);
        mpfr_sub(c.im, c.im, next.im, MPFR_RNDN);
        result.newtonSteps = step;
        mpfr_hypot(stepNorm, next.re, next.im, MPFR_RNDN);
        if (mpfr_zero_p(stepNorm) || mpfr_get_exp(stepNorm) < tolerance)
            converged = polish-- == 0;
        if (!mpfr_number_p(c.re) || !mpfr_number_p(c.im))
            break;
    }
    for (mpfr_ptr v : {t, norm, stepNorm})
        mpfr_clear(v);
    if (!converged)
        throw std::runtime_error("Newton's method found no nucleus of period " + std::to_string(period));

    // The size estimate from the orbit of the nucleus: l = prod 2 z_n, b = sum 1/l over
    // n = 1 .. p-1, size = 1 / (b l^2). Long doubles keep l's range over long periods.
    using Cld = std::complex<long double>;
    Cld l = 1, b = 1;
    // The orbit returns to 0 first after `period` iterations if no earlier z_n comes within
    // 2^16 times |z_period| (what is left of 0 at this precision) of it.
    std::vector<long double> distance;
    visitOrbit(c, period, bits, [&](int, const BigComplex &zn) {
        const Cld v(mpfr_get_ld(zn.re, MPFR_RNDN), mpfr_get_ld(zn.im, MPFR_RNDN));
        distance.push_back(std::abs(v));
        if (int(distance.size()) < period) {
            l *= 2.0L * v;
            b += 1.0L / l;
        }
        return true;
    });
    int returned = 0;
    while (returned < period && distance[std::size_t(returned)] > 65536.0L * distance.back())
        ++returned;
    ++returned;
    if (returned != period)
        throw std::runtime_error("Newton's method for period " + std::to_string(period)
                                 + " found a nucleus whose orbit returns to 0 after "
                                 + std::to_string(returned));
    const Cld size = 1.0L / (b * l * l);
    result.cardioid = shapeIsCardioid(c, period, bits);
    result.sizeRe = double(size.real());
    result.sizeIm = double(size.imag());
    result.re = digits(c.re, bits);
    result.im = digits(c.im, bits);
    return result;
}

namespace {

// The difference a - b of two decimal numbers, in doubles.
double difference(const std::string &a, const std::string &b, int bits)
{
    BigComplex x(bits);
    x.set(a, b);
    mpfr_sub(x.re, x.re, x.im, MPFR_RNDN);
    return mpfr_get_d(x.re, MPFR_RNDN);
}

std::string shifted(const std::string &a, double by, int bits)
{
    BigComplex x(bits);
    x.set(a, "0");
    mpfr_add_d(x.re, x.re, by, MPFR_RNDN);
    return digits(x.re, bits);
}

}   // namespace

void printDestination(const KeyframeParams &params, int k, int threads)
{
    using namespace keyframes;
    const int bits = params.precisionBits + 96;
    const double width62 = pixelSize(params.width, lastRun) * frameWidth;

    // Period detection along the zoom path: the disc of each keyframe's view around the centre.
    std::printf("periods along the path (disc of each keyframe's half width around the centre):\n");
    for (int j = k; j <= lastRun; ++j) {
        const double radius = pixelSize(params.width, j) * frameWidth / 2;
        std::printf("  keyframe %2d: %d\n", j,
                    ballPeriod(params.centreRe, params.centreIm, radius, maxSearchPeriod, bits));
    }

    // Mini-sets in keyframe k's view: Newton from the centre of each cell of a 32 x 24 grid for the
    // period the ball method finds over the cell; bulbs, repeats and nuclei that Newton found more
    // than two widths of the view away are left out.
    constexpr int gw = 32, gh = 24;
    const double cell = pixelSize(params.width, k) * frameWidth / gw;
    std::vector<Nucleus> found(gw * gh);
    std::vector<double> offsetRe(gw * gh), offsetIm(gw * gh);
    parallelFor(gw * gh, threads, [&](int i) {
        const double dx = (i % gw + 0.5 - gw / 2.0) * cell, dy = (gh / 2.0 - i / gw - 0.5) * cell;
        const std::string re = shifted(params.centreRe, dx, bits), im = shifted(params.centreIm, dy, bits);
        const int period = ballPeriod(re, im, cell * 0.71, maxSearchPeriod, bits);
        try {
            if (period > 0)
                found[std::size_t(i)] = findNucleus(re, im, period, bits);
        } catch (const std::runtime_error &) {
            // Newton left for a nucleus of a lower period, or did not settle: no mini-set here.
        }
    });
    std::vector<std::size_t> minis;
    for (std::size_t i = 0; i < found.size(); ++i) {
        const Nucleus &n = found[i];
        if (n.period == 0 || !n.cardioid)
            continue;
        const double offset =
            std::hypot(difference(n.re, params.centreRe, bits), difference(n.im, params.centreIm, bits));
        if (offset > 2 * cell * gw)
            continue;
        bool repeat = false;
        for (std::size_t j : minis)
            repeat = repeat
                || (found[j].period == n.period && std::abs(difference(found[j].re, n.re, bits)) < n.size()
                    && std::abs(difference(found[j].im, n.im, bits)) < n.size());
        if (!repeat)
            minis.push_back(i);
    }
    std::sort(minis.begin(), minis.end(),
              [&](std::size_t a, std::size_t b) { return found[a].size() > found[b].size(); });
    std::printf("mini-sets in and around keyframe %d's view, largest first:\n", k);
    for (std::size_t i : minis) {
        const Nucleus &n = found[i];
        const double offset =
            std::hypot(difference(n.re, params.centreRe, bits), difference(n.im, params.centreIm, bits));
        // The whole set spans 2.25 along the real axis (-2 .. 0.25) from its nucleus 0.
        std::printf(
            "period %6d  size %.4g  turned %6.1f degrees  spans %8.3g of keyframe %d  %.2f of keyframe %d's "
            "width from the centre\n  centre.re = %s\n  centre.im = %s\n",
            n.period, n.size(), n.angleDegrees(), 2.25 * n.size() / width62, lastRun, offset / (cell * gw), k,
            n.re.c_str(), n.im.c_str());
    }
}
