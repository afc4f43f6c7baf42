// SPDX-License-Identifier: GPL-3.0-or-later
// The zoom ticks, the still pictures and the repeat modes at both ends of the run.
#include "ZoomStepping.h"
#include "EngineFixture.h"
#include "FrameRenderer.h"
#include "SyntheticKeyframes.h"
#include "ZoomState.h"

#include <QtTest/QTest>

#include <cmath>
#include <optional>

namespace {
const QString endDigits = QStringLiteral("2305843009213693952");
const QString endWords = QStringLiteral("(2,3 Trillionen)");

// Mean absolute difference of two pictures of the same size, over all channels.
double meanDifference(const QImage &a, const QImage &b)
{
    long long sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum +=
                std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return double(sum) / (3.0 * a.width() * a.height());
}

bool allWithinTheKeyframes(const std::vector<KeyframeRequest> &requests)
{
    return std::all_of(requests.begin(), requests.end(),
                       [](const KeyframeRequest &r) { return r.number >= 1 && r.number <= 63; });
}
}

using ZoomStepping = EngineTest;

TEST_F(ZoomStepping, StillPicturesShowTheCardsWithTheirReadOuts)
{
    GoToEnd();
    EXPECT_EQ(host->looks, StandInHost::Looks::AtEnd);
    EXPECT_EQ(currentFrame, 63);
    EXPECT_EQ(ZoomState.scale, 1.0);
    EXPECT_EQ(ZoomState.activeBitmap, 'A');
    EXPECT_EQ(bitmapNumber('A'), 63);
    EXPECT_EQ(bitmapNumber('B'), 62);
    EXPECT_EQ(host->digits, endDigits);
    EXPECT_EQ(host->words, endWords);
    EXPECT_EQ(host->frontSurface, ZoomState.frontImage);
    EXPECT_EQ(keyframeNumberOf(host->shownView()), 63);

    GoToStart();
    EXPECT_EQ(host->looks, StandInHost::Looks::AtStart);
    EXPECT_EQ(currentFrame, 2);
    EXPECT_EQ(ZoomState.totalZoom, 1.0L);
    EXPECT_EQ(bitmapNumber('A'), 1);
    EXPECT_EQ(bitmapNumber('B'), 2);
    EXPECT_EQ(host->digits, "1,000");
    EXPECT_EQ(host->words, "");
    EXPECT_EQ(host->frontSurface, ZoomState.frontImage);
    EXPECT_EQ(keyframeNumberOf(host->shownView()), 1);
    EXPECT_FALSE(host->zgZoomIn.isActive());
    EXPECT_FALSE(host->zgZoomOut.isActive());
}

TEST_F(ZoomStepping, ForwardReplacesTheStartCardAndStartsTheTimer)
{
    GoToStart();
    host->startZoomingIn();
    EXPECT_EQ(bitmapNumber('A'), 2);
    EXPECT_EQ(bitmapNumber('B'), 3);
    EXPECT_EQ(pendingFrame, 3);
    EXPECT_TRUE(ZoomState.nextReady);
    EXPECT_EQ(keyframeNumberOf(host->shownView()), 2);
    EXPECT_EQ(host->digits, "1,000");
    EXPECT_TRUE(host->zgZoomIn.isActive());
    EXPECT_FALSE(host->zgZoomOut.isActive());
    EXPECT_EQ(host->zgZoomIn.interval(), 33);
}

TEST_F(ZoomStepping, ForwardAtTheEndCardDoesNothing)
{
    GoToEnd();
    clearRequests();
    const int repaints = host->repaints;
    startZoomDirection(true);
    EXPECT_TRUE(requests().empty());
    EXPECT_EQ(host->repaints, repaints);
    EXPECT_EQ(currentFrame, 63);
    EXPECT_FALSE(host->zgZoomIn.isActive());
    EXPECT_EQ(bitmapNumber('A'), 63);
}

TEST_F(ZoomStepping, TheFirstCrossingComesOnTheEighteenthTick)
{
    GoToStart();
    startZoomDirection(true);
    host->zgZoomIn.stop();
    for (int tick = 1; tick <= 17; ++tick)
        zoomInTick();
    EXPECT_EQ(currentFrame, 2);
    EXPECT_NEAR(ZoomState.scale, 1.948, 0.001);
    zoomInTick();
    EXPECT_EQ(currentFrame, 3);
    EXPECT_NEAR(ZoomState.scale, 2.026 / 2, 0.001);
    EXPECT_EQ(ZoomState.activeBitmap, 'B');
    EXPECT_EQ(pendingFrame, 4);
    EXPECT_EQ(ZoomState.totalZoom, 2.0L * ZoomState.scale);
    ASSERT_TRUE(waitForNextReady());
    EXPECT_EQ(bitmapNumber('A'), 4);
}

