// SPDX-License-Identifier: GPL-3.0-or-later
#include "TerminalProgress.h"

#include <QLocale>

#include <cmath>
#include <csignal>

namespace {
std::atomic<bool> interrupted{false};

void onInterrupt(int)
{
    interrupted = true;
}

QString clockText(double seconds)
{
    const int whole = int(std::lround(seconds));
    return QStringLiteral("%1:%2").arg(whole / 60).arg(whole % 60, 2, 10, QLatin1Char('0'));
}
}

TerminalProgress::TerminalProgress(std::FILE *stream) : m_stream(stream) { }

QString TerminalProgress::line(const ExportProgress &state)
{
    constexpr int barWidth = 30;
    const double done = state.frameCount > 0 ? double(state.framesDone) / state.frameCount : 0.0;
    const int filled = int(done * barWidth);
    const double framesPerSecond = state.elapsedSeconds > 0 ? state.framesDone / state.elapsedSeconds : 0.0;
    const double videoRate = state.frameCount > 0 ? state.videoSeconds / state.frameCount : 0.0;
    const QLocale german(QLocale::German);
    QString text = QStringLiteral("[%1%2] %3/%4 Bilder")
                       .arg(QString(filled, QLatin1Char('#')), QString(barWidth - filled, QLatin1Char('.')))
                       .arg(state.framesDone)
                       .arg(state.frameCount);
    if (framesPerSecond > 0) {
        const double left = (state.frameCount - state.framesDone) / framesPerSecond;
        text += QStringLiteral("  %1 Bilder/s (%2x Echtzeit)  noch %3")
                    .arg(german.toString(framesPerSecond, 'f', 1),
                         german.toString(framesPerSecond * videoRate, 'f', 2), clockText(left));
    }
    return text;
}

void TerminalProgress::show(const ExportProgress &state)
{
    const bool last = state.framesDone == state.frameCount;
    if (!last && m_shownAt >= 0 && state.elapsedSeconds - m_shownAt < 0.25)
        return;
    m_shownAt = state.elapsedSeconds;
    std::fprintf(m_stream, "\r%s\033[K", line(state).toLocal8Bit().constData());
    std::fflush(m_stream);
    m_drawn = true;
}

void TerminalProgress::finish()
{
    if (m_drawn)
        std::fputc('\n', m_stream);
    m_drawn = false;
}

const std::atomic<bool> &TerminalProgress::interruptFlag()
{
    static const bool installed = [] {
        struct sigaction action = {};
        action.sa_handler = onInterrupt;
        action.sa_flags = SA_RESETHAND;   // a second Ctrl+C ends the program at once
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, nullptr);
        return true;
    }();
    (void)installed;
    return interrupted;
}
