// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <condition_variable>
#include <functional>
#include <mutex>

// The background keyframe loader: one thread for the whole run, created suspended at the lowest
// priority. Each resume loads keyframe pendingFrame into the bitmap activeBitmap does not name
// and then sets ZoomState.nextReady. In the sharp view it also decodes the deeper keyframes the
// view composes (SharpLayers), after the bitmap and never in its way.
class MyThread
{
public:
    explicit MyThread(bool createSuspended);
    void resume();          // one load request; never lost, also right after nextReady was set
    void waitUntilIdle();   // GUI-side loads call this so they never overlap a background load
    void fillLayers();      // decode what SharpLayers misses; never delays a bitmap load

    // Test seam: runs on the loader thread after each load, before it goes back to waiting.
    void setAfterLoadHook(std::function<void()> hook);
    // Test seam: runs on the loader thread when a request has woken it, before it reads
    // activeBitmap and pendingFrame. While one is set, resume() returns only after it has run,
    // so it sees the shared state exactly as the request left it.
    void setWakeHook(std::function<void()> hook);

private:
    void run();
    void loadPending();         // the bitmap request: pendingFrame into the inactive bitmap
    void fillMissingLayers();   // returns early when a bitmap request comes in

    std::mutex m_mutex;
    std::condition_variable m_wake;   // a request arrived
    std::condition_variable m_idle;   // a load ended
    bool m_requested = false;         // latched: a request made during a load is kept
    bool m_layersRequested = false;   // latched like m_requested, for the sharp view's layers
    bool m_loading = false;
    bool m_started = false;
    std::function<void()> m_afterLoadHook;
    std::function<void()> m_wakeHook;
    unsigned m_wakeHooksRun = 0;
};

extern MyThread *loaderThread;