TEST_F(ZoomStepping, ATickRefusedForAnUnfinishedLoadChangesNothing)
{
    useKeyframes([this](int number) {
        if (number == 12 && isLoaderThread())
            gate.wait();
        return colourKeyframe(number);
    });
    currentFrame = 10;
    ZoomState.stepFactor = 1.3;
    startZoomDirection(true);
    host->zgZoomIn.stop();
    ASSERT_EQ(tickUntilSwap(true), 3);   // onto keyframe 11; the loader now waits to decode 12
    ASSERT_TRUE(QTest::qWaitFor([this] { return gate.reached(); }, 5000));

    const double swappedScale = ZoomState.scale;
    int refused = 0;
    for (int tick = 0; tick < 10; ++tick) {
        const double scale = ZoomState.scale;
        const char active = ZoomState.activeBitmap;
        const int repaints = host->repaints;
        const int front = ZoomState.frontImage;
        const QImage view = host->shownView();
        const QString digits = host->digits;
        zoomInTick();
        if (host->repaints == repaints) {
            ++refused;
            EXPECT_EQ(ZoomState.scale, scale);
            EXPECT_EQ(currentFrame, 11);
            EXPECT_EQ(ZoomState.activeBitmap, active);
            EXPECT_EQ(ZoomState.frontImage, front);
            EXPECT_EQ(host->shownView(), view);
            EXPECT_EQ(host->digits, digits);
        }
    }
    EXPECT_EQ(refused, 8);   // the first two ticks still fit below scale 2
    EXPECT_GT(ZoomState.scale, swappedScale);
    EXPECT_LE(ZoomState.scale, 2.0);

    gate.open();
    ASSERT_TRUE(waitForNextReady());
    zoomInTick();
    EXPECT_EQ(currentFrame, 12);
    EXPECT_EQ(keyframeNumberOf(host->shownView()), 12);
}

TEST_F(ZoomStepping, NoJumpAtASwapInEitherDirection)
{
    // Only the two keyframes on display need the picture; the loader's neighbours do not.
    useKeyframes([](int number) {
        return number == 20 || number == 21 ? twofoldKeyframe(number) : colourKeyframe(number);
    });
    currentFrame = 20;
    startZoomDirection(true);
    host->zgZoomIn.stop();
    while (ZoomState.scale * ZoomState.stepFactor <= 2.0)
        zoomInTick();
    const double last = ZoomState.scale;
    const double crossing = last * ZoomState.stepFactor;

    // What keyframe 20 would show at the crossing scale.
    ZoomState.scale = crossing;
    RenderFrame();
    const QImage unswapped = host->shownView();
    ZoomState.scale = last;

    zoomInTick();
    ASSERT_EQ(currentFrame, 21);
    EXPECT_EQ(ZoomState.totalZoom, std::ldexp(static_cast<long double>(crossing), 20 - 2));
    EXPECT_LT(meanDifference(unswapped, host->shownView()), 2.0);

    // A jump (keyframe 21 at the full crossing scale) is seen by the same comparison.
    const double swapped = ZoomState.scale;
    ZoomState.scale = crossing;
    RenderFrame();
    EXPECT_GT(meanDifference(unswapped, host->shownView()), 15.0);
    ZoomState.scale = swapped;

    // Back out across the same boundary.
    ASSERT_TRUE(waitForNextReady());
    startZoomDirection(false);
    host->zgZoomOut.stop();
    while (ZoomState.scale / ZoomState.stepFactor >= 1.0)
        zoomOutTick();
    const double before = ZoomState.scale;
    ZoomState.scale = before / ZoomState.stepFactor;
    RenderFrame();
    const QImage beforeOut = host->shownView();
    ZoomState.scale = before;
    zoomOutTick();
    ASSERT_EQ(currentFrame, 20);
    EXPECT_LT(meanDifference(beforeOut, host->shownView()), 2.0);
}

TEST_F(ZoomStepping, FullRunsInBothDirectionsStayWithinTheKeyframes)
{
    useKeyframes(smallColourKeyframe);
    ZoomState.frameRate = 1000;
    ZoomState.stepFactor = 1.9;
    GoToStart();
    clearRequests();
    host->startZoomingIn();
    ASSERT_TRUE(QTest::qWaitFor([this] { return host->looks == StandInHost::Looks::AtEnd; }, 30000));
    std::vector<int> expected;
    for (int n = 4; n <= 63; ++n)
        expected.push_back(n);
    EXPECT_EQ(loaderRequests(), expected);
    EXPECT_TRUE(allWithinTheKeyframes(requests()));
    EXPECT_EQ(currentFrame, 63);
    EXPECT_EQ(host->digits, endDigits);

    clearRequests();
    host->startZoomingOut();
    ASSERT_TRUE(QTest::qWaitFor([this] { return host->looks == StandInHost::Looks::AtStart; }, 30000));
    expected.clear();
    for (int n = 61; n >= 1; --n)
        expected.push_back(n);
    EXPECT_EQ(loaderRequests(), expected);
    EXPECT_TRUE(allWithinTheKeyframes(requests()));
    EXPECT_EQ(currentFrame, 2);
    EXPECT_EQ(host->digits, "1,000");
}

