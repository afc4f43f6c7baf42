// SPDX-License-Identifier: GPL-3.0-or-later
// tf_keyframes_stats [DIR]: per keyframe 2..62 of the set in DIR (the committed set by default),
// the luminance standard deviation, the share of near-white pixels, the colourfulness and the
// mean hue, as a Markdown table on stdout; a summary line follows.
//
// Luminance: Rec. 709 weights on the 8-bit sRGB codes. Near-white: every channel at 220 or more.
// Colourfulness: Hasler and Suesstrunk's measure (about 15 is "slightly", 33 "moderately", 59
// "quite" colourful). Hue: the chroma-weighted circular mean of the hue angle, with the share of
// chroma that agrees with it (1: all one hue, 0: hues all round the circle).

#include <turbojpeg.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Stats
{
    double lumaDeviation, nearWhite, colourfulness, hue, hueAgreement;
};

bool decode(const std::string &path, std::vector<unsigned char> &rgb, int &width, int &height)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                           std::istreambuf_iterator<char>());
    if (bytes.empty())
        return false;
    tjhandle tj = tjInitDecompress();
    int subsampling = 0, colourspace = 0;
    bool ok =
        tjDecompressHeader3(tj, bytes.data(), bytes.size(), &width, &height, &subsampling, &colourspace) == 0;
    if (ok) {
        rgb.resize(std::size_t(width) * std::size_t(height) * 3);
        ok = tjDecompress2(tj, bytes.data(), bytes.size(), rgb.data(), width, 0, height, TJPF_RGB, 0) == 0;
    }
    tjDestroy(tj);
    return ok;
}

Stats measure(const std::vector<unsigned char> &rgb)
{
    const double n = double(rgb.size() / 3);
    double luma = 0, luma2 = 0, white = 0, rg = 0, rg2 = 0, yb = 0, yb2 = 0, hx = 0, hy = 0, chroma = 0;
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
        const double r = rgb[i], g = rgb[i + 1], b = rgb[i + 2];
        const double y = 0.2126 * r + 0.7152 * g + 0.0722 * b;
        luma += y;
        luma2 += y * y;
        white += (r >= 220 && g >= 220 && b >= 220) ? 1 : 0;
        const double a = r - g, c = 0.5 * (r + g) - b;
        rg += a;
        rg2 += a * a;
        yb += c;
        yb2 += c * c;
        // Hue on the opponent plane, weighted by its chroma.
        const double u = r - 0.5 * (g + b), v = std::sqrt(3.0) / 2 * (g - b);
        hx += u;
        hy += v;
        chroma += std::hypot(u, v);
    }
    const auto deviation = [n](double sum, double sum2) {
        return std::sqrt(std::max(0.0, sum2 / n - (sum / n) * (sum / n)));
    };
    Stats s;
    s.lumaDeviation = deviation(luma, luma2);
    s.nearWhite = white / n;
    s.colourfulness = std::hypot(deviation(rg, rg2), deviation(yb, yb2)) + 0.3 * std::hypot(rg / n, yb / n);
    s.hue = std::atan2(hy, hx) * 180 / M_PI + 360;
    s.hueAgreement = chroma > 0 ? std::hypot(hx, hy) / chroma : 1;
    return s;
}

}   // namespace

int main(int argc, char **argv)
{
    const std::string dir = argc > 1 ? argv[1] : KEYFRAMES_DIR;
    std::printf("| keyframe | luminance std dev | near-white | colourfulness | mean hue | hue agreement |\n");
    std::printf("|---|---|---|---|---|---|\n");
    double minDeviation = 1e9, maxWhite = 0, minColour = 1e9, maxAgreement = 0;
    int worstDeviation = 0, worstWhite = 0, worstColour = 0, worstAgreement = 0;
    for (int k = 2; k <= 62; ++k) {
        std::vector<unsigned char> rgb;
        int width = 0, height = 0;
        if (!decode(dir + "/" + std::to_string(k) + ".jpg", rgb, width, height)) {
            std::fprintf(stderr, "tf_keyframes_stats: cannot read keyframe %d in %s\n", k, dir.c_str());
            return 1;
        }
        const Stats s = measure(rgb);
        std::printf("| %d | %.1f | %.1f %% | %.1f | %ld° | %.2f |\n", k, s.lumaDeviation, 100 * s.nearWhite,
                    s.colourfulness, std::lround(s.hue) % 360, s.hueAgreement);
        if (k >= 3) {
            if (s.lumaDeviation < minDeviation)
                minDeviation = s.lumaDeviation, worstDeviation = k;
            if (s.nearWhite > maxWhite)
                maxWhite = s.nearWhite, worstWhite = k;
            if (s.colourfulness < minColour)
                minColour = s.colourfulness, worstColour = k;
            if (s.hueAgreement > maxAgreement)
                maxAgreement = s.hueAgreement, worstAgreement = k;
        }
    }
    std::printf(
        "\nOver keyframes 3..62: lowest luminance std dev %.1f (keyframe %d), most near-white %.1f %% "
        "(keyframe %d), lowest colourfulness %.1f (keyframe %d), highest hue agreement %.2f (keyframe %d).\n",
        minDeviation, worstDeviation, 100 * maxWhite, worstWhite, minColour, worstColour, maxAgreement,
        worstAgreement);
    return 0;
}
