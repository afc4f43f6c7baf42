// SPDX-License-Identifier: GPL-3.0-or-later
#include "KeyframeParams.h"

#include "KeyframeGeometry.h"

#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

namespace {

std::string trim(const std::string &s)
{
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

struct Reader
{
    std::map<std::string, std::pair<std::string, int>> values;   // key -> (value, line)
    std::string source;

    [[noreturn]] void fail(const std::string &key, const std::string &why) const
    {
        const auto it = values.find(key);
        const std::string where =
            it == values.end() ? source : source + ":" + std::to_string(it->second.second);
        throw std::runtime_error(where + ": " + key + ": " + why);
    }
    const std::string &text(const std::string &key) const
    {
        const auto it = values.find(key);
        if (it == values.end())
            fail(key, "missing");
        return it->second.first;
    }
    // The whole value read by `parse` (std::stod, std::stoll), or the error `what` at the key.
    template<typename Parse> auto parsed(const std::string &key, Parse parse, const char *what) const
    {
        const std::string &t = text(key);
        std::size_t used = 0;
        decltype(parse(t, &used)) v{};
        try {
            v = parse(t, &used);
        } catch (const std::exception &) {
            fail(key, what + t);
        }
        if (used != t.size())
            fail(key, what + t);
        return v;
    }
    double number(const std::string &key) const
    {
        return parsed(
            key, [](const std::string &t, std::size_t *used) { return std::stod(t, used); },
            "not a number: ");
    }
    bool has(const std::string &key) const { return values.count(key) != 0; }
    long long integer(const std::string &key, long long lo, long long hi) const
    {
        const long long v = parsed(
            key, [](const std::string &t, std::size_t *used) { return std::stoll(t, used); },
            "not an integer: ");
        if (v < lo || v > hi)
            fail(key, "out of range " + std::to_string(lo) + " .. " + std::to_string(hi));
        return v;
    }
};

bool isDecimal(const std::string &s)
{
    if (s.empty())
        return false;
    std::size_t i = (s[0] == '-' || s[0] == '+') ? 1 : 0;
    bool digits = false, point = false;
    for (; i < s.size(); ++i) {
        if (s[i] >= '0' && s[i] <= '9')
            digits = true;
        else if (s[i] == '.' && !point)
            point = true;
        else
            return false;
    }
    return digits;
}

}   // namespace

KeyframeParams KeyframeParams::load(const std::string &path)
{
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read parameter file " + path);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return parse(buffer.str(), path);
}

KeyframeParams KeyframeParams::parse(const std::string &text, const std::string &sourceName)
{
    Reader r;
    r.source = sourceName;
    std::istringstream lines(text);
    std::string line;
    int lineNo = 0;
    while (std::getline(lines, line)) {
        ++lineNo;
        const auto hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        line = trim(line);
        if (line.empty())
            continue;
        const auto eq = line.find('=');
        if (eq == std::string::npos)
            throw std::runtime_error(sourceName + ":" + std::to_string(lineNo) + ": expected key = value");
        const std::string key = trim(line.substr(0, eq));
        if (r.values.count(key))
            throw std::runtime_error(sourceName + ":" + std::to_string(lineNo) + ": " + key + " given twice");
        r.values[key] = {trim(line.substr(eq + 1)), lineNo};
    }

    KeyframeParams p;
    p.centreRe = r.text("centre.re");
    p.centreIm = r.text("centre.im");
    if (!isDecimal(p.centreRe))
        r.fail("centre.re", "not a decimal number");
    if (!isDecimal(p.centreIm))
        r.fail("centre.im", "not a decimal number");
    p.precisionBits = int(r.integer("precision.bits", 64, 4096));
    p.width = r.number("width");
    if (!(p.width > 0))
        r.fail("width", "must be positive");
    p.maxIterations = int(r.integer("iterations", 16, 10000000));
    p.bailout = r.number("bailout");
    if (!(p.bailout >= 4))
        r.fail("bailout", "must be at least 4");
    if (r.has("size")) {
        // The player's size times a power of two, so that halving reaches the player's set.
        std::istringstream in(r.text("size"));
        std::string rest;
        if (!(in >> p.imageWidth >> p.imageHeight) || (in >> rest))
            r.fail("size", "expected: width height");
        const int factor = p.imageWidth / keyframes::frameWidth;
        if (factor < 1 || factor > 8 || (factor & (factor - 1))
            || p.imageWidth != factor * keyframes::frameWidth
            || p.imageHeight != factor * keyframes::frameHeight)
            r.fail("size", "must be 800 600 times 1, 2, 4 or 8");
    }
    p.samples = int(r.integer("samples", 1, 32));
    p.samplesMax = r.has("samples.max") ? int(r.integer("samples.max", 1, 32)) : p.samples;
    if (p.samplesMax % p.samples != 0)
        r.fail("samples.max", "must be a multiple of samples");
    p.samplesTolerance = r.has("samples.tolerance") ? r.number("samples.tolerance") : 1.0;
    if (!(p.samplesTolerance > 0))
        r.fail("samples.tolerance", "must be positive");
    p.bla = r.has("bla") ? r.integer("bla", 0, 1) != 0 : true;
    p.blaBits = r.has("bla.bits") ? int(r.integer("bla.bits", 20, 53)) : 40;
    p.seed = static_cast<unsigned long long>(r.integer("seed", 0, (1LL << 62)));
    p.quality = int(r.integer("jpeg.quality", 1, 100));
    p.cardQuality = int(r.integer("jpeg.card.quality", 1, 100));
    const auto positive = [&](const char *key) {
        const double v = r.number(key);
        if (!(v > 0))
            r.fail(key, "must be positive");
        return v;
    };
    p.cycleSqrt = positive("palette.cycle.sqrt");
    p.cycleLog = positive("palette.cycle.log");
    p.cycleDistance = positive("palette.cycle.distance");
    p.cyclePhase = r.number("palette.cycle.phase");
    p.glowStart = r.number("palette.glow.start");
    p.glowEnd = r.number("palette.glow.end");
    if (!(p.glowEnd > p.glowStart))
        r.fail("palette.glow.end", "must lie above palette.glow.start");
    {
        std::istringstream in(r.text("palette.far"));
        std::string rest;
        if (!(in >> p.farRed >> p.farGreen >> p.farBlue) || (in >> rest))
            r.fail("palette.far", "expected: red green blue");
        if (!(p.farRed + p.farGreen + p.farBlue > 0))
            r.fail("palette.far", "must not be black (black is inside the set)");
    }
    p.edgeWidth = positive("palette.edge.width");
    p.edgeFloor = r.number("palette.edge.floor");
    if (!(p.edgeFloor >= 0 && p.edgeFloor <= 1))
        r.fail("palette.edge.floor", "must lie within 0 .. 1");
    p.lightAngle = r.number("palette.light.angle");
    p.lightAmount = r.number("palette.light.amount");
    if (!(p.lightAmount >= 0 && p.lightAmount < 1))
        r.fail("palette.light.amount", "must lie within 0 .. 1");
    p.filter = r.has("palette.filter") ? r.number("palette.filter") : 0.0;
    if (!(p.filter >= 0 && p.filter <= 16))
        r.fail("palette.filter", "must lie within 0 .. 16");

    p.shadingPixels = r.has("palette.scale") ? r.number("palette.scale") : 1.0;
    if (!(p.shadingPixels >= 0.25 && p.shadingPixels <= 16))
        r.fail("palette.scale", "must lie within 0.25 .. 16");
    const int count = int(r.integer("palette.stops", 2, 64));
    for (int i = 0; i < count; ++i) {
        const std::string key = "palette.stop." + std::to_string(i);
        std::istringstream in(r.text(key));
        PaletteStop s;
        std::string rest;
        if (!(in >> s.position >> s.red >> s.green >> s.blue) || (in >> rest))
            r.fail(key, "expected: position red green blue");
        if (s.position < 0 || s.position > 1 || (!p.stops.empty() && s.position <= p.stops.back().position))
            r.fail(key, "positions must rise within 0 .. 1");
        p.stops.push_back(s);
    }
    return p;
}