// The state right after the engine started a new direction at the end of a run.
struct Restart
{
    bool zoomIn;
    int frame;
    double scale;
    QString digits, words;
    int bitmapA, bitmapB;
    bool inTimer, outTimer;
};

struct EndCase
{
    bool zoomIn;
    const char *mode;
    std::optional<Restart> restart;   // none: stops on the still picture at that end
};

void PrintTo(const EndCase &end, std::ostream *out)
{
    *out << (end.zoomIn ? "zooming in, " : "zooming out, ") << end.mode;
}

class EndOfRun
    : public EngineTest
    , public ::testing::WithParamInterface<EndCase>
{
};

TEST_P(EndOfRun, RepeatModeDecidesWhatFollows)
{
    const EndCase end = GetParam();
    ZoomState.repeatMode = QLatin1String(end.mode);
    ZoomState.frameRate = 1000;
    ZoomState.stepFactor = 1.5;
    currentFrame = end.zoomIn ? 60 : 4;
    startZoomDirection(end.zoomIn);

    std::optional<Restart> restart;
    host->afterStartZooming = [this, &restart](bool zoomIn) {
        restart = Restart{zoomIn,
                          currentFrame,
                          ZoomState.scale,
                          host->digits,
                          host->words,
                          bitmapNumber('A'),
                          bitmapNumber('B'),
                          host->zgZoomIn.isActive(),
                          host->zgZoomOut.isActive()};
        host->zgZoomIn.stop();
        host->zgZoomOut.stop();
    };
    ASSERT_TRUE(QTest::qWaitFor(
        [this, &restart] {
            return restart || host->looks == StandInHost::Looks::AtEnd
                || host->looks == StandInHost::Looks::AtStart;
        },
        10000));
    EXPECT_TRUE(allWithinTheKeyframes(requests()));

    if (!end.restart) {
        ASSERT_FALSE(restart);
        EXPECT_EQ(host->looks, end.zoomIn ? StandInHost::Looks::AtEnd : StandInHost::Looks::AtStart);
        EXPECT_EQ(currentFrame, end.zoomIn ? 63 : 2);
        EXPECT_EQ(bitmapNumber('A'), end.zoomIn ? 63 : 1);
        EXPECT_EQ(bitmapNumber('B'), end.zoomIn ? 62 : 2);
        EXPECT_EQ(host->digits, end.zoomIn ? endDigits : QStringLiteral("1,000"));
        EXPECT_EQ(host->words, end.zoomIn ? endWords : QString());
        EXPECT_FALSE(host->zgZoomIn.isActive());
        EXPECT_FALSE(host->zgZoomOut.isActive());
        return;
    }
    ASSERT_TRUE(restart);
    const Restart &want = *end.restart;
    EXPECT_EQ(restart->zoomIn, want.zoomIn);
    EXPECT_EQ(restart->frame, want.frame);
    EXPECT_EQ(restart->scale, want.scale);
    EXPECT_EQ(restart->digits, want.digits);
    EXPECT_EQ(restart->words, want.words);
    EXPECT_EQ(restart->bitmapA, want.bitmapA);
    EXPECT_EQ(restart->bitmapB, want.bitmapB);
    EXPECT_EQ(restart->inTimer, want.inTimer);
    EXPECT_EQ(restart->outTimer, want.outTimer);
}

namespace {
const Restart inwardFromTheStart{true, 2, 1.0, QStringLiteral("1,000"), QString(), 2, 3, true, false};
const Restart outwardFromTheEnd{false, 62, 2.0, endDigits, endWords, 62, 61, false, true};
}

INSTANTIATE_TEST_SUITE_P(
    , EndOfRun,
    ::testing::Values(EndCase{true, "OFF", std::nullopt}, EndCase{true, "ON", inwardFromTheStart},
                      EndCase{true, "BIDI", outwardFromTheEnd}, EndCase{false, "OFF", std::nullopt},
                      EndCase{false, "ON", outwardFromTheEnd}, EndCase{false, "BIDI", inwardFromTheStart}),
    [](const ::testing::TestParamInfo<EndCase> &info) {
        return std::string(info.param.zoomIn ? "In" : "Out") + info.param.mode;
    });
