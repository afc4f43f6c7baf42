// SPDX-License-Identifier: GPL-3.0-or-later
#include "JpegMarkers.h"

#include <fstream>
#include <iterator>

JpegMarkers readJpegMarkers(const std::vector<std::uint8_t> &b)
{
    JpegMarkers out;
    const auto fail = [&](const std::string &why, std::size_t at) {
        out.error = why + " at byte " + std::to_string(at);
        return out;
    };
    if (b.size() < 4 || b[0] != 0xFF || b[1] != 0xD8)
        return fail("no SOI", 0);
    out.segments.push_back({0xD8, {}, false});
    std::size_t i = 2;
    while (i + 1 < b.size()) {
        if (b[i] != 0xFF)
            return fail("expected a marker", i);
        const std::uint8_t m = b[i + 1];
        if (m == 0xD9) {
            out.segments.push_back({m, {}, false});
            out.endsWithEoi = i + 2 == b.size();
            return out;
        }
        if (i + 3 >= b.size())
            return fail("truncated segment", i);
        const std::size_t length = std::size_t(b[i + 2]) << 8 | b[i + 3];
        if (length < 2 || i + 2 + length > b.size())
            return fail("bad segment length", i);
        JpegSegment s;
        s.marker = m;
        s.payload.assign(b.begin() + std::ptrdiff_t(i + 4), b.begin() + std::ptrdiff_t(i + 2 + length));
        i += 2 + length;
        if (m == 0xDA) {
            // Entropy-coded data runs to the next marker that is neither a stuffed 0x00 nor RSTn.
            while (i + 1 < b.size()) {
                if (b[i] == 0xFF && b[i + 1] != 0x00) {
                    if (b[i + 1] >= 0xD0 && b[i + 1] <= 0xD7) {
                        s.restartInData = true;
                    } else if (b[i + 1] != 0xFF) {
                        break;
                    }
                }
                ++i;
            }
        }
        out.segments.push_back(std::move(s));
    }
    return fail("no EOI", i);
}

std::vector<std::uint8_t> readBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
