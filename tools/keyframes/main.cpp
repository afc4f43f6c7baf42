// SPDX-License-Identifier: GPL-3.0-or-later
// tf-keyframes: renders the 63 keyframes of the zoom from the parameter file and writes them as
// JPEG files with a MANIFEST (file, size, SHA-256) beside them.

#include "Autopilot.h"
#include "CardPainter.h"
#include "JpegWriter.h"
#include "KeyframeGeometry.h"
#include "KeyframeParams.h"
#include "KeyframeRenderer.h"
#include "NucleusFinder.h"
#include "Palette.h"
#include "Perturbation.h"
#include "Progress.h"
#include "ReferenceOrbit.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>

using namespace keyframes;

namespace {

struct Options
{
    std::string params;
    std::string outDir;
    int threads = 0;
    int samples = 0;         // override, 0 keeps the file's value
    int iterations = 0;      // override
    std::set<int> only;      // render just these, each on its own (no MANIFEST)
    int autopilotFrom = 0;   // search a centre from this keyframe on instead of rendering
    bool stats = false;      // print iteration-count statistics of each keyframe
    bool noBla = false;      // plain perturbation everywhere, for comparison
    int nucleusFrom = 0;     // find the minibrot nearest the centre in this keyframe's view
};

void usage()
{
    std::cerr
        << "usage: tf-keyframes --params FILE --out DIR [--threads N] [--preview] [--samples N]\n"
           "                    [--iterations N] [--only K[,K...]] [--stats] [--autopilot K] [--nucleus K]\n"
           "                    [--no-bla]\n"
           "  Renders keyframes 1..63 at the parameter file's size and DIR/MANIFEST from it; a set larger\n"
           "  than 800x600 goes into DIR/hd (1600x1200) or DIR/WxH, its reductions down to 800x600 beside "
           "it.\n"
           "  --preview      one sample per pixel (same as --samples 1)\n"
           "  --samples N    exactly N x N samples per pixel, no adaptive refinement\n"
           "  --no-bla       no bilinear approximation (plain perturbation, for comparison)\n"
           "  --only K,...   render only these keyframes, each without the deeper one\n"
           "  --stats        print iteration-count statistics of each rendered keyframe\n"
           "  --autopilot K  print a centre that follows the boundary from keyframe K on\n"
           "  --nucleus K    print the periods along the path from keyframe K and the mini-sets in its "
           "view\n";
}

int positive(const std::string &flag, const std::string &value)
{
    std::size_t used = 0;
    int v = 0;
    try {
        v = std::stoi(value, &used);
    } catch (const std::exception &) {
        used = 0;
    }
    if (used != value.size() || v <= 0)
        throw std::runtime_error(flag + " expects a positive number, got \"" + value + "\"");
    return v;
}

Options parseOptions(int argc, char **argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                throw std::runtime_error(a + " needs a value");
            return argv[++i];
        };
        if (a == "--params")
            o.params = value();
        else if (a == "--out")
            o.outDir = value();
        else if (a == "--threads")
            o.threads = positive(a, value());
        else if (a == "--samples")
            o.samples = positive(a, value());
        else if (a == "--iterations")
            o.iterations = positive(a, value());
        else if (a == "--autopilot")
            o.autopilotFrom = positive(a, value());
        else if (a == "--no-bla")
            o.noBla = true;
        else if (a == "--nucleus")
            o.nucleusFrom = positive(a, value());
        else if (a == "--stats")
            o.stats = true;
        else if (a == "--preview")
            o.samples = 1;
        else if (a == "--only") {
            std::stringstream list(value());
            std::string item;
            while (std::getline(list, item, ',')) {
                const int k = positive("--only", item);
                if (k < firstKeyframe || k > lastKeyframe)
                    throw std::runtime_error("--only: keyframes are numbered 1 to 63");
                o.only.insert(k);
            }
        } else if (a == "--help" || a == "-h") {
            usage();
            std::exit(0);
        } else
            throw std::runtime_error("unknown option " + a);
    }
    if (o.params.empty() || (o.outDir.empty() && !o.autopilotFrom && !o.stats && !o.nucleusFrom))
        throw std::runtime_error("--params and --out are required");
    if (o.threads == 0)
        o.threads = int(std::max(1u, std::thread::hardware_concurrency()));
    return o;
}

QImage toImage(const LinearImage &linear, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        uchar *row = image.scanLine(y);
        for (int i = 0; i < width * 3; ++i)
            row[i] = linearToSrgb8(linear[std::size_t(y) * std::size_t(width) * 3 + std::size_t(i)]);
    }
    return image;
}

std::vector<unsigned char> encode(const QImage &image, int quality)
{
    const int width = image.width(), height = image.height();
    std::vector<unsigned char> rgb(std::size_t(width) * std::size_t(height) * 3);
    for (int y = 0; y < height; ++y)
        std::copy_n(image.constScanLine(y), width * 3, rgb.begin() + std::ptrdiff_t(y) * width * 3);
    return encodeKeyframeJpeg(rgb.data(), width, height, quality);
}

