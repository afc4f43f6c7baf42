// SPDX-License-Identifier: GPL-3.0-or-later
// The committed casing pictures: file format, screen area, key-coloured corners,
// read-out frame and the black panel under the buttons, for all three sizes.

#include "ArtworkFiles.h"

#include <QBitmap>
#include <QImage>
#include <QRect>

#include <gtest/gtest.h>

#include <set>

using namespace ArtworkFiles;

namespace {

const QRgb kLime = qRgb(0, 255, 0);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kGrey = qRgb(120, 120, 120);

struct Casing
{
    int width;
    QSize picture;
    QRect screen;
    QRect readout;
    QList<QPoint> keys;         // the ten 42-pixel-wide picture buttons
    QList<QPoint> narrowKeys;   // size and close, 34 pixels wide
};

const Casing kCasings[] = {
    {440,
     {504, 450},
     {32, 24, 440, 330},
     QRect(QPoint(264, 382), QPoint(443, 435)),
     {{16, 382},
      {65, 382},
      {114, 382},
      {163, 382},
      {212, 382},
      {16, 414},
      {65, 414},
      {114, 414},
      {163, 414},
      {212, 414}},
     {{454, 382}, {454, 414}}},
    {640,
     {704, 600},
     {32, 24, 640, 480},
     QRect(QPoint(359, 532), QPoint(538, 585)),
     {{45, 532},
      {104, 532},
      {163, 532},
      {222, 532},
      {281, 532},
      {45, 564},
      {104, 564},
      {163, 564},
      {222, 564},
      {281, 564}},
     {{574, 548}, {625, 548}}},
    {800,
     {864, 720},
     {32, 24, 800, 600},
     QRect(QPoint(555, 652), QPoint(734, 705)),
     {{294, 668},
      {343, 668},
      {392, 668},
      {441, 668},
      {490, 668},
      {31, 668},
      {80, 668},
      {129, 668},
      {178, 668},
      {227, 668}},
     {{758, 668}, {799, 668}}},
};

// Key pixels per corner row, from the outer edge inwards.
const int kCornerRow[] = {7, 5, 4, 3, 2, 1, 1};

bool inKeyCorner(int x, int y, QSize size)
{
    const int row = std::min(y, size.height() - 1 - y);
    const int col = std::min(x, size.width() - 1 - x);
    return row < 7 && col < kCornerRow[row];
}

class CasingPicture : public ::testing::TestWithParam<Casing>
{
protected:
    void SetUp() override
    {
        bytes = readResource("casing/" + QString::number(GetParam().width) + ".bmp");
        ASSERT_FALSE(bytes.isEmpty()) << "missing casing picture " << GetParam().width;
        ASSERT_TRUE(image.loadFromData(bytes, "BMP"));
    }

    QByteArray bytes;
    QImage image;
};

TEST_P(CasingPicture, IsAnUncompressed8BitBitmapWithFullPaletteAt72Dpi)
{
    const Casing &c = GetParam();
    const int stride = (c.picture.width() + 3) / 4 * 4;
    EXPECT_EQ(bytes.left(2), QByteArray("BM"));
    EXPECT_EQ(le32(bytes, 2), quint32(bytes.size()));
    EXPECT_EQ(le32(bytes, 14), 40u) << "BITMAPINFOHEADER";
    EXPECT_EQ(le32(bytes, 18), quint32(c.picture.width()));
    EXPECT_EQ(le32(bytes, 22), quint32(c.picture.height())) << "bottom-up rows";
    EXPECT_EQ(le16(bytes, 26), 1);
    EXPECT_EQ(le16(bytes, 28), 8);
    EXPECT_EQ(le32(bytes, 30), 0u) << "uncompressed";
    EXPECT_EQ(le32(bytes, 38), 2835u);
    EXPECT_EQ(le32(bytes, 42), 2835u);
    const quint32 paletteEntries = le32(bytes, 46) ? le32(bytes, 46) : 256;
    EXPECT_EQ(paletteEntries, 256u);
    EXPECT_EQ(le32(bytes, 10), 14u + 40u + 4u * 256u);
    EXPECT_EQ(bytes.size(), 14 + 40 + 4 * 256 + stride * c.picture.height());

    EXPECT_EQ(image.format(), QImage::Format_Indexed8);
    std::set<QRgb> inUse;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            inUse.insert(image.pixel(x, y));
    EXPECT_LE(inUse.size(), 48u) << "a small palette";
    for (QRgb c : inUse)
        EXPECT_TRUE(c == kLime || (qRed(c) == qGreen(c) && qGreen(c) == qBlue(c)))
            << "a black casing uses greys only, found " << std::hex << c;
}

TEST_P(CasingPicture, ScreenAreaIsBlackInsideAOnePixelGreyFrame)
{
    const Casing &c = GetParam();
    ASSERT_EQ(image.size(), c.picture);
    EXPECT_EQ(image.width(), c.width + 64);
    EXPECT_EQ(image.height(), c.width * 3 / 4 + 120);
    EXPECT_EQ(c.screen.topLeft(), QPoint(32, 24));

    int notBlack = 0;
    for (int y = c.screen.top(); y <= c.screen.bottom(); ++y)
        for (int x = c.screen.left(); x <= c.screen.right(); ++x)
            notBlack += image.pixel(x, y) != kBlack;
    EXPECT_EQ(notBlack, 0);

    const QRect frame = c.screen.adjusted(-1, -1, 1, 1);
    int notGrey = 0;
    for (int x = frame.left(); x <= frame.right(); ++x)
        notGrey += (image.pixel(x, frame.top()) != kGrey) + (image.pixel(x, frame.bottom()) != kGrey);
    for (int y = frame.top(); y <= frame.bottom(); ++y)
        notGrey += (image.pixel(frame.left(), y) != kGrey) + (image.pixel(frame.right(), y) != kGrey);
    EXPECT_EQ(notGrey, 0);
}

TEST_P(CasingPicture, KeyColourLiesOnlyInTheFourRoundedCorners)
{
    int keys = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const bool lime = image.pixel(x, y) == kLime;
            keys += lime;
            EXPECT_EQ(lime, inKeyCorner(x, y, image.size())) << "at " << x << "," << y;
        }
    EXPECT_EQ(keys, 92);

