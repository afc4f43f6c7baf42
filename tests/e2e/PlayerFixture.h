// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "PlayerProcess.h"
#include "WindowManager.h"
#include "XDesktop.h"
#include "XvfbServer.h"

#include <QImage>
#include <QList>
#include <QPair>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

// Readable texts and geometry in assertion messages.
inline std::ostream &operator<<(std::ostream &out, const QString &text)
{
    return out << text.toStdString();
}
inline void PrintTo(const QRect &r, std::ostream *out)
{
    *out << r.width() << 'x' << r.height() << '+' << r.x() << '+' << r.y();
}
inline void PrintTo(const QPoint &p, std::ostream *out)
{
    *out << '(' << p.x() << ", " << p.y() << ')';
}

// One player on a private X server, at its start state: both windows shown at their places.
// Everything the test sees is taken from the screen, the window list and the exit status.
// When a test fails, its screenshots and the player's output are written to
// e2e-failures/<suite>.<test>/ in the working directory.
// The player finds no web browser unless a test asks for one that starts (a stand-in that only
// notes the address), so the web command's outcome never depends on the machine.
class PlayerFixture : public ::testing::Test
{
protected:
    // Set in a test class's constructor, before SetUp runs.
    bool m_underWindowManager = false;   // openbox manages the windows
    bool m_browserStarts = false;        // the web command finds a browser that starts

    // The addresses the stand-in browser was asked to open so far.
    QStringList openedAddresses() const;

    void SetUp() override;
    void TearDown() override;

    struct Windows
    {
        QRect monitor, zoom;
    };
    // The player's two windows (the larger one is the monitor window); fails unless exactly two
    // of its windows are visible.
    Windows windows() const;
    // Polls until both windows stand at the given places; the last ones seen.
    Windows waitForWindows(const QRect &monitor, const QRect &zoom, int timeoutMs = 5000);

    QImage screen(const QString &label);   // a screenshot, kept for the failure folder
    // Takes screenshots until `done` holds for one or the time is up; returns the last one.
    QImage waitForScreen(const QString &label, const std::function<bool(const QImage &)> &done,
                         int timeoutMs);

    // Clicks the centre of a control of the monitor window (positions of the "mittel" layout).
    void clickControl(const QRect &control, int button = 1);

    // The player's end: waits for the exit, then checks status 0 from a normal exit.
    void expectEndsWithStatusZero(int timeoutMs = 5000);

    std::unique_ptr<XvfbServer> m_server;
    std::unique_ptr<WindowManager> m_windowManager;
    std::unique_ptr<XDesktop> m_desktop;
    std::unique_ptr<PlayerProcess> m_player;
    QImage m_startScreen;   // the first screenshot with the start card on display

private:
    QProcessEnvironment playerEnvironment();

    QTemporaryDir m_programs;   // the player's whole PATH
    QList<QPair<QString, QImage>> m_shots;
};
