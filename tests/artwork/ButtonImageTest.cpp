// SPDX-License-Identifier: GPL-3.0-or-later
// The committed picture-button images: size and storage of each, the shared
// rounded key frame, glyph colours, centring, and the disabled looks.

#include "ArtworkFiles.h"

#include <QImage>
#include <QRect>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace ArtworkFiles;

namespace {

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kFrame = qRgb(120, 120, 120);
const QRgb kFrameCorner = qRgb(90, 90, 90);

QByteArray buttonBytes(const QString &name)
{
    return readResource("buttons/" + name + ".bmp");
}

QImage buttonImage(const QString &name)
{
    return QImage::fromData(buttonBytes(name), "BMP");
}

// The colours inside the frame other than black.
std::set<QRgb> glyphColours(const QImage &image)
{
    std::set<QRgb> colours;
    for (int y = 2; y < image.height() - 2; ++y)
        for (int x = 2; x < image.width() - 2; ++x)
            if (image.pixel(x, y) != kBlack)
                colours.insert(image.pixel(x, y));
    return colours;
}

QRect glyphBounds(const QImage &image)
{
    QRect bounds;
    for (int y = 2; y < image.height() - 2; ++y)
        for (int x = 2; x < image.width() - 2; ++x)
            if (image.pixel(x, y) != kBlack)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

class ButtonImage : public ::testing::TestWithParam<std::string>
{
protected:
    QString name() const { return QString::fromStdString(GetParam()); }
};

std::vector<std::string> allButtons()
{
    std::vector<std::string> names;
    for (const QString &n : buttonNames())
        names.push_back(n.toStdString());
    return names;
}

TEST_P(ButtonImage, Is22PixelsHighWithItsOwnPaletteAt72Dpi)
{
    const QString name = this->name();
    const QByteArray bytes = buttonBytes(name);
    ASSERT_FALSE(bytes.isEmpty()) << "missing " << GetParam();
    const bool narrow = name == "bsSize" || name == "bsClose";
    const int width = narrow ? 34 : 42;
    const int bitsPerPixel = name == "bsRueckwaerts" ? 24 : 4;
    const int palette = bitsPerPixel == 4 ? 16 : 0;
    const int stride = (width * bitsPerPixel + 31) / 32 * 4;

    EXPECT_EQ(bytes.left(2), QByteArray("BM"));
    EXPECT_EQ(le32(bytes, 14), 40u);
    EXPECT_EQ(le32(bytes, 18), quint32(width));
    EXPECT_EQ(le32(bytes, 22), 22u);
    EXPECT_EQ(le16(bytes, 28), bitsPerPixel);
    EXPECT_EQ(le32(bytes, 30), 0u);
    EXPECT_EQ(le32(bytes, 38), 2835u);
    if (palette) {
        EXPECT_TRUE(le32(bytes, 46) == 16u || le32(bytes, 46) == 0u);
    }
    EXPECT_EQ(le32(bytes, 10), quint32(14 + 40 + 4 * palette));
    EXPECT_EQ(bytes.size(), 14 + 40 + 4 * palette + stride * 22);

    const QImage image = buttonImage(name);
    ASSERT_EQ(image.size(), QSize(width, 22));
}

TEST_P(ButtonImage, HasTheRoundedGreyKeyFrameOnBlack)
{
    const QImage image = buttonImage(name());
    ASSERT_FALSE(image.isNull());
    const int r = image.width() - 1;
    const int b = image.height() - 1;
    for (int x = 2; x <= r - 2; ++x) {
        EXPECT_EQ(image.pixel(x, 0), kFrame);
        EXPECT_EQ(image.pixel(x, b), kFrame);
    }
    for (int y = 2; y <= b - 2; ++y) {
        EXPECT_EQ(image.pixel(0, y), kFrame);
        EXPECT_EQ(image.pixel(r, y), kFrame);
    }
    for (const QPoint &corner : {QPoint(0, 0), QPoint(r, 0), QPoint(0, b), QPoint(r, b)})
        EXPECT_EQ(image.pixel(corner), kBlack);
    for (const QPoint &corner : {QPoint(1, 1), QPoint(r - 1, 1), QPoint(1, b - 1), QPoint(r - 1, b - 1)})
        EXPECT_EQ(image.pixel(corner), kFrameCorner);
    EXPECT_EQ(image.pixel(2, 2), kBlack);
    EXPECT_EQ(image.pixel(r - 2, b - 2), kBlack);
}

TEST_P(ButtonImage, GlyphIsCentredInTheKey)
{
    const QImage image = buttonImage(name());
    const QRect g = glyphBounds(image);
    ASSERT_FALSE(g.isEmpty());
    EXPECT_LE(std::abs(g.left() - (image.width() - 1 - g.right())), 1) << "horizontally";
    // Words keep a common baseline, so only symbols are checked vertically.
    const QStringList words = {"bsSpeed", "bsInfo", "bsSave", "bsWWW", "bsRepead"};
    if (!words.contains(name())) {
        EXPECT_LE(std::abs(g.top() - (image.height() - 1 - g.bottom())), 1) << "vertically";
    }
}

INSTANTIATE_TEST_SUITE_P(All, ButtonImage, ::testing::ValuesIn(allButtons()),
                         [](const ::testing::TestParamInfo<std::string> &info) { return info.param; });

TEST(ButtonGlyphs, UseTheirLookColours)
{
    const std::set<QRgb> green = {qRgb(0, 200, 0), qRgb(100, 255, 100), qRgb(0, 134, 0)};
    const std::set<QRgb> nearWhite = {qRgb(239, 239, 239), qRgb(180, 180, 180)};
    const std::set<QRgb> lightGrey = {qRgb(212, 212, 212)};
    const std::set<QRgb> windows = {qRgb(212, 212, 212), qRgb(180, 180, 180)};
    const struct
    {
        const char *name;
        const std::set<QRgb> &colours;
    } looks[] = {
        {"bsZumAnfang", green}, {"bsRueckwaerts", green}, {"bsVorwaerts", green},  {"bsZumEnde", green},
        {"bsPause", nearWhite}, {"bsClose", nearWhite},   {"bsSpeed", lightGrey},  {"bsInfo", lightGrey},
        {"bsSave", lightGrey},  {"bsWWW", lightGrey},     {"bsRepead", lightGrey}, {"bsSize", windows},
    };
    for (const auto &look : looks)
        EXPECT_EQ(glyphColours(buttonImage(look.name)), look.colours) << look.name;
}

TEST(ButtonGlyphs, DisabledLooksShowTheSameGlyphInDarkGrey)
{
    const std::set<QRgb> darkGreys = {qRgb(45, 45, 45), qRgb(30, 30, 30)};
    for (const char *name : {"bsZumAnfang", "bsRueckwaerts", "bsPause", "bsVorwaerts", "bsZumEnde"}) {
        const QImage normal = buttonImage(name);
        const QImage disabled = buttonImage(QString(name) + "D");
        ASSERT_EQ(disabled.size(), normal.size()) << name;
        EXPECT_NE(disabled.convertToFormat(QImage::Format_RGB32),
                  normal.convertToFormat(QImage::Format_RGB32))
            << name;
        EXPECT_EQ(glyphColours(disabled), darkGreys) << name;
        int shapeDiffers = 0, frameDiffers = 0;
        for (int y = 0; y < normal.height(); ++y)
            for (int x = 0; x < normal.width(); ++x) {
                const bool inside = x >= 2 && y >= 2 && x < normal.width() - 2 && y < normal.height() - 2;
                if (inside)
                    shapeDiffers += (normal.pixel(x, y) == kBlack) != (disabled.pixel(x, y) == kBlack);
                else
                    frameDiffers += normal.pixel(x, y) != disabled.pixel(x, y);
            }
        EXPECT_EQ(shapeDiffers, 0) << name << ": same glyph shape";
        EXPECT_EQ(frameDiffers, 0) << name << ": same key frame";
    }
}

TEST(ButtonGlyphs, TransportSymbolsPointTheRightWay)
{
    // A triangle is tallest at its flat side: compare the ink in the glyph's outer columns.
    auto columnInk = [](const QImage &image, int x) {
        int ink = 0;
        for (int y = 2; y < image.height() - 2; ++y)
            ink += image.pixel(x, y) != kBlack;
        return ink;
    };
    for (const char *name : {"bsRueckwaerts", "bsVorwaerts"}) {
        const QImage image = buttonImage(name);
        const QRect g = glyphBounds(image);
        const bool pointsLeft = columnInk(image, g.left()) < columnInk(image, g.right());
        EXPECT_EQ(pointsLeft, QString(name) == "bsRueckwaerts") << name;
    }
    // To the start: a full-height bar, a gap, then the triangle's point; to the end mirrored.
    auto barThenPoint = [&](const QImage &image, bool fromLeft) {
        const QRect g = glyphBounds(image);
        const int step = fromLeft ? 1 : -1;
        int x = fromLeft ? g.left() : g.right();
        int barColumns = 0;
        for (; columnInk(image, x) == g.height(); x += step)
            ++barColumns;
        int gapColumns = 0;
        for (; columnInk(image, x) == 0; x += step)
            ++gapColumns;
        return barColumns > 0 && gapColumns > 0 && columnInk(image, x) <= 2;
    };
    EXPECT_TRUE(barThenPoint(buttonImage("bsZumAnfang"), true));
    EXPECT_TRUE(barThenPoint(buttonImage("bsZumEnde"), false));
}

}   // namespace