// The sets one render writes: the rendered size and each reduction by two down to the player's
// 800 x 600, which goes into the output folder itself; 1600 x 1200 goes into hd/, others into
// folders named by their size.
struct SetSize
{
    int width, height;
    std::string folder;   // relative to the output folder; empty for the player's set
};

std::vector<SetSize> setSizes(const KeyframeParams &params)
{
    std::vector<SetSize> sizes;
    for (int w = params.imageWidth, h = params.imageHeight; w >= frameWidth; w /= 2, h /= 2)
        sizes.push_back({w, h,
                         w == frameWidth           ? std::string()
                             : w == 2 * frameWidth ? std::string("hd/")
                                                   : std::to_string(w) + "x" + std::to_string(h) + "/"});
    return sizes;
}

// Percentiles of the iteration count over a coarse grid of each keyframe, for tuning the palette.
void printStats(const KeyframeParams &params, const ReferenceOrbit &orbit, const std::set<int> &only)
{
    constexpr int gw = 80, gh = 60;
    for (int k = firstRun; k <= lastKeyframe; ++k) {
        if (!only.empty() && !only.count(k))
            continue;
        const double px = pixelSize(params.width, k) * frameWidth / gw;
        std::vector<double> counts;
        int interior = 0, atLimit = 0;
        double interiorIterations = 0;
        for (int y = 0; y < gh; ++y)
            for (int x = 0; x < gw; ++x) {
                const SampleResult r =
                    iteratePerturbed(orbit, (x + 0.5 - gw / 2.0) * px, (gh / 2.0 - y - 0.5) * px,
                                     params.maxIterations, params.bailout);
                const double c = r.smooth;
                if (c < 0) {
                    ++interior;
                    atLimit += r.iterations >= params.maxIterations;
                    interiorIterations += r.iterations;
                } else
                    counts.push_back(c);
            }
        std::sort(counts.begin(), counts.end());
        const auto at = [&](double q) {
            return counts.empty() ? 0.0 : counts[std::size_t(q * double(counts.size() - 1))];
        };
        std::printf("keyframe %2d: interior %5.1f%% (%d at the limit, %.0f iterations each)  count p1 %8.1f  "
                    "p10 %8.1f  p50 %8.1f  p90 %8.1f  p99 %8.1f\n",
                    k, 100.0 * interior / (gw * gh), atLimit, interior ? interiorIterations / interior : 0.0,
                    at(0.01), at(0.1), at(0.5), at(0.9), at(0.99));
    }
}

std::string fileName(int k)
{
    return std::to_string(k) + ".jpg";
}

struct Written
{
    // By set (as setSizes lists them), then keyframe.
    std::vector<std::array<std::vector<unsigned char>, lastKeyframe + 1>> bytes;
};

void writeManifest(const std::string &dir, const std::vector<SetSize> &sizes, const Written &written)
{
    std::ostringstream out;
    out << "# file size sha256\n";
    // The player's set first, as before larger sets existed.
    for (std::size_t i = sizes.size(); i-- > 0;)
        for (int k = firstKeyframe; k <= lastKeyframe; ++k) {
            const auto &b = written.bytes[i][std::size_t(k)];
            const QByteArray hash = QCryptographicHash::hash(
                QByteArrayView(reinterpret_cast<const char *>(b.data()), qsizetype(b.size())),
                QCryptographicHash::Sha256);
            out << sizes[i].folder << fileName(k) << ' ' << b.size() << ' ' << hash.toHex().toStdString()
                << '\n';
        }
    const std::string text = out.str();
    writeFile(dir + "/MANIFEST", std::vector<unsigned char>(text.begin(), text.end()));
}

// Writes keyframe k (and the start card from keyframe 2) at every size of the set, the cards'
// text drawn at each size.
void writeKeyframe(const Options &options, const KeyframeParams &params, const CardPainter &cards,
                   const std::vector<SetSize> &sizes, int k, const LinearImage &rendered, Written &written)
{
    LinearImage reduced;
    const LinearImage *picture = &rendered;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const SetSize &size = sizes[i];
        if (i > 0) {
            reduced = halve(*picture, sizes[i - 1].width, sizes[i - 1].height);
            picture = &reduced;
        }
        const std::string dir = options.outDir + "/" + size.folder;
        QImage image = toImage(*picture, size.width, size.height);
        auto &bytes = written.bytes[i];
        if (k == lastKeyframe) {
            cards.paintEndCard(image);
            bytes[std::size_t(k)] = encode(image, params.cardQuality);
        } else {
            bytes[std::size_t(k)] = encode(image, params.quality);
        }
        writeFile(dir + fileName(k), bytes[std::size_t(k)]);
        if (k == firstRun && (options.only.empty() || options.only.count(firstKeyframe))) {
            QImage card = toImage(*picture, size.width, size.height);
            cards.paintStartCard(card);
            bytes[firstKeyframe] = encode(card, params.cardQuality);
            writeFile(dir + fileName(firstKeyframe), bytes[firstKeyframe]);
        }
    }
}

