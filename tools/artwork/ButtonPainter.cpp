// SPDX-License-Identifier: GPL-3.0-or-later
#include "ButtonPainter.h"

#include "PixelFont.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace {

enum class Glyph { ToStart, Backward, Pause, Forward, ToEnd, Word, Windows, Cross };

struct ButtonDesign
{
    const char *name;
    int width;
    int bitsPerPixel;
    Glyph glyph;
    bool disabled;
    const char *word;
};

const ButtonDesign kButtonDesigns[] = {
    {"bsZumAnfang", 42, 4, Glyph::ToStart, false, nullptr},
    {"bsRueckwaerts", 42, 24, Glyph::Backward, false, nullptr},
    {"bsPause", 42, 4, Glyph::Pause, false, nullptr},
    {"bsVorwaerts", 42, 4, Glyph::Forward, false, nullptr},
    {"bsZumEnde", 42, 4, Glyph::ToEnd, false, nullptr},
    {"bsSpeed", 42, 4, Glyph::Word, false, "Speed"},
    {"bsInfo", 42, 4, Glyph::Word, false, "Info"},
    {"bsSave", 42, 4, Glyph::Word, false, "Save"},
    {"bsWWW", 42, 4, Glyph::Word, false, "www"},
    {"bsRepead", 42, 4, Glyph::Word, false, "Repeat"},
    {"bsSize", 34, 4, Glyph::Windows, false, nullptr},
    {"bsClose", 34, 4, Glyph::Cross, false, nullptr},
    {"bsZumAnfangD", 42, 4, Glyph::ToStart, true, nullptr},
    {"bsRueckwaertsD", 42, 4, Glyph::Backward, true, nullptr},
    {"bsPauseD", 42, 4, Glyph::Pause, true, nullptr},
    {"bsVorwaertsD", 42, 4, Glyph::Forward, true, nullptr},
    {"bsZumEndeD", 42, 4, Glyph::ToEnd, true, nullptr},
};

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kFrame = qRgb(120, 120, 120);
const QRgb kFrameCorner = qRgb(90, 90, 90);
const QRgb kWordGrey = qRgb(212, 212, 212);
const QRgb kOutlineGrey = qRgb(180, 180, 180);

// Body, lit edge and shaded edge of a glyph.
struct Shades
{
    QRgb body, light, shade;
};

const Shades kGreen = {qRgb(0, 200, 0), qRgb(100, 255, 100), qRgb(0, 134, 0)};
const Shades kWhite = {qRgb(239, 239, 239), qRgb(180, 180, 180), qRgb(180, 180, 180)};
const Shades kDark = {qRgb(45, 45, 45), qRgb(45, 45, 45), qRgb(30, 30, 30)};

constexpr int kSymbolSize = 11;   // height of the transport symbols
constexpr int kSymbolTop = (ButtonPainter::kHeight - kSymbolSize) / 2;

// The pixels a symbol covers, before shading.
class Mask
{
public:
    Mask(int width, int height) : m_width(width), m_height(height), m_bits(size_t(width) * height) { }
    void set(int x, int y) { m_bits[size_t(y) * m_width + x] = true; }
    bool at(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < m_width && y < m_height && m_bits[size_t(y) * m_width + x];
    }
    int width() const { return m_width; }
    int height() const { return m_height; }

private:
    int m_width, m_height;
    std::vector<bool> m_bits;
};

// A triangle with its flat side at column left, narrowing one row at top and
// bottom every two columns: a clean 2:1 stair at 1:1.
void triangle(Mask &mask, int left, bool pointsRight)
{
    for (int c = 0; c < kSymbolSize; ++c) {
        const int x = pointsRight ? left + c : left + kSymbolSize - 1 - c;
        for (int y = kSymbolTop + c / 2; y <= kSymbolTop + kSymbolSize - 1 - c / 2; ++y)
            mask.set(x, y);
    }
}

void bar(Mask &mask, int left, int width)
{
    for (int x = left; x < left + width; ++x)
        for (int y = kSymbolTop; y < kSymbolTop + kSymbolSize; ++y)
            mask.set(x, y);
}

// Light from the upper left: edges facing up or left are lit, those facing down
// or right lie in shade.
void shadeBevelled(QImage &image, const Mask &mask, const Shades &s)
{
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x) {
            if (!mask.at(x, y))
                continue;
            QRgb c = s.body;
            if (!mask.at(x, y - 1))
                c = s.light;
            else if (!mask.at(x, y + 1) || !mask.at(x + 1, y))
                c = s.shade;
            else if (!mask.at(x - 1, y))
                c = s.light;
            image.setPixel(x, y, c);
        }
}

// Near-white symbols: a bright body inside a softer edge all round.
void shadeEdged(QImage &image, const Mask &mask, const Shades &s)
{
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x)
            if (mask.at(x, y)) {
                const bool edge =
                    !mask.at(x - 1, y) || !mask.at(x + 1, y) || !mask.at(x, y - 1) || !mask.at(x, y + 1);
                image.setPixel(x, y, edge ? s.shade : s.body);
            }
}

