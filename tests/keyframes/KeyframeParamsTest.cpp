// SPDX-License-Identifier: GPL-3.0-or-later
// The parameter file: the committed one reads, and faulty ones are refused with the line named.

#include "KeyframeParams.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

const char *const minimal = R"(centre.re = -0.75
centre.im = 0.1   # comment
width = 8
precision.bits = 128
iterations = 500
bailout = 1024
samples = 2
seed = 7
jpeg.quality = 94
jpeg.card.quality = 90
palette.cycle.sqrt = 2
palette.cycle.log = 2
palette.cycle.distance = 12
palette.cycle.phase = 0
palette.glow.start = 1
palette.glow.end = 5
palette.far = 0.01 0.01 0.04
palette.edge.width = 1.5
palette.edge.floor = 0.25
palette.light.angle = 45
palette.light.amount = 0.2
palette.stops = 2
palette.stop.0 = 0 0 0 0
palette.stop.1 = 0.5 1 0.5 0
)";

std::string errorOf(const std::string &text)
{
    try {
        KeyframeParams::parse(text, "test.params");
    } catch (const std::runtime_error &e) {
        return e.what();
    }
    return {};
}

std::string replaced(const std::string &key, const std::string &line)
{
    std::string text = minimal;
    const auto at = text.find(key + " =");
    const auto end = text.find('\n', at);
    return text.replace(at, end - at, line);
}

TEST(KeyframeParams, TheCommittedFileReads)
{
    const KeyframeParams p = KeyframeParams::load(std::string(KEYFRAMES_DIR) + "/keyframes.params");
    EXPECT_EQ(p.maxIterations, 150000);
    EXPECT_EQ(p.quality, 94);
    EXPECT_EQ(p.cardQuality, 90);
    EXPECT_GE(p.stops.size(), 2u);
    EXPECT_GT(p.centreRe.size(), 25u) << "the centre needs digits far beyond double precision";
}

TEST(KeyframeParams, MinimalFileGivesItsValues)
{
    const KeyframeParams p = KeyframeParams::parse(minimal, "test.params");
    EXPECT_EQ(p.centreIm, "0.1");
    EXPECT_EQ(p.samples, 2);
    EXPECT_EQ(p.seed, 7u);
    EXPECT_EQ(p.samplesMax, 2) << "without samples.max no pixel is refined";
    EXPECT_TRUE(p.bla);
    ASSERT_EQ(p.stops.size(), 2u);
    EXPECT_DOUBLE_EQ(p.stops[1].green, 0.5);
}

TEST(KeyframeParams, FaultsNameTheKeyAndLine)
{
    EXPECT_NE(errorOf(replaced("width", "width = 8x")).find("test.params:3: width: not a number"),
              std::string::npos);
    EXPECT_NE(errorOf(replaced("samples", "samples = 0")).find("samples: out of range"), std::string::npos);
    EXPECT_NE(errorOf(replaced("centre.re", "centre.re = 1e-3")).find("centre.re: not a decimal"),
              std::string::npos);
    EXPECT_NE(errorOf(replaced("seed", "# no seed")).find("seed: missing"), std::string::npos);
    EXPECT_NE(errorOf(replaced("palette.stop.1", "palette.stop.1 = 0 1 1 1")).find("positions must rise"),
              std::string::npos);
    EXPECT_NE(errorOf(std::string(minimal) + "width = 4\n").find("given twice"), std::string::npos);
    EXPECT_NE(errorOf(std::string(minimal) + "just words\n").find("expected key = value"), std::string::npos);
    EXPECT_NE(errorOf(std::string(minimal) + "samples.max = 3\n")
                  .find("samples.max: must be a multiple of samples"),
              std::string::npos);
    EXPECT_NE(errorOf(std::string(minimal) + "bla.bits = 60\n").find("bla.bits: out of range"),
              std::string::npos);
    EXPECT_THROW(KeyframeParams::load("/nonexistent/keyframes.params"), std::runtime_error);
}

}   // namespace
