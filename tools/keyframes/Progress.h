// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A progress bar with the time left, redrawn on stderr twice a second from its own thread.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class Progress
{
public:
    // fraction() returns 0..1, label() a short text shown after the bar; both are called from
    // the progress thread and must be thread-safe.
    Progress(std::function<double()> fraction, std::function<std::string()> label);
    ~Progress();   // stops the thread and finishes the line

    static std::string formatDuration(double seconds);

private:
    void run();
    void draw(bool final);

    std::function<double()> m_fraction;
    std::function<std::string()> m_label;
    std::chrono::steady_clock::time_point m_start;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::thread m_thread;
};
