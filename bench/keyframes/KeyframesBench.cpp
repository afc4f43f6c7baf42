// SPDX-License-Identifier: GPL-3.0-or-later
// tf_keyframes_bench: measures the keyframe renderer on the committed parameters (or on those of
// --params FILE, to try settings before a render).
//   aa [K...]   adaptive sampling against a 256-sample reference (another random seed) on the
//               densest 96 x 96 crop of each keyframe: RMS and largest error in 8-bit levels
//   bla [K...]  one point per 4 x 4 pixels of each keyframe with and without BLA: time, iterations/s
//   loop [K...] the vector loop alone on the same points, from where BLA leaves them, with one group
//               of lanes and with more side by side: iterations/s on one thread

#include "KeyframeGeometry.h"
#include "KeyframeParams.h"
#include "KeyframeRenderer.h"
#include "Palette.h"
#include "ParallelFor.h"
#include "Perturbation.h"
#include "PerturbationBatch.h"
#include "ReferenceOrbit.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <time.h>
#include <vector>

using namespace keyframes;

namespace {

double seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The 96 x 96 crop outside the central quarter where the smooth count varies most between
// neighbouring points of a coarse grid (one point per 4 x 4 pixels).
PixelRegion densestCrop(const KeyframeParams &params, const ReferenceOrbit &orbit, int k)
{
    const int width = params.imageWidth, height = params.imageHeight;
    constexpr int step = 4, block = 96 / step;
    const int gw = width / step, gh = height / step;
    const double px = pixelSize(params.width, k, width);
    std::vector<double> level(std::size_t(gw) * gh);
    for (int y = 0; y < gh; ++y)
        for (int x = 0; x < gw; ++x) {
            const SampleResult r = iteratePerturbed(orbit, ((x + 0.5) * step - width / 2.0) * px,
                                                    (height / 2.0 - (y + 0.5) * step) * px,
                                                    params.maxIterations, params.bailout);
            level[std::size_t(y) * gw + x] = r.smooth < 0 ? 0.0 : std::log2(1 + r.smooth);
        }
    PixelRegion best{0, 0, 96, 96};
    double bestScore = -1;
    for (int by = 0; by + block <= gh; by += block / 4)
        for (int bx = 0; bx + block <= gw; bx += block / 4) {
            const PixelRegion r{bx * step, by * step, 96, 96};
            const bool overlapsCentre = r.x < width * 3 / 4 && r.x + r.w > width / 4 && r.y < height * 3 / 4
                && r.y + r.h > height / 4;
            if (overlapsCentre)
                continue;
            double score = 0;
            for (int y = by; y < by + block; ++y)
                for (int x = bx + 1; x < bx + block; ++x)
                    score += std::fabs(level[std::size_t(y) * gw + x] - level[std::size_t(y) * gw + x - 1]);
            if (score > bestScore) {
                bestScore = score;
                best = r;
            }
        }
    return best;
}

// Share in percent of the reference's samples of pixel (x, y) that lie inside the set: the largest
// errors sit on the edges of bulbs, where one sample more or less inside changes the mean most.
double insideShare(const KeyframeRenderer &renderer, const KeyframeParams &params, int k, int x, int y)
{
    const int count = params.samples * params.samples;
    std::vector<double> re(static_cast<std::size_t>(count)), im(re.size());
    for (int s = 0; s < count; ++s)
        renderer.sampleOffset(k, x, y, s, re[std::size_t(s)], im[std::size_t(s)]);
    std::vector<SampleResult> results(re.size());
    renderer.iterateSamples(re.data(), im.data(), count, results.data());
    return 100.0
        * double(std::count_if(results.begin(), results.end(),
                               [](const SampleResult &r) { return r.smooth < 0; }))
        / count;
}

void antialiasing(const KeyframeParams &params, const ReferenceOrbit &orbit,
                  const std::vector<int> &keyframes, int threads)
{
    KeyframeParams reference = params;
    reference.samples = reference.samplesMax = 16;
    reference.seed = params.seed ^ 0x5DEECE66Dull;
    const Palette palette(params);
    const KeyframeRenderer adaptive(params, orbit, palette), full(reference, orbit, palette);
    std::printf("| Keyframe | Crop | Samples per pixel | RMS error | Largest error | Pixels off by more than "
                "10 | Off by more than 16: pixels, their share inside | Largest but for those partly inside "
                "| Time |\n"
                "|---|---|---|---|---|---|---|---|---|\n");
    for (int k : keyframes) {
        const PixelRegion crop = densestCrop(params, orbit, k);
        RenderCounters counters, referenceCounters;
        const auto start = std::chrono::steady_clock::now();
        const LinearImage a = adaptive.render(k, nullptr, threads, counters, &crop);
        const double took = seconds(start);
        const LinearImage b = full.render(k, nullptr, threads, referenceCounters, &crop);
        double squares = 0, largest = 0, exteriorLargest = 0;
        int off = 0, worstX = crop.x, worstY = crop.y;
        std::vector<std::pair<int, int>> beyond16;
        for (int y = crop.y; y < crop.y + crop.h; ++y)
            for (int x = crop.x; x < crop.x + crop.w; ++x) {
                double worst = 0;
                for (int c = 0; c < 3; ++c) {
                    const std::size_t i =
                        (std::size_t(y) * std::size_t(params.imageWidth) + std::size_t(x)) * 3
                        + std::size_t(c);
                    const double d = double(linearToSrgb8(a[i])) - linearToSrgb8(b[i]);
                    squares += d * d;
                    worst = std::max(worst, std::fabs(d));
                }
                if (worst > largest) {
                    largest = worst;
                    worstX = x;
                    worstY = y;
                }
                off += worst > 10;
                if (worst > 16)
                    beyond16.emplace_back(x, y);
                else
                    exteriorLargest = std::max(exteriorLargest, worst);
            }
        // The pixels off by more than 16 levels: how much of each lies inside the set.
        double leastInside = 100, mostInside = 0;
        for (const auto &[x, y] : beyond16) {
            const double share = insideShare(full, reference, k, x, y);
            leastInside = std::min(leastInside, share);
            mostInside = std::max(mostInside, share);
            if (share == 0) {
                double worst = 0;
                for (int c = 0; c < 3; ++c) {
                    const std::size_t i =
                        (std::size_t(y) * std::size_t(params.imageWidth) + std::size_t(x)) * 3
                        + std::size_t(c);
                    worst = std::max(worst, std::fabs(double(linearToSrgb8(a[i])) - linearToSrgb8(b[i])));
                }
                exteriorLargest = std::max(exteriorLargest, worst);
            }
        }
        const int pixels = crop.w * crop.h;
        std::printf("| %d | %d,%d | %.1f | %.2f | %.0f (%.0f %% inside) | %.2f %% | %zu", k, crop.x, crop.y,
                    double(counters.samples) / pixels, std::sqrt(squares / (3.0 * pixels)), largest,
                    insideShare(full, reference, k, worstX, worstY), 100.0 * off / pixels, beyond16.size());
        if (!beyond16.empty())
            std::printf(", %.0f to %.0f %% inside", leastInside, mostInside);
        std::printf(" | %.0f | %.1f s |\n", exteriorLargest, took);
        std::fflush(stdout);
    }
}

void bla(const KeyframeParams &params, const ReferenceOrbit &orbit, const std::vector<int> &keyframes,
         int threads)
{
    // One point per 4 x 4 pixels over the whole keyframe, iterated the renderer's way (BLA where
    // its table skips) and by the vector loop alone, on `threads` threads each.
    constexpr int step = 4, gw = frameWidth / step, gh = frameHeight / step;
    const Palette palette(params);
    const KeyframeRenderer renderer(params, orbit, palette);
    std::printf("| Keyframe | Iterations per sample | Plain (vector loop) | BLA | Speed-up | Effective "
                "iterations/s with BLA |\n"
                "|---|---|---|---|---|---|\n");
    for (int k : keyframes) {
        const double px = pixelSize(params.width, k);
        std::vector<double> re(std::size_t(gw) * gh), im(re.size());
        for (int y = 0; y < gh; ++y)
            for (int x = 0; x < gw; ++x) {
                re[std::size_t(y) * gw + x] = ((x + 0.5) * step - frameWidth / 2.0) * px;
                im[std::size_t(y) * gw + x] = (frameHeight / 2.0 - (y + 0.5) * step) * px;
            }
        std::vector<SampleResult> plain(re.size()), skipped(re.size());
        std::atomic<int> blaSamples{0};
        auto start = std::chrono::steady_clock::now();
        parallelFor(gh, threads, [&](int y) {
            const std::size_t at = std::size_t(y) * gw;
            iteratePerturbedBatch(orbit, &re[at], &im[at], gw, params.maxIterations, params.bailout,
                                  &plain[at]);
        });
        const double plainTime = seconds(start);
        start = std::chrono::steady_clock::now();
        parallelFor(gh, threads, [&](int y) {
            const std::size_t at = std::size_t(y) * gw;
            blaSamples += renderer.iterateSamples(&re[at], &im[at], gw, &skipped[at]);
        });
        const double blaTime = seconds(start);
        double iterations = 0;
        for (const SampleResult &r : skipped)
            iterations += r.iterations;
        std::printf("| %d | %.0f | %.2f s | %.2f s (%.0f %% of samples) | %.2f | %.3g |\n", k,
                    iterations / double(re.size()), plainTime, blaTime,
                    100.0 * blaSamples / double(re.size()), plainTime / blaTime, iterations / blaTime);
        std::fflush(stdout);
    }
}

// Plain iterations of the vector loop over these samples on one thread, in the renderer's batches.
void timeLoop(const ReferenceOrbit &orbit, const KeyframeParams &params, const std::vector<double> &re,
              const std::vector<double> &im, const std::vector<OrbitState> &starts, bool cycles, int groups,
              std::vector<SampleResult> &results, double &took)
{
    constexpr int batch = 800;
    const auto loop = __builtin_cpu_supports("avx512f") ? iteratePerturbedAvx512 : iteratePerturbedAvx2;
    results.assign(re.size(), SampleResult{});
    // Processor time of this thread: the machine may be busy with other work.
    const auto cpuSeconds = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
    };
    const double start = cpuSeconds();
    for (std::size_t at = 0; at < re.size(); at += batch)
        loop(orbit.pairs(), orbit.length(), &re[at], &im[at], &starts[at],
             int(std::min(re.size() - at, std::size_t(batch))), params.maxIterations, params.bailout, cycles,
             &results[at], groups);
    took = cpuSeconds() - start;
}