    // The monitor window masks the key colour out exactly this way.
    const QImage mask = image.createMaskFromColor(kLime, Qt::MaskInColor);
    int seeThrough = 0;
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x)
            seeThrough += mask.pixelIndex(x, y) == 1;
    EXPECT_EQ(seeThrough, 92);
}

TEST_P(CasingPicture, ReadoutFrameIsARoundedGreyBoxWhereTheLabelsSit)
{
    const QRect r = GetParam().readout;
    ASSERT_EQ(r.size(), QSize(180, 54));
    // Straight edges grey, corners rounded off.
    for (int x = r.left() + 3; x <= r.right() - 3; ++x) {
        EXPECT_EQ(image.pixel(x, r.top()), kGrey) << x;
        EXPECT_EQ(image.pixel(x, r.bottom()), kGrey) << x;
    }
    for (int y = r.top() + 3; y <= r.bottom() - 3; ++y) {
        EXPECT_EQ(image.pixel(r.left(), y), kGrey) << y;
        EXPECT_EQ(image.pixel(r.right(), y), kGrey) << y;
    }
    for (const QPoint &corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()})
        EXPECT_EQ(image.pixel(corner), kBlack) << "rounded corner";
    EXPECT_EQ(image.pixel(r.left() + 1, r.top() + 1), kGrey);
    EXPECT_EQ(image.pixel(r.right() - 1, r.bottom() - 1), kGrey);

    // Black inside and in a band around it, so the box is exactly 180 x 54.
    for (int y = r.top() - 2; y <= r.bottom() + 2; ++y)
        for (int x = r.left() - 2; x <= r.right() + 2; ++x) {
            const bool edgeBand = x >= r.left() && x <= r.right() && y >= r.top() && y <= r.bottom()
                && (x <= r.left() + 2 || x >= r.right() - 2 || y <= r.top() + 2 || y >= r.bottom() - 2);
            if (!edgeBand) {
                EXPECT_EQ(image.pixel(x, y), kBlack) << "at " << x << "," << y;
            }
        }
}

TEST_P(CasingPicture, PanelIsBlackUnderEveryButton)
{
    const Casing &c = GetParam();
    QList<QRect> keys;
    for (const QPoint &p : c.keys)
        keys << QRect(p, QSize(42, 22));
    for (const QPoint &p : c.narrowKeys)
        keys << QRect(p, QSize(34, 22));
    for (const QRect &k : keys) {
        int notBlack = 0;
        for (int y = k.top(); y <= k.bottom(); ++y)
            for (int x = k.left(); x <= k.right(); ++x)
                notBlack += image.pixel(x, y) != kBlack;
        EXPECT_EQ(notBlack, 0) << "under the button at " << k.x() << "," << k.y();
    }
}

TEST_P(CasingPicture, OutlineIsGreyAlongTheLowerPart)
{
    const Casing &c = GetParam();
    const int w = image.width();
    const int h = image.height();
    for (int x = 7; x < w - 7; ++x)
        EXPECT_EQ(image.pixel(x, h - 1), kGrey) << x;
    // The sides from the top of the panel's controls down to the rounded corners.
    for (int y = c.readout.top(); y < h - 7; ++y) {
        EXPECT_EQ(image.pixel(0, y), kGrey) << y;
        EXPECT_EQ(image.pixel(w - 1, y), kGrey) << y;
    }
    // The rounded corner's edge: the first non-key pixel of each corner row.
    for (int row = 0; row < 7; ++row) {
        EXPECT_EQ(image.pixel(kCornerRow[row], h - 1 - row), kGrey) << row;
        EXPECT_EQ(image.pixel(w - 1 - kCornerRow[row], h - 1 - row), kGrey) << row;
    }
}

TEST_P(CasingPicture, BezelShadesFromBlackOutsideToDarkGreyAtTheScreen)
{
    const QRect frame = GetParam().screen.adjusted(-1, -1, 1, 1);
    const int midY = frame.center().y();
    const int midX = frame.center().x();
    // Just inside the outline and just outside the frame, on all four sides.
    const struct
    {
        QPoint outer, inner;
    } sides[] = {
        {{1, midY}, {frame.left() - 3, midY}},
        {{image.width() - 2, midY}, {frame.right() + 3, midY}},
        {{midX, 1}, {midX, frame.top() - 3}},
    };
    for (const auto &s : sides) {
        const int outer = qGray(image.pixel(s.outer));
        const int inner = qGray(image.pixel(s.inner));
        EXPECT_LE(outer, 16) << "near black at the casing edge";
        EXPECT_GE(inner, 24) << "dark grey towards the screen";
        EXPECT_LT(inner, 120) << "darker than the frame";
    }
}

INSTANTIATE_TEST_SUITE_P(AllSizes, CasingPicture, ::testing::ValuesIn(kCasings),
                         [](const ::testing::TestParamInfo<Casing> &info) {
                             return "Width" + std::to_string(info.param.width);
                         });

}   // namespace
