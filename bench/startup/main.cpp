// SPDX-License-Identifier: GPL-3.0-or-later
// Figures of the real player under Xvfb: time from process start to the start card on screen
// (median of several launches); time from process start to its first window being mapped, side
// by side with a minimal Qt Widgets program that shows one 640 x 480 label; the duration and peak
// resident memory of a full zoom in at the fastest settings, and the size of the executable.
// Usage: tf_startup_bench [launches] [startup]   ("startup": only the two start-up figures)
#include "FramebufferView.h"
#include "MapWatch.h"
#include "PlayerLayout.h"
#include "PlayerProcess.h"
#include "ProcessStats.h"
#include "ScreenCheck.h"
#include "XDesktop.h"
#include "XvfbServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <sys/prctl.h>
#include <vector>

namespace {
bool showsStartCard(const FramebufferView &screen, const QImage &startCard)
{
    return comparePixels(screen.region(layout::zoomMittel), startCard).same();
}

void benchStartup(const XvfbServer &server, const FramebufferView &screen, int launches)
{
    const QImage startCard = keyframeCentre(1, layout::zoomMittel.size());
    std::vector<double> times;
    for (int i = 0; i < launches; ++i) {
        PlayerProcess player(server.clientEnvironment());
        QElapsedTimer clock;
        clock.start();
        if (!player.start()) {
            std::printf("cannot start %s\n", qPrintable(PlayerProcess::executable()));
            return;
        }
        const bool shown = waitUntil([&] { return showsStartCard(screen, startCard); }, 10000, 1);
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        if (!shown) {
            std::printf("launch %d: the start card did not appear\n", i + 1);
            return;
        }
        times.push_back(ms);
        std::printf("  launch %2d: %.0f ms\n", i + 1, ms);
        player.kill();
        // The next launch must not see this one's picture: wait until the screen is empty again.
        waitUntil([&] { return !showsStartCard(screen, startCard); }, 5000, 1);
    }
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    std::printf("start-up to the start card on screen: median %.0f ms (min %.0f, max %.0f; %zu launches)\n",
                sorted[sorted.size() / 2], sorted.front(), sorted.back(), sorted.size());
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Milliseconds from starting `program` to its first mapped window; negative if none appeared.
double msToFirstMap(const XvfbServer &server, MapWatch &watch, const QString &program)
{
    QProcess process;
    process.setProcessEnvironment(server.clientEnvironment());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    watch.forget();
    QElapsedTimer clock;
    clock.start();
    process.start(program, {});
    const bool mapped = watch.waitForMap(10000);
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    process.kill();
    process.waitForFinished(5000);
    pause(100);   // the server tears the windows down before the next launch
    return mapped ? ms : -1.0;
}

// The player and the minimal program launched in turn, so both see the same machine load.
void benchFirstMapAgainstMinimalProgram(const XvfbServer &server, int launches)
{
    MapWatch watch(server.display());
    if (!watch.isValid()) {
        std::printf("cannot watch the X display\n");
        return;
    }
    const QString minimal = QStringLiteral(TF_MINIMAL_EXECUTABLE);
    std::vector<double> player, yardstick;
    for (int i = 0; i < launches; ++i) {
        const double p = msToFirstMap(server, watch, PlayerProcess::executable());
        const double m = msToFirstMap(server, watch, minimal);
        if (p < 0 || m < 0) {
            std::printf("launch %d: no window was mapped\n", i + 1);
            return;
        }
        player.push_back(p);
        yardstick.push_back(m);
        std::printf("  launch %2d: player %.0f ms, minimal program %.0f ms\n", i + 1, p, m);
    }
    const double mp = median(player), mm = median(yardstick);
    std::printf("exec to first window mapped: player median %.0f ms, minimal Qt program (one 640x480 "
                "label) median %.0f ms, ratio %.2f (%d launches each, alternating)\n",
                mp, mm, mp / mm, launches);
}

void benchFullZoom(const XvfbServer &server, const FramebufferView &screen, const QStringList &arguments)
{
    const QImage startCard = keyframeCentre(1, layout::zoomMittel.size());
    const QImage endCard = keyframeCentre(63, layout::zoomMittel.size());
    const XDesktop desktop(server.clientEnvironment());
    PlayerProcess player(server.clientEnvironment());
    if (!player.start(arguments) || !waitUntil([&] { return showsStartCard(screen, startCard); }, 10000, 5)) {
        std::printf("the player did not start\n");
        return;
    }
    std::printf("player %s\n",
                arguments.isEmpty() ? "in the original presentation" : qPrintable(arguments.join(' ')));
    // The fastest settings through the speed panel: frame rate "maximal" (the list's last item)
    // and the zoom-speed scroll bar at its end; then "Übernehmen".
    desktop.click(layout::centre(layout::bsSpeed));
    pause(200);
    desktop.click(layout::centre(layout::cbFramerate));
    pause(200);
    desktop.key(QStringLiteral("End"));
    desktop.key(QStringLiteral("Return"));
    pause(100);
    desktop.click(layout::centre(layout::sbZoom));
    desktop.key(QStringLiteral("End"));
    pause(100);
    desktop.click(layout::centre(layout::bsOK));
    pause(200);

    QElapsedTimer clock;
    desktop.click(layout::centre(layout::bsVorwaerts));
    clock.start();
    const bool atEnd = waitUntil(
        [&] { return comparePixels(screen.region(layout::zoomMittel), endCard).same(); }, 120000, 5);
    const double seconds = double(clock.elapsed()) / 1000.0;
    const auto [peak, now] = residentKilobytes(player.pid());
    if (!atEnd)
        std::printf("the zoom did not reach the end card\n");
    else
        std::printf("full zoom in at the fastest settings: %.2f s (61 keyframes)\n", seconds);
    std::printf("peak resident memory (VmHWM) after the full zoom: %.1f MB (VmRSS %.1f MB)\n",
                double(peak) / 1024.0, double(now) / 1024.0);
    desktop.click(layout::centre(layout::bsClose));
    player.waitForExit(5000);
}

void benchExecutableSize()
{
    const QString executable = PlayerProcess::executable();
    const QTemporaryDir folder;
    const QString stripped = folder.path() + QStringLiteral("/tiefenflug");
    QProcess strip;
    strip.start(QStringLiteral("strip"), {QStringLiteral("-o"), stripped, executable});
    strip.waitForFinished(60000);
    const auto mb = [](qint64 bytes) { return double(bytes) / (1024.0 * 1024.0); };
    const qint64 full = QFileInfo(executable).size(), small = QFileInfo(stripped).size();
    std::printf("executable: %lld bytes (%.1f MB) as built, %lld bytes (%.1f MB) stripped\n",
                static_cast<long long>(full), mb(full), static_cast<long long>(small), mb(small));
}
}   // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int launches = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const QTemporaryDir framebuffer;
    XvfbServer server;
    server.setFramebufferFolder(framebuffer.path());
    QString error;
    if (!server.start(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const FramebufferView screen(framebuffer.path());
    if (!screen.isValid()) {
        std::fprintf(stderr, "cannot read the Xvfb framebuffer\n");
        return 1;
    }
    std::printf("player: %s\n", qPrintable(PlayerProcess::executable()));
    benchStartup(server, screen, launches);
    benchFirstMapAgainstMinimalProgram(server, launches);
    if (argc > 2 && qstrcmp(argv[2], "startup") == 0)
        return 0;
    benchFullZoom(server, screen, {});
    benchFullZoom(server, screen, {QStringLiteral("--sharp")});
    benchExecutableSize();
    return 0;
}
