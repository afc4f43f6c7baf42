// SPDX-License-Identifier: GPL-3.0-or-later
// The background keyframe loader: its thread, the hand-over at a swap, the GUI-side loads that
// must not overlap it, and undecodable data.
#include "EngineFixture.h"
#include "KeyframeStore.h"
#include "MyThread.h"
#include "SyntheticKeyframes.h"
#include "ZoomState.h"
#include "ZoomStepping.h"

#include <QDir>
#include <QFile>
#include <QtTest/QTest>

#include <atomic>
#include <chrono>
#include <sys/resource.h>
#include <thread>

namespace {
// Nice values of this process's threads called `name`, read from /proc.
std::vector<int> niceValuesOfThreads(const QString &name)
{
    std::vector<int> values;
    const QString tasks = QStringLiteral("/proc/self/task");
    for (const QString &tid : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks + '/' + tid + QStringLiteral("/comm"));
        if (!comm.open(QIODevice::ReadOnly) || QString::fromLatin1(comm.readAll()).trimmed() != name)
            continue;
        QFile stat(tasks + '/' + tid + QStringLiteral("/stat"));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // Fields after the command name in parentheses; the nice value is field 19.
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        values.push_back(fields.value(19 - 3).toInt());
    }
    return values;
}

void sleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
}

class Loader : public EngineTest
{
protected:
    // Zooming in from keyframe `frame` with both bitmaps loaded, the timer stopped so that the
    // test ticks by hand.
    void startZoomingInByHand(int frame)
    {
        ZoomState.stepFactor = 1.6;
        currentFrame = frame;
        startZoomDirection(true);
        host->zgZoomIn.stop();
    }
};

TEST_F(Loader, StartsSuspendedBelowNormalPriority)
{
    clearRequests();
    // A second loader, which lives as long as the process like the real one and is never woken.
    static MyThread *const second = new MyThread(true);
    sleepMs(30);
    EXPECT_TRUE(requests().empty()) << "a suspended loader must not load before it is woken";
    second->waitUntilIdle();

    const int processNice = getpriority(PRIO_PROCESS, 0);
    const std::vector<int> nices = niceValuesOfThreads(QStringLiteral("Bild_laden"));
    ASSERT_GE(nices.size(), 2u);
    for (int nice : nices)
        EXPECT_EQ(nice, std::min(processNice + 10, 19));
}

TEST_F(Loader, EachSwapFillsTheOtherBitmapWithTheNextKeyframe)
{
    startZoomingInByHand(30);
    clearRequests();
    for (int swap = 1; swap <= 5; ++swap) {
        const char shownBefore = ZoomState.activeBitmap;
        ASSERT_GT(tickUntilSwap(true), 0);
        ASSERT_TRUE(waitForNextReady());
        EXPECT_EQ(currentFrame, 30 + swap);
        EXPECT_NE(ZoomState.activeBitmap, shownBefore);
        EXPECT_EQ(bitmapNumber(shownBefore), currentFrame + 1);
        EXPECT_EQ(bitmapNumber(ZoomState.activeBitmap), currentFrame);
    }
    startZoomDirection(false);
    host->zgZoomOut.stop();
    for (int swap = 1; swap <= 5; ++swap) {
        const char shownBefore = ZoomState.activeBitmap;
        ASSERT_GT(tickUntilSwap(false), 0);
        ASSERT_TRUE(waitForNextReady());
        EXPECT_EQ(currentFrame, 35 - swap);
        EXPECT_EQ(bitmapNumber(shownBefore), currentFrame - 1);
        EXPECT_EQ(bitmapNumber(ZoomState.activeBitmap), currentFrame);
    }
    // Five loads inward, then five outward (the backward button loads 35 and 34 itself).
    EXPECT_EQ(loaderRequests(), (std::vector<int>{32, 33, 34, 35, 36, 33, 32, 31, 30, 29}));
}

