// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Encodes an 800 x 600 RGB picture as the progressive JFIF file of the keyframe set: 4:2:0,
// IJG-scaled standard tables, the library's standard progression, Huffman tables optimised per scan.

#include <string>
#include <vector>

// rgb: width * height * 3 bytes, sRGB. Throws std::runtime_error when the library reports an error.
std::vector<unsigned char> encodeKeyframeJpeg(const unsigned char *rgb, int width, int height, int quality);

// Writes the bytes to a file, replacing it; throws std::runtime_error on failure.
void writeFile(const std::string &path, const std::vector<unsigned char> &bytes);
