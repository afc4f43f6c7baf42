// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing one zoom view: the rectangles, the surface flip and the stretched copy.
#include "FrameRenderer.h"
#include "EngineFixture.h"
#include "ZoomState.h"

#include <QRandomGenerator>

namespace {
struct DisplaySize
{
    int width, height;
};
const DisplaySize klein{440, 330}, mittel{640, 480}, gross{800, 600};

void setDisplaySize(DisplaySize size)
{
    ZoomState.viewWidth = size.width;
    ZoomState.viewHeight = size.height;
    ZoomState.viewRatio = double(size.width) / ZoomState.frameWidth;
}

QImage noisePicture()
{
    QImage picture(800, 600, QImage::Format_RGB32);
    QRandomGenerator random(4711);
    for (int y = 0; y < picture.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            line[x] = 0xff000000u | (random.generate() & 0xffffffu);
    }
    return picture;
}

// Every pixel names its own position, so a copied pixel tells where it came from.
QImage positionPicture()
{
    QImage picture(800, 600, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            line[x] = 0xff000000u | quint32(y) << 12 | quint32(x);
    }
    return picture;
}

int sourceX(QRgb pixel)
{
    return int(pixel & 0xfff);
}
int sourceY(QRgb pixel)
{
    return int((pixel >> 12) & 0xfff);
}
}

using FrameRenderer = EngineTest;

TEST_F(FrameRenderer, SourceRectangleForEachDisplaySizeAndScale)
{
    struct Row
    {
        DisplaySize size;
        double scale;
        FrameRect source;
    };
    const Row rows[] = {
        {mittel, 1.0, {80, 60, 720, 540}},   {mittel, 1.5, {187, 140, 613, 460}},
        {mittel, 2.0, {240, 180, 560, 420}}, {klein, 1.0, {180, 135, 620, 465}},
        {gross, 1.0, {0, 0, 800, 600}},      {gross, 2.0, {200, 150, 600, 450}},
        {klein, 2.0, {290, 218, 510, 382}},
    };
    for (const Row &row : rows) {
        setDisplaySize(row.size);
        ZoomState.scale = row.scale;
        RenderFrame();
        SCOPED_TRACE(std::to_string(row.size.width) + " at scale " + std::to_string(row.scale));
        EXPECT_EQ(sourceRect.left, row.source.left);
        EXPECT_EQ(sourceRect.top, row.source.top);
        EXPECT_EQ(sourceRect.right, row.source.right);
        EXPECT_EQ(sourceRect.bottom, row.source.bottom);
        EXPECT_EQ(targetRect.left, 0);
        EXPECT_EQ(targetRect.top, 0);
        EXPECT_EQ(targetRect.right, row.size.width);
        EXPECT_EQ(targetRect.bottom, row.size.height);
    }
}

TEST_F(FrameRenderer, AtScaleOneEveryDisplaySizeShowsTheCentralCropPixelForPixel)
{
    ZoomState.bitmapA = noisePicture();
    for (DisplaySize size : {klein, mittel, gross}) {
        setDisplaySize(size);
        RenderFrame();
        const QImage crop =
            ZoomState.bitmapA.copy((800 - size.width) / 2, (600 - size.height) / 2, size.width, size.height);
        EXPECT_EQ(host->shownView(), crop) << "display width " << size.width;
    }
}

TEST_F(FrameRenderer, MagnificationRepeatsSourcePixelsWithoutBlending)
{
    ZoomState.bitmapA = positionPicture();
    setDisplaySize(mittel);

    // Twice the size: every keyframe pixel becomes a 2 x 2 block.
    ZoomState.scale = 2.0;
    RenderFrame();
    QImage view = host->shownView();
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            ASSERT_EQ(view.pixel(x, y), ZoomState.bitmapA.pixel(240 + x / 2, 180 + y / 2))
                << "at " << x << "," << y;

    // Other scales: each shown pixel is the keyframe pixel under its centre.
    for (DisplaySize size : {klein, mittel, gross}) {
        setDisplaySize(size);
        for (double scale : {1.04, 1.5, 1.7777, 1.99}) {
            ZoomState.scale = scale;
            RenderFrame();
            view = host->shownView();
            // Source pixel `offset` (counted from the rectangle's edge) lies under the centre of
            // shown pixel `position` when offset <= (position + 1/2) * fromSize / shownSize <
            // offset + 1; compared in integers to stay exact.
            const auto under = [](int offset, int position, int fromSize, int shownSize) {
                const long long centre = (2LL * position + 1) * fromSize;
                return 2LL * shownSize * offset <= centre && centre < 2LL * shownSize * (offset + 1);
            };
            for (int y = 0; y < size.height; ++y) {
                for (int x = 0; x < size.width; ++x) {
                    const QRgb pixel = view.pixel(x, y);
                    ASSERT_TRUE(
                        under(sourceX(pixel) - sourceRect.left, x, sourceRect.width(), size.width)
                        && under(sourceY(pixel) - sourceRect.top, y, sourceRect.height(), size.height))
                        << "display " << size.width << ", scale " << scale << ": pixel " << x << "," << y
                        << " came from " << sourceX(pixel) << "," << sourceY(pixel);
                }
            }
        }
    }
}

TEST_F(FrameRenderer, ConsecutiveCallsAlternateTheSurfacesAndWriteOnlyTheView)
{
    ZoomState.bitmapA = noisePicture();
    setDisplaySize(klein);
    const QRgb untouched = qRgb(1, 2, 3);
    host->surfaces[0].fill(untouched);
    host->surfaces[1].fill(untouched);

    RenderFrame();   // sends surface 0 back and draws into surface 1
    EXPECT_EQ(ZoomState.frontImage, 1);
    EXPECT_EQ(host->lastRepainted, 1);
    EXPECT_EQ(host->frontSurface, 1);
    EXPECT_EQ(host->surfaces[0].pixel(10, 10), untouched);
    EXPECT_NE(host->surfaces[1].pixel(10, 10), untouched);
    EXPECT_EQ(host->surfaces[1].pixel(440, 0), untouched);   // right of the view
    EXPECT_EQ(host->surfaces[1].pixel(0, 330), untouched);   // below the view
    EXPECT_EQ(host->digits, "1,000");
    EXPECT_EQ(host->words, "");

    ZoomState.totalZoom = 2500000.0L;
    RenderFrame();
    EXPECT_EQ(ZoomState.frontImage, 0);
    EXPECT_EQ(host->lastRepainted, 0);
    EXPECT_EQ(host->frontSurface, 0);
    EXPECT_EQ(host->surfaces[0].copy(0, 0, 440, 330), host->surfaces[1].copy(0, 0, 440, 330));
    EXPECT_EQ(host->digits, "2500000");
    EXPECT_EQ(host->words, "(2,5 Millionen)");
    EXPECT_EQ(host->repaints, 2);
}

TEST_F(FrameRenderer, ReadsOnlyTheActiveBitmap)
{
    ZoomState.bitmapA = QImage();
    ZoomState.bitmapB = noisePicture();
    ZoomState.activeBitmap = 'B';
    RenderFrame();
    EXPECT_EQ(host->shownView(), ZoomState.bitmapB.copy(80, 60, 640, 480));
}
