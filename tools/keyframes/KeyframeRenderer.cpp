// SPDX-License-Identifier: GPL-3.0-or-later
#include "KeyframeRenderer.h"

#include "KeyframeGeometry.h"
#include "KeyframeParams.h"
#include "Palette.h"
#include "ParallelFor.h"
#include "PerturbationBatch.h"
#include "PerturbationBla.h"
#include "ReferenceOrbit.h"

#include <algorithm>
#include <cmath>

using namespace keyframes;

namespace {

std::uint64_t splitmix(std::uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

double unit(std::uint64_t bits)
{
    return double(bits >> 11) * 0x1.0p-53;
}

bool inCentre(int x, int y, int width, int height)
{
    return x >= width / 4 && x < width * 3 / 4 && y >= height / 4 && y < height * 3 / 4;
}

// Below this share of skippable iterations the scalar BLA loop loses to the vector loop.
constexpr double blaMinCoverage = 0.5;

// Standard error of a channel's mean in 8-bit sRGB levels: the error in linear light times the
// slope of the transfer curve at the mean.
double levelsError(double sum, double squares, int count)
{
    if (count < 2)
        return 0.0;
    const double mean = sum / count;
    const double variance = std::max(0.0, (squares - sum * mean) / (count - 1));
    const double slope = mean <= 0.0031308 ? 12.92 : 1.055 / 2.4 * std::pow(mean, 1 / 2.4 - 1);
    return std::sqrt(variance / count) * slope * 255.0;
}

}   // namespace

struct KeyframeRenderer::PixelSums
{
    double sum[3] = {0, 0, 0};
    double squares[3] = {0, 0, 0};
    int count = 0;

