// SPDX-License-Identifier: GPL-3.0-or-later
// Every keyframe file must have exactly the marker structure of the set: JFIF 1.01 at 72 dpi, two
// DQT segments with the IJG-scaled Annex K tables, SOF2 800x600 4:2:0, the standard ten-scan
// progression with per-scan Huffman tables, EOI last; and it must decode to 800x600x3.

#include "CommittedSet.h"
#include "JpegMarkers.h"
#include "JpegWriter.h"
#include "KeyframeGeometry.h"

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <array>
#include <stdexcept>
#include <string>

namespace {

// ITU-T T.81 Annex K tables K.1 and K.2, natural (row-major) order.
constexpr std::array<int, 64> annexKLuminance{
    16, 11,  10,  16, 24, 40, 51, 61, 12,  12,  14,  19,  26, 58, 60, 55,  14,  13,  16,  24, 40, 57,
    69, 56,  14,  17, 22, 29, 51, 87, 80,  62,  18,  22,  37, 56, 68, 109, 103, 77,  24,  35, 55, 64,
    81, 104, 113, 92, 49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98,  112, 100, 103, 99};
constexpr std::array<int, 64> annexKChrominance{
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99,
    99, 99, 47, 66, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};
// Position in natural order of the i-th coefficient in zigzag order (the order inside DQT).
constexpr std::array<int, 64> zigzag{0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                     12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                     35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                     58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

int scaled(int base, int quality)
{
    const int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
    const int v = (base * scale + 50) / 100;
    return v < 1 ? 1 : v > 255 ? 255 : v;
}

struct ExpectedScan
{
    std::vector<int> components;
    int ss, se, ah, al;
    std::vector<int> dhtBefore;   // Tc<<4 | Th of each DHT segment just before the scan
};

const std::vector<ExpectedScan> &standardProgression()
{
    static const std::vector<ExpectedScan> scans{{{1, 2, 3}, 0, 0, 0, 1, {0x00, 0x01}},
                                                 {{1}, 1, 5, 0, 2, {0x10}},
                                                 {{3}, 1, 63, 0, 1, {0x11}},
                                                 {{2}, 1, 63, 0, 1, {0x11}},
                                                 {{1}, 6, 63, 0, 2, {0x10}},
                                                 {{1}, 1, 63, 2, 1, {0x10}},
                                                 {{1, 2, 3}, 0, 0, 1, 0, {}},
                                                 {{3}, 1, 63, 1, 0, {0x11}},
                                                 {{2}, 1, 63, 1, 0, {0x11}},
                                                 {{1}, 1, 63, 1, 0, {0x10}}};
    return scans;
}

void expectKeyframeStructure(const std::vector<std::uint8_t> &bytes, int quality,
                             const KeyframeSet &set = playerSet)
{
    const JpegMarkers jpeg = readJpegMarkers(bytes);
    ASSERT_EQ(jpeg.error, "");
    ASSERT_TRUE(jpeg.endsWithEoi) << "EOI must be the last two bytes";
    const auto &seg = jpeg.segments;
    // SOI, APP0, DQT, DQT, SOF2, 10 scans with 9 + 1 DHT segments, EOI.
    ASSERT_EQ(seg.size(), 1u + 1 + 2 + 1 + 10 + 10 + 1);
    std::size_t at = 0;
    EXPECT_EQ(seg[at++].marker, 0xD8);

    const auto &app0 = seg[at++];
    ASSERT_EQ(app0.marker, 0xE0);
    ASSERT_EQ(app0.payload.size(), 14u);
    EXPECT_EQ(std::string(app0.payload.begin(), app0.payload.begin() + 5), std::string("JFIF\0", 5));
    EXPECT_EQ(app0.payload[5], 1);   // version 1.01
    EXPECT_EQ(app0.payload[6], 1);
    EXPECT_EQ(app0.payload[7], 1);   // dots per inch
    EXPECT_EQ(app0.payload[8] << 8 | app0.payload[9], 72);
    EXPECT_EQ(app0.payload[10] << 8 | app0.payload[11], 72);
    EXPECT_EQ(app0.payload[12], 0);   // no thumbnail
    EXPECT_EQ(app0.payload[13], 0);

    for (int table = 0; table < 2; ++table) {
        const auto &dqt = seg[at++];
        ASSERT_EQ(dqt.marker, 0xDB) << "one DQT segment per table";
        ASSERT_EQ(dqt.payload.size(), 65u);
        EXPECT_EQ(dqt.payload[0], table);   // 8-bit precision, table id
        const auto &base = table == 0 ? annexKLuminance : annexKChrominance;
        for (int i = 0; i < 64; ++i)
            EXPECT_EQ(dqt.payload[1 + i], scaled(base[zigzag[i]], quality))
                << "table " << table << " entry " << i;
    }

    const auto &sof = seg[at++];
    ASSERT_EQ(sof.marker, 0xC2);
    const std::vector<std::uint8_t> frame{8,
                                          std::uint8_t(set.height >> 8),
                                          std::uint8_t(set.height & 255),
                                          std::uint8_t(set.width >> 8),
                                          std::uint8_t(set.width & 255),
                                          3,
                                          1,
                                          0x22,
                                          0,
                                          2,
                                          0x11,
                                          1,
                                          3,
                                          0x11,
                                          1};
    EXPECT_EQ(sof.payload, frame);

    for (const ExpectedScan &expected : standardProgression()) {
        for (int table : expected.dhtBefore) {
            const auto &dht = seg[at++];
            ASSERT_EQ(dht.marker, 0xC4);
            ASSERT_FALSE(dht.payload.empty());
            EXPECT_EQ(dht.payload[0], table);
            int symbols = 0;
            for (int i = 1; i <= 16 && i < int(dht.payload.size()); ++i)
                symbols += dht.payload[std::size_t(i)];
            EXPECT_EQ(dht.payload.size(), 17u + std::size_t(symbols)) << "one table per DHT segment";
        }
        const auto &sos = seg[at++];
        ASSERT_EQ(sos.marker, 0xDA) << "scan expected after its Huffman tables";
        EXPECT_FALSE(sos.restartInData);
        const int n = sos.payload[0];
        ASSERT_EQ(n, int(expected.components.size()));
        ASSERT_EQ(sos.payload.size(), std::size_t(1 + 2 * n + 3));
        for (int c = 0; c < n; ++c) {
            const int id = sos.payload[std::size_t(1 + 2 * c)];
            const int tables = sos.payload[std::size_t(2 + 2 * c)];
            EXPECT_EQ(id, expected.components[std::size_t(c)]);
            const int expectedTable = id == 1 ? 0 : 1;
            if (expected.ss == 0 && expected.ah == 0) {
                EXPECT_EQ(tables >> 4, expectedTable) << "DC table of component " << id;
            }
            if (expected.ss > 0) {
                EXPECT_EQ(tables & 15, expectedTable) << "AC table of component " << id;
            }
        }
        EXPECT_EQ(sos.payload[std::size_t(1 + 2 * n)], expected.ss);
        EXPECT_EQ(sos.payload[std::size_t(2 + 2 * n)], expected.se);
        EXPECT_EQ(sos.payload[std::size_t(3 + 2 * n)], expected.ah << 4 | expected.al);
    }
    EXPECT_EQ(seg[at++].marker, 0xD9);
}

void expectDecodes(const std::vector<std::uint8_t> &bytes, const KeyframeSet &set = playerSet)
{
    tjhandle tj = tjInitDecompress();
    ASSERT_NE(tj, nullptr);
    int width = 0, height = 0, subsampling = -1, colourspace = -1;
    ASSERT_EQ(
        tjDecompressHeader3(tj, bytes.data(), bytes.size(), &width, &height, &subsampling, &colourspace), 0)
        << tjGetErrorStr2(tj);
    EXPECT_EQ(width, set.width);
    EXPECT_EQ(height, set.height);
    EXPECT_EQ(subsampling, TJSAMP_420);
    EXPECT_EQ(colourspace, TJCS_YCbCr);
    std::vector<unsigned char> rgb(std::size_t(width) * std::size_t(height) * 3);
    EXPECT_EQ(tjDecompress2(tj, bytes.data(), bytes.size(), rgb.data(), width, 0, height, TJPF_RGB, 0), 0)
        << tjGetErrorStr2(tj);
    tjDestroy(tj);
}

class KeyframeFile : public ::testing::TestWithParam<int>
{
};

// The HD set, where it is committed, has the same structure.
TEST_P(KeyframeFile, HasTheSetsMarkerStructureAndDecodes)
{
    const int k = GetParam();
    for (const KeyframeSet &set : {playerSet, hdSet}) {
        if (set.folder == hdSet.folder && !setPresent(hdSet))
            continue;
        SCOPED_TRACE("set " + set.folder);
        const auto bytes =
            readBytes(std::string(KEYFRAMES_DIR) + "/" + set.folder + std::to_string(k) + ".jpg");
        ASSERT_FALSE(bytes.empty()) << "keyframe " << k << " missing";
        const bool card = k == keyframes::firstKeyframe || k == keyframes::lastKeyframe;
        expectKeyframeStructure(bytes, card ? 90 : 94, set);
        expectDecodes(bytes, set);
    }
}

INSTANTIATE_TEST_SUITE_P(AllKeyframes, KeyframeFile, ::testing::Range(1, 64),
                         [](const auto &info) { return "Keyframe" + std::to_string(info.param); });

// The encoder itself, on pictures the set never had: flat black and a sharp pattern.
TEST(KeyframeEncoder, WritesTheSameStructureForAnyPictureAndQuality)
{
    std::vector<unsigned char> flat(800 * 600 * 3, 0), pattern(800 * 600 * 3);
    for (std::size_t i = 0; i < pattern.size(); ++i)
        pattern[i] = static_cast<unsigned char>((i * 2654435761u) >> 13);
    for (int quality : {90, 94, 50, 25}) {
        SCOPED_TRACE("quality " + std::to_string(quality));
        for (const auto *rgb : {&flat, &pattern}) {
            const auto bytes = encodeKeyframeJpeg(rgb->data(), 800, 600, quality);
            expectKeyframeStructure({bytes.begin(), bytes.end()}, quality);
            expectDecodes({bytes.begin(), bytes.end()});
        }
    }
}

TEST(KeyframeEncoder, ReportsLibraryErrorsAsExceptions)
{
    const std::vector<unsigned char> rgb(800 * 600 * 3, 0);
    EXPECT_THROW(encodeKeyframeJpeg(rgb.data(), 0, 600, 94), std::runtime_error);   // empty picture
    // The encoder is usable again after an error.
    EXPECT_FALSE(encodeKeyframeJpeg(rgb.data(), 800, 600, 94).empty());
}

TEST(KeyframeMarkers, ReportsTruncatedAndForeignData)
{
    std::vector<unsigned char> rgb(800 * 600 * 3, 128);
    auto bytes = encodeKeyframeJpeg(rgb.data(), 800, 600, 94);
    std::vector<std::uint8_t> cut(bytes.begin(), bytes.end() - 2);
    EXPECT_NE(readJpegMarkers(cut).error, "");
    EXPECT_NE(readJpegMarkers({'G', 'I', 'F', '8'}).error, "");
    std::vector<std::uint8_t> trailing(bytes.begin(), bytes.end());
    trailing.push_back(0);
    EXPECT_FALSE(readJpegMarkers(trailing).endsWithEoi);
}

}   // namespace