int run(int argc, char **argv)
{
    const Options options = parseOptions(argc, argv);
    KeyframeParams params = KeyframeParams::load(options.params);
    if (options.samples)
        params.samples = params.samplesMax = options.samples;
    if (options.noBla)
        params.bla = false;
    if (options.iterations)
        params.maxIterations = options.iterations;

    if (options.nucleusFrom) {
        printDestination(params, options.nucleusFrom, options.threads);
        return 0;
    }
    if (options.autopilotFrom) {
        const AutopilotResult r =
            runAutopilot(params, options.autopilotFrom, lastKeyframe + 1, options.threads);
        std::printf("centre.re = %s\ncentre.im = %s\n", r.centreRe.c_str(), r.centreIm.c_str());
        return 0;
    }

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const CardPainter cards;

    const auto start = std::chrono::steady_clock::now();
    const ReferenceOrbit orbit(params.centreRe, params.centreIm, params.precisionBits, params.maxIterations,
                               params.bailout);
    const double orbitSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(stderr, "reference orbit: %d iterations%s at %d bits in %.2f s\n", orbit.length() - 1,
                 orbit.escaped() ? " (escapes)" : "", params.precisionBits, orbitSeconds);
    std::fprintf(stderr,
                 "%d x %d pixels, %d x %d to %d x %d samples per pixel, up to %d iterations, %d threads\n",
                 params.imageWidth, params.imageHeight, params.samples, params.samples, params.samplesMax,
                 params.samplesMax, params.maxIterations, options.threads);

    if (options.stats) {
        printStats(params, orbit, options.only);
        return 0;
    }

    const Palette palette(params);
    const KeyframeRenderer renderer(params, orbit, palette);
    RenderCounters counters;
    const std::vector<SetSize> sizes = setSizes(params);
    Written written;
    written.bytes.resize(sizes.size());
    for (const SetSize &size : sizes)
        std::filesystem::create_directories(options.outDir + "/" + size.folder);

    // Deepest first, so that each keyframe takes its centre from the one below it.
    std::vector<int> order;
    for (int k = lastKeyframe; k >= firstRun; --k)
        if (options.only.empty() || options.only.count(k)
            || (k == firstRun && options.only.count(firstKeyframe)))
            order.push_back(k);
    std::atomic<int> framesDone{0}, current{0};
    const int frameCount = int(order.size());
    {
        const Progress progress(
            [&] {
                return (framesDone * double(params.imageHeight) + counters.rowsDone)
                    / (double(frameCount) * params.imageHeight);
            },
            [&] { return "keyframe " + std::to_string(current.load()); });
        LinearImage deeper;
        for (int k : order) {
            current = k;
            counters.rowsDone = 0;
            const auto frameStart = std::chrono::steady_clock::now();
            const std::int64_t samplesBefore = counters.samples, iterationsBefore = counters.iterations,
                               blaBefore = counters.blaSamples;
            const bool reuse = options.only.empty() && !deeper.empty();
            LinearImage picture = renderer.render(k, reuse ? &deeper : nullptr, options.threads, counters);
            writeKeyframe(options, params, cards, sizes, k, picture, written);
            deeper = std::move(picture);
            ++framesDone;
            const double took =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - frameStart).count();
            const double frameSamples = double(counters.samples - samplesBefore);
            const double sampledPixels =
                double(params.imageWidth) * params.imageHeight * (reuse ? 0.75 : 1.0);
            std::fprintf(
                stderr,
                "\r\033[Kkeyframe %2d: %7.1f s, %6.0f iterations per sample, %5.1f samples per pixel, "
                "%3.0f %% with BLA\n",
                k, took, double(counters.iterations - iterationsBefore) / std::max(1.0, frameSamples),
                frameSamples / sampledPixels,
                100.0 * double(counters.blaSamples - blaBefore) / std::max(1.0, frameSamples));
        }
    }
    if (options.only.empty())
        writeManifest(options.outDir, sizes, written);

    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double samples = double(counters.samples), iterations = double(counters.iterations);
    std::fprintf(
        stderr,
        "done in %s: %.0f samples, %.3g iterations (%.0f per sample), %.3g iterations/s, %.3g samples/s\n",
        Progress::formatDuration(seconds).c_str(), samples, iterations,
        samples > 0 ? iterations / samples : 0.0, iterations / seconds, samples / seconds);
    return 0;
}

}   // namespace

int main(int argc, char **argv)
{
    try {
        return run(argc, argv);
    } catch (const std::exception &e) {
        std::cerr << "tf-keyframes: " << e.what() << '\n';
        return 1;
    }
}