void loopSpeed(const KeyframeParams &params, const ReferenceOrbit &orbit, const std::vector<int> &keyframes)
{
    // One point per 4 x 4 pixels, started where BLA leaves it as in the renderer; those that BLA
    // finishes are left out.
    constexpr int step = 4, gw = frameWidth / step, gh = frameHeight / step;
    if (!__builtin_cpu_supports("avx2")) {
        std::fprintf(stderr, "tf_keyframes_bench: no vector loop on this processor\n");
        return;
    }
    const Palette palette(params);
    const KeyframeRenderer renderer(params, orbit, palette);
    std::printf(
        "Iterations per second of processor time on one thread, %s, the default %d groups of lanes marked "
        "*\n\n"
        "| Keyframe | Cycle search | Samples | Iterations per sample | 1 group | 2 groups | 3 groups | "
        "Speed-up |\n|---|---|---|---|---|---|---|---|\n",
        __builtin_cpu_supports("avx512f") ? "AVX-512" : "AVX2", batchGroups);
    for (int k : keyframes) {
        const double px = pixelSize(params.width, k);
        std::vector<double> re, im;
        std::vector<OrbitState> starts;
        for (int y = 0; y < gh; ++y)
            for (int x = 0; x < gw; ++x) {
                const double dcRe = ((x + 0.5) * step - frameWidth / 2.0) * px;
                const double dcIm = (frameHeight / 2.0 - (y + 0.5) * step) * px;
                OrbitState start;
                SampleResult done;
                const BlaTable *table = renderer.blaFor(dcRe, dcIm);
                if (table
                    && skipWithBla(orbit, *table, dcRe, dcIm, params.maxIterations, params.bailout, start,
                                   done))
                    continue;
                re.push_back(dcRe);
                im.push_back(dcIm);
                starts.push_back(start);
            }
        for (const bool cycles : {true, false}) {
            double rate[3] = {}, iterations = 0;
            std::vector<SampleResult> first;
            bool same = true;
            for (int groups = 1; groups <= 3; ++groups) {
                std::vector<SampleResult> results;
                double took = 0;
                timeLoop(orbit, params, re, im, starts, cycles, groups, results, took);
                iterations = 0;
                for (std::size_t i = 0; i < results.size(); ++i) {
                    iterations += results[i].iterations - starts[i].n;
                    if (groups > 1)
                        same = same && results[i].smooth == first[i].smooth
                            && results[i].iterations == first[i].iterations;
                }
                rate[groups - 1] = iterations / took;
                if (groups == 1)
                    first = std::move(results);
            }
            std::printf("| %d | %s | %zu | %.0f | %.3g | %.3g | %.3g | %.2f |%s\n", k, cycles ? "on" : "off",
                        re.size(), iterations / double(std::max<std::size_t>(1, re.size())), rate[0], rate[1],
                        rate[2], rate[batchGroups - 1] / rate[0], same ? "" : " RESULTS DIFFER");
            std::fflush(stdout);
        }
    }
}

}   // namespace

