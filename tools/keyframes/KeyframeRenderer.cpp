#include "KeyframeRenderer.h"

#include "KeyframeGeometry.h"
#include "KeyframeParams.h"
#include "ParallelFor.h"
#include "Palette.h"
#include "PerturbationBatch.h"
#include "ReferenceOrbit.h"


using namespace keyframes;

namespace {

std::uint64_t splitmix(std::uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

double unit(std::uint64_t bits) { return double(bits >> 11) * 0x1.0p-53; }

bool inCentre(int x, int y)
{
    return x >= frameWidth / 4 && x < frameWidth * 3 / 4 && y >= frameHeight / 4 && y < frameHeight * 3 / 4;
}

}  // namespace

KeyframeRenderer::KeyframeRenderer(const KeyframeParams& params, const ReferenceOrbit& orbit, const Palette& palette)
    : m_params(params)
    , m_orbit(orbit)
    , m_palette(palette)
{
}

void KeyframeRenderer::sampleOffset(int k, int x, int y, int i, int j, double& re, double& im) const
{
    const int n = m_params.samples;
    double u = 0.5, v = 0.5;
    if (n > 1) {
        // Jittered grid: one random point in each of the n x n cells, fixed by the parameter file's random seed.
        const std::uint64_t h = splitmix(m_params.seed ^ splitmix((std::uint64_t(k) << 48) ^ (std::uint64_t(y) << 32)
                                                                 ^ (std::uint64_t(x) << 16) ^ std::uint64_t(j * n + i)));
        u = unit(h);
        v = unit(splitmix(h));
    }
    const double px = pixelSize(m_params.width, k);
    re = (x + (i + u) / n - frameWidth / 2.0) * px;
    im = (frameHeight / 2.0 - (y + (j + v) / n)) * px;
}

void KeyframeRenderer::renderRow(int k, int y, const LinearImage* deeper, LinearImage& out, RenderCounters& counters) const
{
    const int n = m_params.samples;
    const int perPixel = n * n;
    // All samples of the row's pixels that are not taken from the deeper keyframe, iterated as
    // one batch.
    std::vector<int> pixels;
    std::vector<double> re, im;
    pixels.reserve(frameWidth);
    re.reserve(std::size_t(frameWidth) * perPixel);
    im.reserve(std::size_t(frameWidth) * perPixel);
    for (int x = 0; x < frameWidth; ++x) {
        float* pixel = &out[(std::size_t(y) * frameWidth + x) * 3];
        if (deeper && inCentre(x, y)) {
            const int dx = 2 * (x - frameWidth / 4), dy = 2 * (y - frameHeight / 4);
            for (int c = 0; c < 3; ++c) {
                const auto at = [&](int xx, int yy) { return (*deeper)[(std::size_t(yy) * frameWidth + xx) * 3 + c]; };
                pixel[c] = (at(dx, dy) + at(dx + 1, dy) + at(dx, dy + 1) + at(dx + 1, dy + 1)) * 0.25f;
            }
            continue;
        }
        pixels.push_back(x);
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i) {
                double sr, si;
                sampleOffset(k, x, y, i, j, sr, si);
                re.push_back(sr);
                im.push_back(si);
            }
    }
    std::vector<SampleResult> results(re.size());
    iteratePerturbedBatch(m_orbit, re.data(), im.data(), int(re.size()), m_params.maxIterations, m_params.bailout,
                          results.data());
    std::int64_t iterations = 0;
    for (std::size_t p = 0; p < pixels.size(); ++p) {
        double sum[3] = {0, 0, 0};
        for (int s = 0; s < perPixel; ++s) {
            const std::size_t i = p * std::size_t(perPixel) + std::size_t(s);
            const SampleResult& r = results[i];
            iterations += r.iterations;
            const auto rgb = m_palette.colour(r, re[i], im[i]);
            for (int c = 0; c < 3; ++c)
                sum[c] += rgb[c];
        }
        float* pixel = &out[(std::size_t(y) * frameWidth + pixels[p]) * 3];
        for (int c = 0; c < 3; ++c)
            pixel[c] = float(sum[c] / perPixel);
    }
    counters.iterations += iterations;
    counters.samples += std::int64_t(results.size());
    ++counters.rowsDone;
}

LinearImage KeyframeRenderer::render(int k, const LinearImage* deeper, int threads, RenderCounters& counters) const
{
    LinearImage out(std::size_t(frameWidth) * frameHeight * 3, 0.f);
    parallelFor(frameHeight, threads, [&](int y) { renderRow(k, y, deeper, out, counters); });
    return out;
}
