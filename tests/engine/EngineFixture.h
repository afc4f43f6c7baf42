// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Common ground of the engine tests: the zoom state at its start values, a window-less host,
// the program's one loader thread, and keyframes that come from the test and are recorded.
#include "StandInHost.h"

#include <QByteArray>
#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// A door one thread waits at until another opens it.
class Gate
{
public:
    void open();
    void wait();
    bool reached() const;   // somebody has arrived at the gate

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_opened;
    bool m_open = false;
    bool m_reached = false;
};

struct KeyframeRequest
{
    int number;
    bool onLoaderThread;
};

class EngineTest : public ::testing::Test
{
protected:
    using Bytes = std::function<QByteArray(int number)>;

    void SetUp() override;
    void TearDown() override;

    // True on any thread but the one that runs the tests.
    static bool isLoaderThread();
    // Keyframe data for the rest of the test; every request is recorded.
    void useKeyframes(Bytes bytes);
    std::vector<KeyframeRequest> requests() const;
    std::vector<int> loaderRequests() const;
    void clearRequests();

    // Waits (running the event loop) until the loader has published the inactive bitmap.
    bool waitForNextReady(int timeoutMs = 5000);
    // Number of the colour keyframe in bitmap 'A' or 'B' (read on the GUI thread while the
    // loader is idle or after nextReady).
    static int bitmapNumber(char letter);
    // Ticks by hand until the keyframe changes; returns the number of ticks, or -1.
    int tickUntilSwap(bool zoomIn, int maxTicks = 100);

    std::unique_ptr<StandInHost> host;
    // Keyframe sources may hold the loader here; TearDown opens it before anything else.
    Gate gate;

private:
    mutable std::mutex m_requestsMutex;
    std::vector<KeyframeRequest> m_requests;
};
