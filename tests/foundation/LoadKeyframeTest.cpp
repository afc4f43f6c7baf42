// SPDX-License-Identifier: GPL-3.0-or-later
// Filling the two keyframe bitmaps from embedded and injected JPEG data, and what a failure leaves.
#include "JpegFixture.h"
#include "KeyframeStore.h"
#include "ResourceStream.h"
#include "ToolkitError.h"
#include "ZoomState.h"

#include <gtest/gtest.h>

namespace {
struct InjectedKeyframes : ::testing::Test
{
    void SetUp() override
    {
        red = makeJpeg(16, 12, Qt::red);
        blue = makeJpeg(24, 8, Qt::blue);
        ASSERT_FALSE(red.isEmpty());
        setKeyframeSource([this](int number) {
            if (number == 1)
                return red;
            if (number == 2)
                return blue;
            if (number == 3)
                return QByteArray("not a JPEG at all");
            throw ToolkitError(QStringLiteral("Ressource %1 wurde nicht gefunden").arg(number));
        });
    }
    void TearDown() override { setKeyframeSource({}); }
    QByteArray red, blue;
};
}

TEST_F(InjectedKeyframes, LetterAFillsBitmapAAndEveryOtherLetterBitmapB)
{
    LoadKeyframe('A', 1);
    EXPECT_EQ(ZoomState.bitmapA.size(), QSize(16, 12));
    LoadKeyframe('B', 2);
    EXPECT_EQ(ZoomState.bitmapB.size(), QSize(24, 8));
    LoadKeyframe('x', 1);
    EXPECT_EQ(ZoomState.bitmapB.size(), QSize(16, 12));
    EXPECT_EQ(ZoomState.bitmapA.size(), QSize(16, 12));
    EXPECT_EQ(qRed(ZoomState.bitmapB.pixel(5, 5)) > 200, true);
}

TEST_F(InjectedKeyframes, UndecodableDataLeavesTheBitmapAndRaises)
{
    LoadKeyframe('B', 2);
    const QImage before = ZoomState.bitmapB.copy();
    try {
        LoadKeyframe('B', 3);
        FAIL() << "undecodable data was accepted";
    } catch (const ToolkitError &error) {
        EXPECT_TRUE(error.message().startsWith(QStringLiteral("JPEG-Fehler")));
    }
    EXPECT_EQ(ZoomState.bitmapB, before);
}

TEST(EmbeddedKeyframes, MissingNumbersRaiseNotFoundAndKeepTheBitmap)
{
    LoadKeyframe('A', 1);
    const QImage before = ZoomState.bitmapA.copy();
    for (int number : {0, 64, -1}) {
        try {
            LoadKeyframe('A', number);
            FAIL() << "keyframe " << number << " was found";
        } catch (const ToolkitError &error) {
            EXPECT_EQ(error.message(), QStringLiteral("Ressource %1 wurde nicht gefunden").arg(number));
        }
    }
    EXPECT_EQ(ZoomState.bitmapA, before);
}

TEST(EmbeddedKeyframes, CardsAndEveryKeyframeDecodeTo800x600)
{
    for (int number = 1; number <= 63; ++number) {
        LoadKeyframe(number % 2 ? 'A' : 'B', number);
        const QImage &bitmap = number % 2 ? ZoomState.bitmapA : ZoomState.bitmapB;
        EXPECT_EQ(bitmap.size(), QSize(800, 600)) << "keyframe " << number;
        EXPECT_EQ(bitmap.format(), QImage::Format_RGB32);
    }
}

TEST(EmbeddedResources, CasingsAreBitmapsAndOtherIdentifiersAreMissing)
{
    for (int id : {440, 640, 800})
        EXPECT_EQ(loadBitmapResource(id).size(), QSize(id + 64, id * 3 / 4 + 120));
    EXPECT_THROW(loadBitmapResource(641), ToolkitError);
    EXPECT_THROW(ResourceStream(4711), ToolkitError);
    // The bytes are a view into the executable, not a copy.
    EXPECT_EQ(ResourceStream(4).data(), ResourceStream(4).data());
}
