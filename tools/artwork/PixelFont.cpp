// SPDX-License-Identifier: GPL-3.0-or-later
#include "PixelFont.h"

#include <QImage>

#include <array>
#include <cstring>
#include <stdexcept>
#include <string>

namespace {

struct Glyph
{
    char letter;
    std::array<const char *, PixelFont::kRows> rows;   // '#' is ink; all rows equally wide
};

// clang-format off
const Glyph kGlyphs[] = {
    {'I', {"###", ".#.", ".#.", ".#.", ".#.", ".#.", ".#.", "###", "...", "..."}},
    {'R', {"####.", "#...#", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#", ".....", "....."}},
    {'S', {".###.", "#...#", "#....", ".###.", "....#", "....#", "#...#", ".###.", ".....", "....."}},
    {'a', {".....", ".....", ".###.", "....#", ".####", "#...#", "#..##", ".##.#", ".....", "....."}},
    {'d', {"....#", "....#", ".##.#", "#..##", "#...#", "#...#", "#..##", ".##.#", ".....", "....."}},
    {'e', {".....", ".....", ".###.", "#...#", "#####", "#....", "#...#", ".###.", ".....", "....."}},
    {'f', {"..##", ".#..", "####", ".#..", ".#..", ".#..", ".#..", ".#..", "....", "...."}},
    {'n', {".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#", "#...#", ".....", "....."}},
    {'o', {".....", ".....", ".###.", "#...#", "#...#", "#...#", "#...#", ".###.", ".....", "....."}},
    {'p', {".....", ".....", "#.##.", "##..#", "#...#", "#...#", "##..#", "#.##.", "#....", "#...."}},
    {'t', {".#..", ".#..", "####", ".#..", ".#..", ".#..", ".#..", "..##", "....", "...."}},
    {'v', {".....", ".....", "#...#", "#...#", "#...#", ".#.#.", ".#.#.", "..#..", ".....", "....."}},
    {'w', {".....", ".....", "#...#", "#...#", "#...#", "#.#.#", "#.#.#", ".#.#.", ".....", "....."}},
};
// clang-format on

const Glyph &glyph(QChar c)
{
    for (const Glyph &g : kGlyphs)
        if (QChar(g.letter) == c)
            return g;
    throw std::invalid_argument(std::string("the button font has no letter '") + char(c.toLatin1()) + "'");
}

int glyphWidth(const Glyph &g)
{
    return int(std::strlen(g.rows[0]));
}

}   // namespace

int PixelFont::textWidth(const QString &text)
{
    int width = 0;
    for (QChar c : text)
        width += glyphWidth(glyph(c)) + 1;
    return text.isEmpty() ? 0 : width - 1;
}

void PixelFont::draw(QImage &image, int left, int top, const QString &text, QRgb colour)
{
    int x = left;
    for (QChar c : text) {
        const Glyph &g = glyph(c);
        for (int row = 0; row < kRows; ++row)
            for (int col = 0; g.rows[row][col]; ++col)
                if (g.rows[row][col] == '#')
                    image.setPixel(x + col, top + row, colour);
        x += glyphWidth(g) + 1;
    }
}
