// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <atomic>
#include <mutex>
#include <vector>

// Measures the processor time of each background load on the loader thread itself (through the
// loader's after-load hook and the thread's scheduler accounts): between two loads the thread
// sleeps, so the time it has run between the ends of two loads is what the second one needed.
class LoaderClock
{
public:
    LoaderClock();    // installs the hook; loads count from here
    ~LoaderClock();   // removes it
    LoaderClock(const LoaderClock &) = delete;
    LoaderClock &operator=(const LoaderClock &) = delete;

    int completedLoads() const { return m_completed.load(); }
    double processorMs(int load) const;   // load 1 is the first after construction
    double maximumProcessorMs() const;

private:
    std::vector<long long> m_ranAtEndNs;   // the thread's run time when each load ended
    long long m_ranAtStartNs = 0;
    std::atomic<int> m_completed{0};
    mutable std::mutex m_mutex;
};

// The loader thread's scheduler accounts, found by its name "Bild_laden": run time in ns,
// time spent waiting for a processor in ns, and its state letter (R runs or may, S sleeps).
struct LoaderAccounts
{
    long long ranNs = -1, waitedNs = -1;
    char state = '?';
};
LoaderAccounts loaderAccounts();
