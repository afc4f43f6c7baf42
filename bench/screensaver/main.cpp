// SPDX-License-Identifier: GPL-3.0-or-later
// The CPU the screensaver takes (tiefenflug --root, filling a 1920 x 1080 screen) against the
// player zooming in full screen (--fullscreen --sharp --repeat beide, started with the arrow key),
// each measured over the same stretch of time, alternately, on one Xvfb server: the process's
// user + system time from /proc, and the X server's, which copies every frame to the screen.
// Usage: tf_screensaver_bench [seconds] [rounds]
#include "PlayerProcess.h"
#include "ProcessStats.h"
#include "XDesktop.h"
#include "XvfbServer.h"

#include <QCoreApplication>
#include <cstdio>

namespace {
const QSize screenSize(1920, 1080);

struct Share
{
    double process = 0.0, server = 0.0;   // CPU seconds per wall-clock second
};

Share measure(const XvfbServer &server, qint64 serverPid, const QStringList &arguments, bool startZoom,
              int seconds)
{
    const XDesktop desktop(server.clientEnvironment());
    PlayerProcess program(server.clientEnvironment());
    if (!program.start(arguments)) {
        std::printf("could not start %s\n", qPrintable(arguments.join(u' ')));
        return {};
    }
    pause(3000);   // up, first keyframes decoded
    if (startZoom) {
        desktop.moveMouse(QPoint(screenSize.width() / 2, screenSize.height() / 2));
        desktop.key(QStringLiteral("Right"));
        pause(1000);
    }
    if (!desktop.screenChanges())
        std::printf("  warning: the screen stood still for %s\n", qPrintable(arguments.join(u' ')));
    const std::vector<double> shares = cpuSharesOver({program.pid(), serverPid}, seconds);
    const Share share{shares[0], shares[1]};
    program.kill();
    return share;
}

}   // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 20;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 2;
    XvfbServer server(screenSize);
    QString error;
    if (!server.start(&error)) {
        std::printf("%s\n", qPrintable(error));
        return 1;
    }
    const qint64 serverPid = server.pid();
    std::printf("1920 x 1080, %d s per measurement, CPU seconds per second (process / Xvfb)\n", seconds);
    for (int round = 1; round <= rounds; ++round) {
        const Share player = measure(server, serverPid,
                                     {QStringLiteral("--fullscreen"), QStringLiteral("--sharp"),
                                      QStringLiteral("--repeat"), QStringLiteral("beide")},
                                     true, seconds);
        const Share saver = measure(server, serverPid, {QStringLiteral("--root")}, false, seconds);
        std::printf("round %d: player full screen %.3f / %.3f, screensaver %.3f / %.3f; "
                    "ratio process %.2f, process + Xvfb %.2f\n",
                    round, player.process, player.server, saver.process, saver.server,
                    saver.process / player.process,
                    (saver.process + saver.server) / (player.process + player.server));
    }
    return 0;
}
