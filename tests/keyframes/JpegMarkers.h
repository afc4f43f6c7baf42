// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small reader for the marker structure of a JPEG file: the segments in order with their
// payloads, entropy-coded data skipped. Independent of libjpeg so that it checks what it wrote.

#include <cstdint>
#include <string>
#include <vector>

struct JpegSegment
{
    std::uint8_t marker = 0;             // the byte after 0xFF
    std::vector<std::uint8_t> payload;   // without the length field
    bool restartInData = false;          // an RSTn marker inside the following scan data
};

struct JpegMarkers
{
    std::vector<JpegSegment> segments;   // SOI first, EOI last when the file is complete
    bool endsWithEoi = false;            // EOI are the last two bytes of the file
    std::string error;                   // empty when the file parsed
};

JpegMarkers readJpegMarkers(const std::vector<std::uint8_t> &bytes);

std::vector<std::uint8_t> readBytes(const std::string &path);
