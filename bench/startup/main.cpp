// Figures of the real player under Xvfb: time from process start to the start card on screen
// (median of several launches), the duration and peak resident memory of a full zoom in at the
// fastest settings, and the size of the executable. Usage: tf_startup_bench [launches]
#include "FramebufferView.h"
#include "PlayerLayout.h"
#include "PlayerProcess.h"
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
#include <cstdio>
#include <vector>

namespace {
bool showsStartCard(const FramebufferView &screen, const QImage &startCard)
{
    return comparePixels(screen.region(layout::zoomMittel), startCard).same();
}

// Peak and current resident memory of a process in kB, from /proc/<pid>/status.
std::pair<long, long> residentMemory(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    long peak = -1, now = -1;
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                peak = line.mid(6).trimmed().split(' ').value(0).toLong();
            if (line.startsWith("VmRSS:"))
                now = line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return {peak, now};
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
    std::printf("player %s\n", arguments.isEmpty() ? "in the original presentation" : qPrintable(arguments.join(' ')));
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
    const bool atEnd = waitUntil([&] { return comparePixels(screen.region(layout::zoomMittel), endCard).same(); },
                                 120000, 5);
    const double seconds = double(clock.elapsed()) / 1000.0;
    const auto [peak, now] = residentMemory(player.pid());
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
} // namespace

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
    benchFullZoom(server, screen, {});
    benchFullZoom(server, screen, {QStringLiteral("--sharp")});
    benchExecutableSize();
    return 0;
}