    double error() const
    {
        double e = 0;
        for (int c = 0; c < 3; ++c)
            e = std::max(e, levelsError(sum[c], squares[c], count));
        return e;
    }
};

LinearImage halve(const LinearImage &linear, int width, int height)
{
    const int w = width / 2, h = height / 2;
    LinearImage out(std::size_t(w) * std::size_t(h) * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                const auto at = [&](int xx, int yy) {
                    return linear[(std::size_t(yy) * std::size_t(width) + std::size_t(xx)) * 3
                                  + std::size_t(c)];
                };
                out[(std::size_t(y) * std::size_t(w) + std::size_t(x)) * 3 + std::size_t(c)] =
                    (at(2 * x, 2 * y) + at(2 * x + 1, 2 * y) + at(2 * x, 2 * y + 1)
                     + at(2 * x + 1, 2 * y + 1))
                    * 0.25f;
            }
    return out;
}

KeyframeRenderer::KeyframeRenderer(const KeyframeParams &params, const ReferenceOrbit &orbit,
                                   const Palette &palette)
    : m_params(params), m_orbit(orbit), m_palette(palette)
{
}

KeyframeRenderer::~KeyframeRenderer() = default;

void KeyframeRenderer::sampleOffset(int k, int x, int y, int s, double &re, double &im) const
{
    const int n = m_params.samples;
    const int cell = s % (n * n);
    const int i = cell % n, j = cell / n;
    double u = 0.5, v = 0.5;
    if (n > 1 || s > 0) {
        // One random point in each cell, fixed by the parameter file's random seed.
        const std::uint64_t h = splitmix(m_params.seed
                                         ^ splitmix((std::uint64_t(k) << 48) ^ (std::uint64_t(y) << 32)
                                                    ^ (std::uint64_t(x) << 16) ^ std::uint64_t(s)));
        u = unit(h);
        v = unit(splitmix(h));
    }
    const int width = m_params.imageWidth, height = m_params.imageHeight;
    const double px = pixelSize(m_params.width, k, width);
    re = (x + (i + u) / n - width / 2.0) * px;
    im = (height / 2.0 - (y + (j + v) / n)) * px;
}

int KeyframeRenderer::blaExponent(double dcRe, double dcIm)
{
    int exponent = 0;
    std::frexp(std::hypot(dcRe, dcIm), &exponent);   // |dc| < 2^exponent
    return exponent;
}

const BlaTable *KeyframeRenderer::blaFor(double dcRe, double dcIm) const
{
    return blaForExponent(blaExponent(dcRe, dcIm));
}

const BlaTable *KeyframeRenderer::blaForExponent(int exponent) const
{
    if (!m_params.bla)
        return nullptr;
    const std::lock_guard lock(m_blaMutex);
    auto it = m_bla.find(exponent);
    if (it == m_bla.end()) {
        auto table = std::make_unique<BlaTable>(m_orbit, std::ldexp(1.0, exponent),
                                                std::ldexp(1.0, -m_params.blaBits));
        if (table->coverage() < blaMinCoverage)
            table.reset();
        it = m_bla.emplace(exponent, std::move(table)).first;
    }
    return it->second.get();
}

int KeyframeRenderer::iterateSamples(const double *re, const double *im, int count, SampleResult *results,
                                     bool cycles) const
{
    // BLA skips each sample's start where it can; the vector loop goes on from where it stopped.
    std::vector<int> plain;
    std::vector<double> plainRe, plainIm;
    std::vector<OrbitState> starts;
    int skipped = 0;
    // Neighbouring samples mostly share their table: one lookup (under the lock) per change.
    int exponent = 0;
    const BlaTable *table = nullptr;
    for (int i = 0; i < count; ++i) {
        OrbitState start;
        if (const int e = blaExponent(re[i], im[i]); i == 0 || e != exponent) {
            exponent = e;
            table = blaForExponent(e);
        }
        if (const BlaTable *bla = table) {
            ++skipped;
            if (skipWithBla(m_orbit, *bla, re[i], im[i], m_params.maxIterations, m_params.bailout, start,
                            results[i]))
                continue;
        }
        plain.push_back(i);
        plainRe.push_back(re[i]);
        plainIm.push_back(im[i]);
        starts.push_back(start);
    }
    std::vector<SampleResult> plainResults(plain.size());
    iteratePerturbedBatch(m_orbit, plainRe.data(), plainIm.data(), int(plain.size()), m_params.maxIterations,
                          m_params.bailout, plainResults.data(), starts.data(), cycles);
    for (std::size_t j = 0; j < plain.size(); ++j)
        results[plain[j]] = plainResults[j];
    return skipped;
}

bool KeyframeRenderer::showsInterior(int k, const std::vector<unsigned char> &wanted, int threads) const
{
    const int width = m_params.imageWidth, height = m_params.imageHeight;
    constexpr int step = 8;
    std::atomic<bool> found{false};
    parallelFor(height / step, threads, [&](int row) {
        const int y = row * step + step / 2;
        std::vector<double> re, im;
        for (int x = step / 2; x < width; x += step) {
            if (!wanted[std::size_t(y) * width + std::size_t(x)])
                continue;
            double sr, si;
            sampleOffset(k, x, y, 0, sr, si);
            re.push_back(sr);
            im.push_back(si);
        }
        std::vector<SampleResult> results(re.size());
        iterateSamples(re.data(), im.data(), int(re.size()), results.data());
        for (const SampleResult &r : results)
            if (r.smooth < 0)
                found = true;
    });
    return found;
}

void KeyframeRenderer::sampleRow(int k, int y, int pass, bool cycles,
                                 const std::vector<unsigned char> &active, std::vector<PixelSums> &sums,
                                 RenderCounters &counters) const
{
    const int width = m_params.imageWidth;
    const int perPass = m_params.samples * m_params.samples;
    std::vector<int> pixels;
    std::vector<double> re, im;
    for (int x = 0; x < width; ++x) {
        if (!active[std::size_t(y) * width + std::size_t(x)])
            continue;
        pixels.push_back(x);
        for (int s = pass * perPass; s < (pass + 1) * perPass; ++s) {
            double sr, si;
            sampleOffset(k, x, y, s, sr, si);
            re.push_back(sr);
            im.push_back(si);
        }
    }
    std::vector<SampleResult> results(re.size());
    counters.blaSamples += iterateSamples(re.data(), im.data(), int(re.size()), results.data(), cycles);
    std::int64_t iterations = 0;
    for (std::size_t p = 0; p < pixels.size(); ++p) {
        PixelSums &pixel = sums[std::size_t(y) * width + std::size_t(pixels[p])];
        for (int s = 0; s < perPass; ++s) {
            const std::size_t i = p * std::size_t(perPass) + std::size_t(s);
            const SampleResult &r = results[i];
            iterations += r.iterations;
            const auto rgb = m_palette.colour(r, re[i], im[i]);
            for (int c = 0; c < 3; ++c) {
                pixel.sum[c] += rgb[c];
                pixel.squares[c] += double(rgb[c]) * rgb[c];
            }
        }
        pixel.count += perPass;
    }
    counters.iterations += iterations;
    counters.samples += std::int64_t(results.size());
    if (pass == 0)
        ++counters.rowsDone;
}

LinearImage KeyframeRenderer::render(int k, const LinearImage *deeper, int threads, RenderCounters &counters,
                                     const PixelRegion *region) const
{
    const int width = m_params.imageWidth, height = m_params.imageHeight;
    const std::size_t pixelCount = std::size_t(width) * height;
    std::vector<PixelSums> sums(pixelCount);
    std::vector<unsigned char> wanted(pixelCount);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            wanted[std::size_t(y) * width + std::size_t(x)] =
                !(deeper && inCentre(x, y, width, height)) && (!region || region->contains(x, y));
    std::vector<unsigned char> active = wanted;

    // Where no point is inside, the search for attracting cycles only costs time; it changes no
    // result (an interior point missed by the coarse grid just runs to the iteration limit).
    const bool cycles = showsInterior(k, wanted, threads);
    const int passes = (m_params.samplesMax / m_params.samples) * (m_params.samplesMax / m_params.samples);
    for (int pass = 0; pass < passes; ++pass) {
        parallelFor(height, threads, [&](int y) { sampleRow(k, y, pass, cycles, active, sums, counters); });
        if (pass + 1 == passes)
            break;
        // More samples where the mean is still uncertain; after the first grid also next to such
        // pixels, where a thin filament may have slipped between the samples.
        std::vector<unsigned char> next(pixelCount, 0);
        bool any = false;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const std::size_t i = std::size_t(y) * width + std::size_t(x);
                if (!active[i] || sums[i].error() <= m_params.samplesTolerance)
                    continue;
                any = true;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int xx = x + dx, yy = y + dy;
                        if ((pass == 0 || (dx == 0 && dy == 0)) && xx >= 0 && yy >= 0 && xx < width
                            && yy < height && wanted[std::size_t(yy) * width + std::size_t(xx)])
                            next[std::size_t(yy) * width + std::size_t(xx)] = 1;
                    }
            }
        if (!any)
            break;
        active = std::move(next);
    }

    LinearImage out(pixelCount * 3, 0.f);
    const LinearImage centre = deeper ? halve(*deeper, width, height) : LinearImage();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            float *pixel = &out[(std::size_t(y) * width + std::size_t(x)) * 3];
            if (deeper && inCentre(x, y, width, height)) {
                const std::size_t from =
                    (std::size_t(y - height / 4) * std::size_t(width / 2) + std::size_t(x - width / 4)) * 3;
                std::copy_n(&centre[from], 3, pixel);
                continue;
            }
            const PixelSums &s = sums[std::size_t(y) * width + std::size_t(x)];
            if (s.count == 0)
                continue;
            for (int c = 0; c < 3; ++c)
                pixel[c] = float(s.sum[c] / s.count);
        }
    return out;
}
