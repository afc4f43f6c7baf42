// SPDX-License-Identifier: GPL-3.0-or-later
#include "EngineFixture.h"
#include "KeyframeStore.h"
#include "MyThread.h"
#include "SyntheticKeyframes.h"
#include "ZoomState.h"
#include "ZoomStepping.h"

#include <QtTest/QTest>
#include <thread>

namespace {
std::thread::id guiThread;
}

void Gate::open()
{
    {
        std::lock_guard lock(m_mutex);
        m_open = true;
    }
    m_opened.notify_all();
}

void Gate::wait()
{
    std::unique_lock lock(m_mutex);
    m_reached = true;
    m_opened.wait(lock, [this] { return m_open; });
}

bool Gate::reached() const
{
    std::lock_guard lock(m_mutex);
    return m_reached;
}

void EngineTest::SetUp()
{
    guiThread = std::this_thread::get_id();
    if (!loaderThread)
        loaderThread = new MyThread(true);
    loaderThread->waitUntilIdle();

    zoomUnitStart();
    ZoomStateRecord &zs = ZoomState;
    zs.viewWidth = 640;
    zs.viewHeight = 480;
    zs.viewRatio = double(zs.viewWidth) / zs.frameWidth;
    zs.frameRate = 30;
    zs.scale = 1.0;
    zs.stepFactor = 1.04;
    zs.totalZoom = 1.0L;
    zs.frontImage = 0;
    zs.activeBitmap = 'A';
    zs.nextReady = true;
    currentFrame = zs.firstFrame;
    pendingFrame = 0;

    host = std::make_unique<StandInHost>();
    useKeyframes(colourKeyframe);
}

void EngineTest::TearDown()
{
    gate.open();
    host->zgZoomIn.stop();
    host->zgZoomOut.stop();
    loaderThread->waitUntilIdle();
    loaderThread->setAfterLoadHook({});
    loaderThread->setWakeHook({});
    setKeyframeSource({});
    host.reset();
}

void EngineTest::useKeyframes(Bytes bytes)
{
    loaderThread->waitUntilIdle();
    setKeyframeSource([this, bytes = std::move(bytes)](int number) {
        {
            std::lock_guard lock(m_requestsMutex);
            m_requests.push_back({number, isLoaderThread()});
        }
        return number >= 1 && number <= 63 ? bytes(number) : QByteArray();
    });
}

bool EngineTest::isLoaderThread()
{
    return std::this_thread::get_id() != guiThread;
}

std::vector<KeyframeRequest> EngineTest::requests() const
{
    std::lock_guard lock(m_requestsMutex);
    return m_requests;
}

std::vector<int> EngineTest::loaderRequests() const
{
    std::vector<int> numbers;
    for (const KeyframeRequest &request : requests())
        if (request.onLoaderThread)
            numbers.push_back(request.number);
    return numbers;
}

void EngineTest::clearRequests()
{
    std::lock_guard lock(m_requestsMutex);
    m_requests.clear();
}

bool EngineTest::waitForNextReady(int timeoutMs)
{
    return QTest::qWaitFor([] { return ZoomState.nextReady.load(std::memory_order_acquire); }, timeoutMs);
}

int EngineTest::bitmapNumber(char letter)
{
    return keyframeNumberOf(keyframeBitmap(letter));
}

int EngineTest::tickUntilSwap(bool zoomIn, int maxTicks)
{
    const int before = currentFrame;
    for (int tick = 1; tick <= maxTicks; ++tick) {
        zoomIn ? zoomInTick() : zoomOutTick();
        if (currentFrame != before)
            return tick;
    }
    return -1;
}