void drawFrame(QImage &image)
{
    const int r = image.width() - 1;
    const int b = image.height() - 1;
    for (int x = 2; x <= r - 2; ++x) {
        image.setPixel(x, 0, kFrame);
        image.setPixel(x, b, kFrame);
    }
    for (int y = 2; y <= b - 2; ++y) {
        image.setPixel(0, y, kFrame);
        image.setPixel(r, y, kFrame);
    }
    image.setPixel(1, 1, kFrameCorner);
    image.setPixel(r - 1, 1, kFrameCorner);
    image.setPixel(1, b - 1, kFrameCorner);
    image.setPixel(r - 1, b - 1, kFrameCorner);
}

void drawTransport(QImage &image, Glyph glyph, const Shades &shades)
{
    Mask mask(image.width(), image.height());
    const int centreLeft = (image.width() - kSymbolSize) / 2;
    constexpr int kBar = 2, kGap = 1;
    const int pairLeft = (image.width() - (kBar + kGap + kSymbolSize)) / 2;
    switch (glyph) {
    case Glyph::ToStart:
        bar(mask, pairLeft, kBar);
        triangle(mask, pairLeft + kBar + kGap, false);
        break;
    case Glyph::Backward:
        triangle(mask, centreLeft, false);
        break;
    case Glyph::Forward:
        triangle(mask, centreLeft, true);
        break;
    case Glyph::ToEnd:
        triangle(mask, pairLeft, true);
        bar(mask, pairLeft + kSymbolSize + kGap, kBar);
        break;
    case Glyph::Pause: {
        constexpr int kPauseBar = 4, kPauseGap = 3;
        const int left = (image.width() - (2 * kPauseBar + kPauseGap)) / 2;
        bar(mask, left, kPauseBar);
        bar(mask, left + kPauseBar + kPauseGap, kPauseBar);
        shadeEdged(image, mask, shades);
        return;
    }
    default:
        throw std::logic_error("not a transport symbol");
    }
    shadeBevelled(image, mask, shades);
}

// Two overlapping window outlines with title bars, the front one lower left.
void drawWindows(QImage &image)
{
    constexpr int kW = 11, kH = 8;
    const int left = (image.width() - (kW + 4)) / 2;
    const int top = (image.height() - (kH + 4)) / 2;
    auto window = [&](int x0, int y0) {
        for (int y = y0; y < y0 + kH; ++y)
            for (int x = x0; x < x0 + kW; ++x) {
                const bool titleBar = y <= y0 + 1;
                const bool outline = x == x0 || x == x0 + kW - 1 || y == y0 + kH - 1;
                image.setPixel(x, y, titleBar ? kWordGrey : outline ? kOutlineGrey : kBlack);
            }
    };
    window(left + 4, top);
    window(left, top + 4);
}

// A diagonal cross: one-pixel cores with soft edges on both sides.
void drawCross(QImage &image, const Shades &shades)
{
    constexpr int kSize = 9;
    const int left = (image.width() - kSize) / 2;
    const int top = (image.height() - kSize) / 2;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const int d = std::min(std::abs(x - y), std::abs(x + y - (kSize - 1)));
            if (d == 0)
                image.setPixel(left + x, top + y, shades.body);
            else if (d == 1)
                image.setPixel(left + x, top + y, shades.shade);
        }
}

}   // namespace

QList<ButtonPainter::Button> ButtonPainter::buttons()
{
    QList<Button> list;
    for (const ButtonDesign &s : kButtonDesigns)
        list.append({QString::fromLatin1(s.name), s.width, s.bitsPerPixel});
    return list;
}

QImage ButtonPainter::paint(const QString &name)
{
    const ButtonDesign *design = nullptr;
    for (const ButtonDesign &s : kButtonDesigns)
        if (name == QLatin1String(s.name))
            design = &s;
    if (!design)
        throw std::invalid_argument("unknown button image " + name.toStdString());

    QImage image(design->width, kHeight, QImage::Format_RGB32);
    image.fill(kBlack);
    drawFrame(image);
    switch (design->glyph) {
    case Glyph::Word: {
        const QString word = QString::fromLatin1(design->word);
        const int capTop = (kHeight - (PixelFont::kBaseline + 1)) / 2;
        PixelFont::draw(image, (design->width - PixelFont::textWidth(word)) / 2, capTop, word, kWordGrey);
        break;
    }
    case Glyph::Windows:
        drawWindows(image);
        break;
    case Glyph::Cross:
        drawCross(image, kWhite);
        break;
    case Glyph::Pause:
        drawTransport(image, design->glyph, design->disabled ? kDark : kWhite);
        break;
    default:
        drawTransport(image, design->glyph, design->disabled ? kDark : kGreen);
    }
    return image;
}
