// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs body(i) for i in [0, count) on `threads` threads (the caller's among them), handing out
// indices one at a time. The result never depends on the number of threads as long as each
// body(i) writes only its own part of the output.

#include <atomic>
#include <thread>
#include <vector>

namespace keyframes {

template<class Body> void parallelFor(int count, int threads, const Body &body)
{
    std::atomic<int> next{0};
    const auto work = [&] {
        for (int i = next++; i < count; i = next++)
            body(i);
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(work);
    work();
    for (auto &thread : pool)
        thread.join();
}

}   // namespace keyframes
