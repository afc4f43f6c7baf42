// SPDX-License-Identifier: GPL-3.0-or-later
#include "MyThread.h"
#include "KeyframeStore.h"
#include "SharpFrame.h"
#include "SharpLayers.h"
#include "ZoomState.h"

#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <thread>

MyThread *loaderThread = nullptr;

namespace {
// Two steps below normal, above idle: the loader yields to the GUI thread and to everything else
// at normal priority, but unlike SCHED_IDLE it still runs on a busy machine.
constexpr int loaderNiceIncrement = 10;

void lowerOwnPriority()
{
    const pid_t self = gettid();
    const int processNice = getpriority(PRIO_PROCESS, 0);
    setpriority(PRIO_PROCESS, id_t(self), std::min(processNice + loaderNiceIncrement, 19));
}
}

MyThread::MyThread(bool createSuspended) : m_requested(!createSuspended)
{
    // The thread is never joined: it lives until the process ends and never touches the object
    // after that, so it is detached at once.
    std::thread(&MyThread::run, this).detach();
    // Return only once the thread runs at its priority and waits.
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return m_started; });
}

void MyThread::resume()
{
    std::unique_lock lock(m_mutex);
    m_requested = true;
    m_wake.notify_one();
    if (m_wakeHook) {
        const unsigned before = m_wakeHooksRun;
        m_idle.wait(lock, [this, before] { return m_wakeHooksRun != before; });
    }
}

void MyThread::waitUntilIdle()
{
    std::unique_lock lock(m_mutex);
    // A request the loader has not picked up yet is dropped: the caller is about to load both
    // bitmaps itself. A load that has begun is finished first.
    m_requested = false;
    m_idle.wait(lock, [this] { return !m_loading; });
}

void MyThread::fillLayers()
{
    {
        std::lock_guard lock(m_mutex);
        m_layersRequested = true;
    }
    m_wake.notify_one();
}

void MyThread::setAfterLoadHook(std::function<void()> hook)
{
    std::lock_guard lock(m_mutex);
    m_afterLoadHook = std::move(hook);
}

void MyThread::setWakeHook(std::function<void()> hook)
{
    std::lock_guard lock(m_mutex);
    m_wakeHook = std::move(hook);
}

void MyThread::run()
{
    pthread_setname_np(pthread_self(), "Bild_laden");
    lowerOwnPriority();

    std::unique_lock lock(m_mutex);
    m_started = true;
    m_idle.notify_all();
    for (;;) {
        m_wake.wait(lock, [this] { return m_requested || m_layersRequested; });
        if (m_requested) {
            m_requested = false;
            m_loading = true;
            if (m_wakeHook) {
                m_wakeHook();
                ++m_wakeHooksRun;
                m_idle.notify_all();
            }
            const std::function<void()> afterLoad = m_afterLoadHook;
            lock.unlock();
            loadPending();
            if (afterLoad)
                afterLoad();
            lock.lock();
            m_loading = false;
            m_idle.notify_all();
            continue;   // a bitmap request made meanwhile comes before the layers
        }
        m_layersRequested = false;
        lock.unlock();
        fillMissingLayers();
        lock.lock();
    }
}

void MyThread::loadPending()
{
    // activeBitmap and pendingFrame were written before the request; the mutex makes them
    // visible here.
    const char letter = inactiveLetter();
    const int number = pendingFrame.load();
    try {
        // The sharp view usually has the keyframe decoded already: the bitmap shares it.
        const KeyframeLayer layer = sharpPresentation() ? sharpLayers().layer(number) : KeyframeLayer();
        if (layer.isNull()) {
            LoadKeyframe(letter, number);
        } else {
            keyframeBitmap(letter) = layer.full;
            setBitmapKeyframeNumber(letter, number);
        }
        // Publishes the finished bitmap to the GUI thread, which reads nextReady with acquire.
        ZoomState.nextReady.store(true, std::memory_order_release);
    } catch (...) {
        // Undecodable data: nextReady stays false, so the zoom holds at the next keyframe
        // boundary; the loader stays ready for the next request.
    }
}

void MyThread::fillMissingLayers()
{
    const auto bitmapRequested = [this] {
        std::lock_guard lock(m_mutex);
        if (m_requested)
            m_layersRequested = true;   // the bitmap first, then the rest
        return m_requested;
    };
    for (int number = sharpLayers().nextMissing(); number != 0; number = sharpLayers().nextMissing()) {
        try {
            sharpLayers().store(decodeLayer(number));
        } catch (...) {
            return;   // undecodable: the sharp view holds at that keyframe as the bitmap would
        }
        if (bitmapRequested())
            return;
    }
    // The HD copies after all 800 x 600 ones, which can stand in for them.
    for (int number = sharpLayers().nextMissingHd(); number != 0; number = sharpLayers().nextMissingHd()) {
        sharpLayers().decodeHd(number);
        if (bitmapRequested())
            return;
    }
}
