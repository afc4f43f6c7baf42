// SPDX-License-Identifier: GPL-3.0-or-later
// Ending the real player a hundred times at random moments of a running zoom, on private Xvfb
// displays: every run must end at once with exit status 0. Four displays work in parallel (a run
// mostly waits), each with its own seeded sequence of waits; the runs alternate between the
// close button and Alt+F4.
#include "PlayerLayout.h"
#include "PlayerProcess.h"
#include "ScreenCheck.h"
#include "XDesktop.h"
#include "XvfbServer.h"

#include <QImage>
#include <gtest/gtest.h>
#include <random>
#include <thread>
#include <vector>

namespace {
struct ExitRun
{
    int number = 0;
    bool closeButton = false;
    int waitMs = 0;
    bool zoomRan = false;
    bool ended = false;
    bool normalExit = false;
    int exitCode = -1;
    QByteArray output;
};

struct Batch
{
    std::vector<ExitRun> runs;
    QString error;
};

void runBatch(int firstRun, int runCount, unsigned seed, Batch &batch)
{
    XvfbServer server;
    if (!server.start(&batch.error))
        return;
    const XDesktop desktop(server.clientEnvironment());
    const QImage startCard = keyframeCentre(1, layout::zoomMittel.size());
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> waitMs(0, 1500);
    try {
        for (int i = 0; i < runCount; ++i) {
            ExitRun run;
            run.number = firstRun + i;
            run.closeButton = run.number % 2 == 0;
            run.waitMs = waitMs(random);
            PlayerProcess player(server.clientEnvironment());
            if (!player.start()) {
                batch.error = QStringLiteral("cannot start the player");
                return;
            }
            waitUntil([&] { return desktop.visibleWindows(player.pid()).size() == 2; }, 10000);
            desktop.click(layout::centre(layout::bsVorwaerts));
            run.zoomRan = waitUntil(
                [&] {
                    return !comparePixels(desktop.grabScreen().copy(layout::zoomMittel), startCard).same();
                },
                3000, 0);
            pause(run.waitMs);
            if (run.closeButton)
                desktop.click(layout::centre(layout::bsClose));
            else
                desktop.key(QStringLiteral("alt+F4"));   // the forward click gave the player the focus
            run.ended = player.waitForExit(5000);
            run.normalExit = player.exitStatus() == QProcess::NormalExit;
            run.exitCode = player.exitCode();
            run.output = player.output();
            batch.runs.push_back(run);
        }
    } catch (const std::exception &error) {
        batch.error = QString::fromLocal8Bit(error.what());
    }
}
}   // namespace

TEST(ExitStorm, AHundredEndsAtRandomMomentsOfARunningZoomAllExitWithStatusZero)
{
    constexpr int runs = 100, displays = 4, runsPerDisplay = runs / displays;
    std::vector<Batch> batches(displays);
    std::vector<std::thread> others;
    for (int d = 1; d < displays; ++d)
        others.emplace_back(
            [&, d] { runBatch(d * runsPerDisplay, runsPerDisplay, 1000u + unsigned(d), batches[d]); });
    runBatch(0, runsPerDisplay, 1000u, batches[0]);
    for (std::thread &t : others)
        t.join();

    int good = 0;
    for (const Batch &batch : batches) {
        EXPECT_TRUE(batch.error.isEmpty()) << batch.error.toStdString();
        for (const ExitRun &run : batch.runs) {
            const std::string what = "run " + std::to_string(run.number)
                + (run.closeButton ? " (close button" : " (Alt+F4") + " after " + std::to_string(run.waitMs)
                + " ms)";
            EXPECT_TRUE(run.zoomRan) << what << ": the zoom did not start";
            EXPECT_TRUE(run.ended) << what << ": the player did not end";
            EXPECT_TRUE(run.normalExit) << what << ": crashed\n" << run.output.constData();
            EXPECT_EQ(run.exitCode, 0) << what << "\n" << run.output.constData();
            good += run.zoomRan && run.ended && run.normalExit && run.exitCode == 0;
        }
    }
    EXPECT_EQ(good, runs);
}
