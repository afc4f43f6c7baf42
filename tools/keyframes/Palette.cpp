#include "Palette.h"

#include "KeyframeParams.h"

#include <algorithm>
#include <cmath>

namespace {

double smoothstep(double a, double b, double x)
{
    const double t = std::clamp((x - a) / (b - a), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

}  // namespace

Palette::Palette(const KeyframeParams& params)
    : m_params(params)
{
}

std::array<float, 3> Palette::colour(double smoothCount) const
{
    if (smoothCount < 0)
        return {0.f, 0.f, 0.f};
    const auto& p = m_params;
    const double level = std::log2(std::max(smoothCount, 1.0));

    // One cycle of the band, interpolated between the stops (wrapping from the last to the first).
    double phase = (level - p.cyclePhase) / p.cyclePeriod;
    phase -= std::floor(phase);
    const auto& stops = p.stops;
    std::size_t i = 0;
    while (i + 1 < stops.size() && stops[i + 1].position <= phase)
        ++i;
    const PaletteStop& a = phase < stops.front().position ? stops.back() : stops[i];
    const PaletteStop& b = phase < stops.front().position ? stops.front() : (i + 1 < stops.size() ? stops[i + 1] : stops.front());
    double span = b.position - a.position;
    double into = phase - a.position;
    if (span <= 0)
        span += 1;
    if (into < 0)
        into += 1;
    const double t = std::clamp(into / span, 0.0, 1.0);
    double rgb[3] = {a.red + (b.red - a.red) * t, a.green + (b.green - a.green) * t, a.blue + (b.blue - a.blue) * t};

    // Far from the set the colour fades into black; high counts fade towards white.
    const double glow = smoothstep(p.glowStart, p.glowEnd, level);
    const double white = p.whiteAmount * smoothstep(p.whiteStart, p.whiteEnd, level);
    std::array<float, 3> out{};
    for (int c = 0; c < 3; ++c)
        out[c] = float(std::clamp(rgb[c] * glow * (1 - white) + white, 0.0, 1.0));
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