int main(int argc, char **argv)
{
    if (argc < 2
        || (std::strcmp(argv[1], "aa") != 0 && std::strcmp(argv[1], "bla") != 0
            && std::strcmp(argv[1], "loop") != 0)) {
        std::fprintf(stderr, "usage: tf_keyframes_bench aa|bla|loop [--params FILE] [K...]\n");
        return 2;
    }
    const bool aa = std::strcmp(argv[1], "aa") == 0;
    const bool loop = std::strcmp(argv[1], "loop") == 0;
    std::vector<int> keyframes;
    std::string paramsFile = std::string(KEYFRAMES_DIR) + "/keyframes.params";
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--params") == 0 && i + 1 < argc)
            paramsFile = argv[++i];
        else
            keyframes.push_back(std::atoi(argv[i]));
    }
    if (keyframes.empty() && loop)
        keyframes = {11, 28, 35, 45, 55, 62, 63};
    if (keyframes.empty())
        keyframes = aa ? std::vector<int>{12, 16, 18, 22, 40, 60} : std::vector<int>{59, 60, 61, 62, 63};
    const KeyframeParams params = KeyframeParams::load(paramsFile);
    const ReferenceOrbit orbit(params.centreRe, params.centreIm, params.precisionBits, params.maxIterations,
                               params.bailout);
    const int threads = int(std::max(1u, std::thread::hardware_concurrency()));
    if (loop)
        loopSpeed(params, orbit, keyframes);
    else if (aa)
        antialiasing(params, orbit, keyframes, threads);
    else
        bla(params, orbit, keyframes, threads);
    return 0;
}
