// SPDX-License-Identifier: GPL-3.0-or-later
// The player's own CPU time while it zooms at the default frame rate, and its peak resident
// memory, for the windowed Original, the windowed sharp view and full screen, on a 1920 x 1080
// and a 3840 x 2160 Xvfb screen; each once with the HD keyframes (the built player, the data file
// beside it) and once without (a copy of the player alone). The windowed Original is the yardstick
// the other shares are given against, measured in the same run.
// Usage: tf_presentation_bench [seconds]
#include "PlayerLayout.h"
#include "PlayerProcess.h"
#include "ProcessStats.h"
#include "XDesktop.h"
#include "XvfbServer.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

namespace {

struct Figures
{
    double cpu = 0.0;      // CPU seconds per wall-clock second
    double peakMb = 0.0;   // VmHWM at the end
};

Figures measure(const XvfbServer &server, QSize screen, const QString &player, const QStringList &arguments,
                int seconds)
{
    // PlayerProcess starts the executable that TF_PLAYER names in this process's environment.
    qputenv("TF_PLAYER", player.toLocal8Bit());
    const QProcessEnvironment environment = server.clientEnvironment();
    const XDesktop desktop(environment);
    PlayerProcess program(environment);
    if (!program.start(arguments + QStringList{QStringLiteral("--repeat"), QStringLiteral("beide")})) {
        std::printf("could not start %s\n", qPrintable(arguments.join(u' ')));
        return {};
    }
    pause(3000);   // up, first keyframes decoded
    const bool fullScreen = arguments.contains(QStringLiteral("--fullscreen"));
    desktop.moveMouse(fullScreen ? QPoint(screen.width() / 2, screen.height() / 2)
                                 : layout::zoomMittel.center());
    desktop.key(QStringLiteral("Right"));
    pause(1000);
    if (!desktop.screenChanges())
        std::printf("  warning: the screen stood still for %s\n", qPrintable(arguments.join(u' ')));
    Figures figures;
    figures.cpu = cpuSharesOver({program.pid()}, seconds).front();
    figures.peakMb = residentKilobytes(program.pid()).first / 1024.0;
    program.kill();
    return figures;
}

}   // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 20;

    // The player alone in a folder of its own finds no HD data file and draws from its own set.
    const QString withHd = PlayerProcess::executable();
    QTemporaryDir folder;
    const QString withoutHd = folder.filePath(QStringLiteral("tiefenflug"));
    if (!folder.isValid() || !QFile::copy(withHd, withoutHd)) {
        std::printf("could not copy the player to %s\n", qPrintable(withoutHd));
        return 1;
    }
    QFile(withoutHd).setPermissions(QFile(withHd).permissions());

    struct Case
    {
        const char *name;
        QStringList arguments;
    };
    const QStringList sharp{QStringLiteral("--sharp")};
    const QStringList full{QStringLiteral("--fullscreen"), QStringLiteral("--sharp")};
    std::printf("%d s per measurement; CPU seconds per second of the player process, and against the "
                "windowed Original of the same screen; peak resident memory (VmHWM)\n",
                seconds);
    for (const QSize screen : {QSize(1920, 1080), QSize(3840, 2160)}) {
        XvfbServer server(screen);
        QString error;
        if (!server.start(&error)) {
            std::printf("%s\n", qPrintable(error));
            return 1;
        }
        const Figures yardstick = measure(server, screen, withHd, {}, seconds);
        std::printf("%d x %d: windowed \"mittel\", Original: CPU %.3f, peak %.1f MB\n", screen.width(),
                    screen.height(), yardstick.cpu, yardstick.peakMb);
        for (const Case &c : {Case{"windowed \"mittel\", sharp", sharp}, Case{"full screen, sharp", full}}) {
            for (const bool hd : {false, true}) {
                const Figures f = measure(server, screen, hd ? withHd : withoutHd, c.arguments, seconds);
                std::printf("%d x %d: %s, %s: CPU %.3f (%.2f x), peak %.1f MB\n", screen.width(),
                            screen.height(), c.name, hd ? "HD keyframes" : "800 x 600 only", f.cpu,
                            f.cpu / yardstick.cpu, f.peakMb);
            }
        }
    }
    return 0;
}
