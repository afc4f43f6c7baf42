// SPDX-License-Identifier: GPL-3.0-or-later
// The committed program icon: a Windows icon with 48, 32 and 16 pixel images of
// 24 bits plus a transparency mask each, and the matching PNGs: a red disc with
// dark lettering.

#include "ArtworkFiles.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <gtest/gtest.h>

#include <cmath>

using namespace ArtworkFiles;

namespace {

const int kSizes[] = {48, 32, 16};

class ProgramIcon : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ico = readResource("icon/tiefenflug.ico");
        ASSERT_GE(ico.size(), 6 + 3 * 16);
        ASSERT_EQ(le16(ico, 4), 3);
    }

    int imageOffset(int index) const { return int(le32(ico, 6 + 16 * index + 12)); }

    // Whether the icon's one-bit mask shows the pixel (Windows draws the mask; the
    // PNGs carry the same shape as alpha).
    bool opaque(int index, int x, int y) const
    {
        const int size = kSizes[index];
        const int colourStride = (size * 3 + 3) / 4 * 4;
        const int maskStride = (size + 31) / 32 * 4;
        const int maskStart = imageOffset(index) + 40 + colourStride * size;
        const uchar byte = uchar(ico[maskStart + (size - 1 - y) * maskStride + x / 8]);
        return !(byte & (0x80 >> (x % 8)));
    }

    QByteArray ico;
};

TEST_F(ProgramIcon, HoldsThree24BitImagesWithMasksLargestFirst)
{
    EXPECT_EQ(le16(ico, 0), 0);
    EXPECT_EQ(le16(ico, 2), 1) << "icon, not cursor";
    for (int i = 0; i < 3; ++i) {
        const int entry = 6 + 16 * i;
        const int size = kSizes[i];
        EXPECT_EQ(uchar(ico[entry]), size);
        EXPECT_EQ(uchar(ico[entry + 1]), size);
        EXPECT_EQ(le16(ico, entry + 6), 24) << "entry bit count";
        const int offset = imageOffset(i);
        const int length = int(le32(ico, entry + 8));
        ASSERT_LE(offset + length, ico.size());
        const int colourStride = (size * 3 + 3) / 4 * 4;
        const int maskStride = (size + 31) / 32 * 4;
        EXPECT_EQ(le32(ico, offset), 40u);
        EXPECT_EQ(le32(ico, offset + 4), quint32(size));
        EXPECT_EQ(le32(ico, offset + 8), quint32(2 * size)) << "colour rows plus mask rows";
        EXPECT_EQ(le16(ico, offset + 14), 24);
        EXPECT_EQ(length, 40 + size * (colourStride + maskStride));
    }
}

TEST_F(ProgramIcon, MaskCutsOutARoundDisc)
{
    for (int i = 0; i < 3; ++i) {
        const int size = kSizes[i];
        int shown = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                shown += opaque(i, x, y);
        const double disc = M_PI * size * size / 4;
        EXPECT_NEAR(shown, disc, size) << size;
        for (const QPoint corner :
             {QPoint(0, 0), QPoint(size - 1, 0), QPoint(0, size - 1), QPoint(size - 1, size - 1)})
            EXPECT_FALSE(opaque(i, corner.x(), corner.y())) << size;
        EXPECT_TRUE(opaque(i, size / 2, 0)) << size << ": the disc touches the edges";
        EXPECT_TRUE(opaque(i, 0, size / 2)) << size;
    }
}

TEST_F(ProgramIcon, ShowsARedDiscWithDarkLetteringLikeItsPngs)
{
    QBuffer buffer(&ico);
    QImageReader reader(&buffer, "ico");
    ASSERT_EQ(reader.imageCount(), 3);
    for (int i = 0; i < 3; ++i) {
        const int size = kSizes[i];
        ASSERT_TRUE(reader.jumpToImage(i));
        const QImage image = reader.read().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(image.size(), QSize(size, size)) << reader.errorString().toStdString();

        // Across the upper middle: red disc with the dark strokes of the letters.
        int red = 0, dark = 0;
        const int y = size / 2 - size / 8;
        for (int x = 0; x < size; ++x) {
            const QRgb p = image.pixel(x, y);
            red += qRed(p) > 120 && qGreen(p) < 110 && qBlue(p) < 110;
            dark += qRed(p) < 60 && qGreen(p) < 60 && qBlue(p) < 60 && opaque(i, x, y);
        }
        EXPECT_GE(red, size / 4) << size;
        EXPECT_GE(dark, 2) << size;

        // The PNG of the same size: same colours where the icon is shown, alpha where it is not.
        QImage png =
            QImage::fromData(readResource("icon/tiefenflug-" + QString::number(size) + ".png"), "PNG");
        ASSERT_EQ(png.size(), image.size()) << size;
        EXPECT_TRUE(png.hasAlphaChannel());
        png = png.convertToFormat(QImage::Format_ARGB32);
        int differing = 0;
        for (int py = 0; py < size; ++py)
            for (int px = 0; px < size; ++px) {
                const QRgb p = png.pixel(px, py);
                if (opaque(i, px, py))
                    differing += qAlpha(p) < 128 || (p & 0xffffff) != (image.pixel(px, py) & 0xffffff);
                else
                    differing += qAlpha(p) >= 128;
            }
        EXPECT_EQ(differing, 0) << size;
    }
}

}   // namespace