TEST_F(Loader, ASwapRightAfterNextReadyWasSetStillStartsTheNextLoad)
{
    startZoomingInByHand(10);
    // The loader stops after its first load, with nextReady already true, before it waits again.
    std::atomic<int> loads = 0;
    loaderThread->setAfterLoadHook([this, &loads] {
        if (++loads == 1)
            gate.wait();
    });
    ASSERT_GT(tickUntilSwap(true), 0);   // onto 11, the loader loads 12
    ASSERT_TRUE(QTest::qWaitFor([this] { return gate.reached(); }, 5000));
    ASSERT_TRUE(ZoomState.nextReady);
    ASSERT_GT(tickUntilSwap(true), 0);   // onto 12: asks for 13 right now
    EXPECT_EQ(currentFrame, 12);
    gate.open();
    ASSERT_TRUE(waitForNextReady(2000)) << "the wake-up during the loader's last step was lost";
    EXPECT_EQ(bitmapNumber(ZoomState.activeBitmap == 'A' ? 'B' : 'A'), 13);
    EXPECT_EQ(loads, 2);
}

TEST_F(Loader, WakesOnlyAfterTheSwapHasWrittenWhatItReads)
{
    // What the loader finds between waking and reading the state; resume() waits for it, so a
    // swap that woke the loader before writing everything is seen every time.
    struct Seen
    {
        char active;
        int pending;
        bool ready;
    };
    std::vector<Seen> seen;   // written under the loader's lock while the GUI thread waits
    loaderThread->setWakeHook([&seen] {
        seen.push_back({ZoomState.activeBitmap.load(), pendingFrame.load(), ZoomState.nextReady.load()});
    });
    ZoomState.stepFactor = 1.6;
    currentFrame = 20;
    for (bool zoomIn : {true, false}) {
        SCOPED_TRACE(zoomIn ? "zooming in" : "zooming out");
        startZoomDirection(zoomIn);
        host->zgZoomIn.stop();
        host->zgZoomOut.stop();
        for (int swap = 1; swap <= 3; ++swap) {
            const char shownBefore = ZoomState.activeBitmap;
            seen.clear();
            ASSERT_GT(tickUntilSwap(zoomIn), 0);
            ASSERT_EQ(seen.size(), 1u);
            EXPECT_NE(seen[0].active, shownBefore);
            EXPECT_EQ(seen[0].pending, zoomIn ? currentFrame + 1 : currentFrame - 1);
            EXPECT_FALSE(seen[0].ready);
            ASSERT_TRUE(waitForNextReady());
        }
    }
}

TEST_F(Loader, TheReserveLoadTakesOverARequestTheLoaderHasNotBegun)
{
    startZoomingInByHand(10);
    // Nothing to do while the inactive bitmap is ready.
    clearRequests();
    reserveLoad();
    EXPECT_TRUE(requests().empty());

    // The loader is held after its first load, so the next request waits latched.
    std::atomic<int> loads = 0;
    loaderThread->setAfterLoadHook([this, &loads] {
        if (++loads == 1)
            gate.wait();
    });
    ASSERT_GT(tickUntilSwap(true), 0);   // onto 11, the loader loads 12
    ASSERT_TRUE(QTest::qWaitFor([this] { return gate.reached(); }, 5000));
    ASSERT_GT(tickUntilSwap(true), 0);   // onto 12: 13 is asked for
    ASSERT_FALSE(ZoomState.nextReady);
    // The loader goes on only once the reserve load has dropped its request and waits for it.
    std::thread opener([this] {
        sleepMs(100);
        gate.open();
    });
    reserveLoad();
    opener.join();
    EXPECT_TRUE(ZoomState.nextReady);
    EXPECT_EQ(bitmapNumber(inactiveLetter()), 13);
    loaderThread->waitUntilIdle();
    EXPECT_EQ(loads, 1) << "the loader itself took the request";

    // The zoom goes on over the next boundary, with the loader again.
    ASSERT_GT(tickUntilSwap(true), 0);
    EXPECT_EQ(currentFrame, 13);
    ASSERT_TRUE(waitForNextReady());
    EXPECT_EQ(bitmapNumber(inactiveLetter()), 14);
}

// A transport button pressed right after a swap, while the loader still decodes.
struct Button
{
    const char *name;
    void (*press)();
    int bitmapA, bitmapB;   // with currentFrame 21 after the swap
};

void PrintTo(const Button &button, std::ostream *out)
{
    *out << button.name;
}

class ButtonAfterASwap
    : public EngineTest
    , public ::testing::WithParamInterface<Button>
{
};

