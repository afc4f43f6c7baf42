// SPDX-License-Identifier: GPL-3.0-or-later
#include "Palette.h"

#include "KeyframeGeometry.h"
#include "KeyframeParams.h"
#include "Perturbation.h"

#include <algorithm>
#include <cmath>

using namespace keyframes;

namespace {

double smoothstep(double a, double b, double x)
{
    const double t = std::clamp((x - a) / (b - a), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// The cyclic gradient through the stops at phase 0..1 (wrapping from the last stop to the first).
std::array<double, 3> gradient(const std::vector<PaletteStop> &stops, double phase)
{
    phase -= std::floor(phase);
    std::size_t i = 0;
    while (i + 1 < stops.size() && stops[i + 1].position <= phase)
        ++i;
    const bool wrap = phase < stops.front().position;
    const PaletteStop &a = wrap ? stops.back() : stops[i];
    const PaletteStop &b = wrap ? stops.front() : (i + 1 < stops.size() ? stops[i + 1] : stops.front());
    double span = b.position - a.position, into = phase - a.position;
    if (span <= 0)
        span += 1;
    if (into < 0)
        into += 1;
    const double t = smoothstep(0, 1, std::clamp(into / span, 0.0, 1.0));
    return {a.red + (b.red - a.red) * t, a.green + (b.green - a.green) * t, a.blue + (b.blue - a.blue) * t};
}

}   // namespace

// Steps of the tabulated integral per cycle.
constexpr int integralSteps = 4096;

Palette::Palette(const KeyframeParams &params) : m_params(params)
{
    if (params.filter <= 0)
        return;
    // Midpoint rule on a fine grid: the table is exact to far below one 8-bit level.
    m_integral.resize(integralSteps + 1);
    for (std::size_t i = 0; i < integralSteps; ++i) {
        const auto c = gradient(params.stops, (double(i) + 0.5) / integralSteps);
        for (std::size_t ch = 0; ch < 3; ++ch)
            m_integral[i + 1][ch] = m_integral[i][ch] + c[ch] / integralSteps;
    }
}

std::array<double, 3> Palette::filtered(double phase, double width) const
{
    if (m_integral.empty() || width < 2.0 / integralSteps)
        return gradient(m_params.stops, phase);
    const auto &cycle = m_integral.back();
    // The integral from phase 0 to x: whole cycles plus the table, linear between its entries.
    const auto integral = [&](double x) {
        const double whole = std::floor(x), at = (x - whole) * integralSteps;
        const auto i = std::min(std::size_t(at), std::size_t(integralSteps - 1));
        const double t = at - double(i);
        std::array<double, 3> v{};
        for (std::size_t ch = 0; ch < 3; ++ch)
            v[ch] = whole * cycle[ch] + m_integral[i][ch] + (m_integral[i + 1][ch] - m_integral[i][ch]) * t;
        return v;
    };
    // Beyond a few cycles the average is the cycle's mean colour.
    width = std::min(width, 64.0);
    const auto a = integral(phase - width / 2), b = integral(phase + width / 2);
    return {(b[0] - a[0]) / width, (b[1] - a[1]) / width, (b[2] - a[2]) / width};
}

double Palette::shadingScale(double dcRe, double dcIm) const
{
    // A keyframe of pixel size p, w x h pixels, samples the points with max(|re| / (w / 2),
    // |im| / (h / 2)) between p / 2 and p; sqrt(2) times that measure lies within a factor sqrt(2)
    // of p. The end card samples down to its centre, where its own pixel is the floor. So the scale
    // follows the rendered pixel (times palette.scale), and a point has one colour in every
    // keyframe of a set.
    const int w = m_params.imageWidth, h = m_params.imageHeight;
    const double ring = std::max(std::abs(dcRe) / (w / 2), std::abs(dcIm) / (h / 2));
    return m_params.shadingPixels
        * std::max(std::sqrt(2.0) * ring, pixelSize(m_params.width, lastKeyframe, w));
}

std::array<float, 3> Palette::colour(const SampleResult &sample, double dcRe, double dcIm) const
{
    if (sample.smooth < 0)
        return {0.f, 0.f, 0.f};
    const auto &p = m_params;
    const double count = std::max(sample.smooth, 1.0);
    const double level = std::log2(count);
    const double scale = shadingScale(dcRe, dcIm);
    // The distance in units of the shading scale; an estimate that failed counts as on the set.
    const double near = sample.distance > 0 ? sample.distance / scale : 0.0;

    // Bands: square-root and logarithmic cycling of the count keep several bands in a frame at
    // every depth; the distance term turns the colours a little further with every doubling. It
    // stops at the shading scale, so that it adds no noise where filaments are finer than a pixel.
    const double phase = std::sqrt(count) / p.cycleSqrt + level / p.cycleLog
        - std::log2(std::max(sample.distance, scale)) / p.cycleDistance + p.cyclePhase;
    // The phase changes by |d phase / d count| |grad count| per unit of the plane, and the count's
    // gradient is 1 / (d ln 2) for the distance estimate d; averaged over the shading scale.
    const double ln2 = std::log(2.0);
    const double perCount = 0.5 / (p.cycleSqrt * std::sqrt(count)) + 1 / (count * ln2 * p.cycleLog);
    const double spread = sample.distance > 0 ? p.filter * scale * perCount / (sample.distance * ln2) : 64.0;
    std::array<double, 3> rgb = filtered(phase, p.filter > 0 ? spread : 0.0);

    // Far from the set the colour fades to the far colour; no exterior point is darker than it,
    // so none reads as the black inside.
    const double glow = smoothstep(p.glowStart, p.glowEnd, level);
    const double far[3] = {p.farRed, p.farGreen, p.farBlue};

    // Slope lighting from the direction away from the set, and darker edges where the distance
    // estimate says the set passes within a scale or two: sub-pixel filaments become lines.
    const double angle = p.lightAngle * M_PI / 180;
    const double facing = sample.normalRe * std::cos(angle) + sample.normalIm * std::sin(angle);
    // The normal turns within a scale of the set, where it would only add noise; there the light
    // fades out along with the filtered bands.
    const double light =
        1 + p.lightAmount * facing * (p.filter > 0 ? smoothstep(0, 2 * p.edgeWidth, near) : 1.0);
    const double edge = p.edgeFloor + (1 - p.edgeFloor) * std::sqrt(smoothstep(0, p.edgeWidth, near));

    std::array<float, 3> out{};
    for (int c = 0; c < 3; ++c) {
        const double lit = rgb[std::size_t(c)] * light * edge;
        out[std::size_t(c)] = float(std::clamp(far[c] + (lit - far[c]) * glow, far[c], 1.0));
    }
    return out;
}

unsigned char linearToSrgb8(float linear)
{
    const double l = std::clamp(double(linear), 0.0, 1.0);
    const double s = l <= 0.0031308 ? 12.92 * l : 1.055 * std::pow(l, 1 / 2.4) - 0.055;
    return static_cast<unsigned char>(std::lround(s * 255.0));
}

float srgb8ToLinear(unsigned char code)
{
    const double s = code / 255.0;
    return float(s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4));
}
