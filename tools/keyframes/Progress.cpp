// SPDX-License-Identifier: GPL-3.0-or-later
#include "Progress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

Progress::Progress(std::function<double()> fraction, std::function<std::string()> label)
    : m_fraction(std::move(fraction)),
      m_label(std::move(label)),
      m_start(std::chrono::steady_clock::now()),
      m_thread([this] { run(); })
{
}

Progress::~Progress()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
    draw(true);
}

std::string Progress::formatDuration(double seconds)
{
    const long s = std::lround(std::max(0.0, seconds));
    char text[32];
    if (s >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
    return text;
}

void Progress::run()
{
    std::unique_lock lock(m_mutex);
    while (!m_wake.wait_for(lock, std::chrono::milliseconds(500), [this] { return m_stop; }))
        draw(false);
}

void Progress::draw(bool final)
{
    const double f = std::clamp(m_fraction(), 0.0, 1.0);
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    constexpr int width = 30;
    const int filled = int(f * width);
    std::string bar(std::size_t(filled), '#');
    bar.append(std::size_t(width - filled), '.');
    const std::string left = f > 0.001 ? formatDuration(elapsed * (1 - f) / f) : std::string("?");
    std::fprintf(stderr, "\r[%s] %5.1f%%  %s  elapsed %s  left %s   ", bar.c_str(), f * 100,
                 m_label().c_str(), formatDuration(elapsed).c_str(), final ? "0:00" : left.c_str());
    if (final)
        std::fputc('\n', stderr);
    std::fflush(stderr);
}