TEST_P(ButtonAfterASwap, LeavesBothBitmapsWithWhatTheButtonLoaded)
{
    const Button button = GetParam();
    // Background decodes take a while, so the button comes while one runs or before it starts.
    useKeyframes([](int number) {
        if (isLoaderThread())
            sleepMs(20);
        return colourKeyframe(number);
    });
    ZoomState.stepFactor = 1.6;
    for (bool loaderBusy : {false, true}) {
        SCOPED_TRACE(loaderBusy ? "while the loader decodes" : "right after the swap");
        currentFrame = 20;
        ZoomState.scale = 1.0;
        startZoomDirection(true);
        host->zgZoomIn.stop();
        clearRequests();
        ASSERT_GT(tickUntilSwap(true), 0);
        ASSERT_EQ(currentFrame, 21);
        if (loaderBusy) {
            ASSERT_TRUE(QTest::qWaitFor([this] { return !loaderRequests().empty(); }, 5000));
        }

        button.press();
        EXPECT_TRUE(ZoomState.nextReady);
        EXPECT_EQ(ZoomState.activeBitmap, 'A');
        EXPECT_EQ(bitmapNumber('A'), button.bitmapA);
        EXPECT_EQ(bitmapNumber('B'), button.bitmapB);
        // Nothing the loader was asked for before the button arrives later.
        sleepMs(60);
        loaderThread->waitUntilIdle();
        EXPECT_EQ(bitmapNumber('A'), button.bitmapA);
        EXPECT_EQ(bitmapNumber('B'), button.bitmapB);
        EXPECT_LE(loaderRequests().size(), 1u);
        host->zgZoomIn.stop();
        host->zgZoomOut.stop();
    }
}

INSTANTIATE_TEST_SUITE_P(, ButtonAfterASwap,
                         ::testing::Values(Button{"Forward", [] { startZoomDirection(true); }, 21, 22},
                                           Button{"Backward", [] { startZoomDirection(false); }, 21, 20},
                                           Button{"ToStart", GoToStart, 1, 2},
                                           Button{"ToEnd", GoToEnd, 63, 62}),
                         [](const ::testing::TestParamInfo<Button> &info) {
                             return std::string(info.param.name);
                         });

TEST_F(Loader, UndecodableDataHoldsTheZoomAndTheLoaderTakesTheNextRequest)
{
    useKeyframes([](int number) {
        return number == 12 ? QByteArray("\xff\xd8 not a picture", 17) : colourKeyframe(number);
    });
    ZoomState.frameRate = 500;
    ZoomState.stepFactor = 1.5;
    currentFrame = 10;
    int ticks = 0;
    QObject::connect(&host->zgZoomIn, &QTimer::timeout, [&ticks] { ++ticks; });
    startZoomDirection(true);

    // Onto keyframe 11; the loader fails on 12 and the zoom holds at the boundary.
    ASSERT_TRUE(QTest::qWaitFor([] { return currentFrame == 11; }, 5000));
    ASSERT_TRUE(QTest::qWaitFor([this] { return loaderRequests() == std::vector<int>{12}; }, 5000));
    loaderThread->waitUntilIdle();
    const int repaints = host->repaints;
    const int ticksBefore = ticks;
    ASSERT_TRUE(QTest::qWaitFor([&ticks, ticksBefore] { return ticks >= ticksBefore + 10; }, 5000));
    EXPECT_EQ(currentFrame, 11);
    EXPECT_FALSE(ZoomState.nextReady);
    EXPECT_LE(host->repaints, repaints + 2);   // at most the ticks still below scale 2
    EXPECT_LE(ZoomState.scale, 2.0);

    // Backward reloads on the GUI side; the next swap outward goes to the loader again.
    startZoomDirection(false);
    host->zgZoomOut.stop();
    clearRequests();
    ASSERT_GT(tickUntilSwap(false), 0);
    EXPECT_EQ(currentFrame, 10);
    ASSERT_TRUE(waitForNextReady());
    EXPECT_EQ(loaderRequests(), std::vector<int>{9});
    EXPECT_EQ(bitmapNumber(ZoomState.activeBitmap == 'A' ? 'B' : 'A'), 9);
}
