// SPDX-License-Identifier: GPL-3.0-or-later
#include "Screensaver.h"
#include "ScreensaverFlight.h"
#include "ScreensaverFrames.h"
#include "X11Target.h"

#include <QCoreApplication>
#include <QImage>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {
using Clock = std::chrono::steady_clock;

int fail(const QString &message)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(message));
    return 1;
}

// The ending signals, read from a descriptor beside the X connection's rather than in a
// handler, so that an ending can never interrupt a frame half drawn.
struct EndingSignals
{
    int descriptor = -1;
    EndingSignals()
    {
        sigset_t set;
        sigemptyset(&set);
        for (int signal : {SIGTERM, SIGINT, SIGHUP})
            sigaddset(&set, signal);
        pthread_sigmask(SIG_BLOCK, &set, nullptr);
        descriptor = signalfd(-1, &set, SFD_CLOEXEC);
    }
    ~EndingSignals()
    {
        if (descriptor >= 0)
            close(descriptor);
    }
};
}   // namespace

Screensaver::Screensaver(std::uint32_t window, const ZoomTimeline &timeline, double framesPerSecond)
    : m_window(window), m_timeline(timeline), m_framesPerSecond(framesPerSecond)
{
}

int Screensaver::run()
{
    const EndingSignals endings;   // before the decoder thread, which inherits the blocked set
    if (endings.descriptor < 0)
        return fail(QStringLiteral("Die Signale zum Beenden lassen sich nicht abfangen."));
    X11Target target;
    QString error;
    if (!target.open(m_window, &error))
        return fail(error);

    ScreensaverFrames frames;
    const ScreensaverFlight flight(m_timeline);
    const auto period =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / m_framesPerSecond));
    QImage canvas;
    double flown = 0.0;   // seconds of the flight shown so far
    Clock::time_point lastShown = Clock::now();
    Clock::time_point nextFrame = lastShown;
    for (;;) {
        pollfd watched[2] = {{endings.descriptor, POLLIN, 0}, {target.fileDescriptor(), POLLIN, 0}};
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(nextFrame - Clock::now());
        poll(watched, 2, int(std::max<long long>(0, wait.count())));
        if (watched[0].revents & POLLIN)
            return 0;
        if (!target.readEvents())
            return 0;
        const Clock::time_point now = Clock::now();
        if (now < nextFrame)
            continue;
        nextFrame = std::max(nextFrame + period, now);

        if (canvas.size() != target.size()) {
            canvas = QImage(target.size(), QImage::Format_RGB32);
            canvas.fill(Qt::black);   // never old memory where a picture might not reach
        }
        // The flight goes on only while frames are shown: a keyframe still being decoded holds
        // it, as a keyframe swap waits for its bitmap in the player.
        if (!frames.compose(canvas, flight.at(flown))) {
            if (!frames.failure().isEmpty())
                return fail(frames.failure());
            lastShown = now;
            continue;
        }
        if (!target.show(canvas))
            return 0;
        flown += std::chrono::duration<double>(now - lastShown).count();
        lastShown = now;
    }
}
