// SPDX-License-Identifier: GPL-3.0-or-later
// The MANIFEST beside the keyframes lists exactly the 63 files of each set with their sizes and
// SHA-256.

#include "JpegMarkers.h"

#include <QByteArray>
#include <QCryptographicHash>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

TEST(KeyframeManifest, MatchesTheFiles)
{
    std::ifstream in(std::string(KEYFRAMES_DIR) + "/MANIFEST");
    ASSERT_TRUE(in) << "MANIFEST missing";
    std::string line;
    std::set<std::string> listed;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string file, hash, rest;
        std::size_t size = 0;
        ASSERT_TRUE(fields >> file >> size >> hash) << "bad line: " << line;
        EXPECT_FALSE(fields >> rest) << "extra field in: " << line;
        EXPECT_TRUE(listed.insert(file).second) << file << " listed twice";
        const auto bytes = readBytes(std::string(KEYFRAMES_DIR) + "/" + file);
        EXPECT_EQ(bytes.size(), size) << file;
        const QByteArray digest = QCryptographicHash::hash(
            QByteArrayView(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size())),
            QCryptographicHash::Sha256);
        EXPECT_EQ(digest.toHex().toStdString(), hash) << file;
    }
    std::set<std::string> expected;
    const bool large = std::filesystem::exists(std::string(KEYFRAMES_DIR) + "/hd");
    for (int k = 1; k <= 63; ++k) {
        expected.insert(std::to_string(k) + ".jpg");
        if (large)
            expected.insert("hd/" + std::to_string(k) + ".jpg");
    }
    EXPECT_EQ(listed, expected);
}
