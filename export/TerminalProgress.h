// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "VideoExport.h"

#include <QString>

#include <atomic>
#include <cstdio>

// The export's progress on the terminal: a bar, the frames done, the speed and the time left,
// rewritten in place a few times a second.
class TerminalProgress
{
public:
    explicit TerminalProgress(std::FILE *stream);

    // The line for `state`, without the carriage return.
    static QString line(const ExportProgress &state);
    void show(const ExportProgress &state);
    // Ends the line the bar was drawn on.
    void finish();

    // Ctrl+C sets the flag this returns instead of ending the program; a second one ends it.
    static const std::atomic<bool> &interruptFlag();

private:
    std::FILE *m_stream;
    double m_shownAt = -1;
    bool m_drawn = false;
};
