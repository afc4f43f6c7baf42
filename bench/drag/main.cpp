// SPDX-License-Identifier: GPL-3.0-or-later
// The casing-picture offset error during a drag of the real player, measured from outside with
// the X server's own window positions: after every pointer step of the drag, both windows'
// places are read as fast as the server answers for 40 ms; the error of a sample is how far
// (in pixels, |dx| + |dy|) the picture stands from its place 32/24 right of and below the
// casing. Bare X (the player drags itself) and openbox (the window manager drags, the casing
// follows the frame's moves). Usage: tf_drag_bench [drags]
#include "PlayerProcess.h"
#include "WindowManager.h"
#include "XDesktop.h"
#include "XvfbServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>
#include <xcb/xcb.h>

namespace {
constexpr QPoint offset{32, 24};
constexpr int steps = 30;
constexpr QPoint stepBy{9, 5};
constexpr qint64 sampleNs = 40'000'000;

struct Figures
{
    int largest = 0;   // px, over all samples of all drags
    qint64 samples = 0, apart = 0;
    std::vector<double> togetherMs;   // per step: from the step until together again
};

QPoint position(xcb_connection_t *c, xcb_window_t root, quint64 window)
{
    auto *reply = xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, xcb_window_t(window), root, 0, 0), nullptr);
    const QPoint at = reply ? QPoint(reply->dst_x, reply->dst_y) : QPoint();
    std::free(reply);
    return at;
}

bool measure(bool underOpenbox, int drags, Figures &figures)
{
    XvfbServer server;
    QString error;
    if (!server.start(&error)) {
        std::printf("%s\n", qPrintable(error));
        return false;
    }
    WindowManager manager(server.clientEnvironment());
    if (underOpenbox && !manager.start(&error)) {
        std::printf("%s\n", qPrintable(error));
        return false;
    }
    XDesktop desktop(server.clientEnvironment());
    PlayerProcess player(server.clientEnvironment());
    if (!player.start()
        || !waitUntil([&] { return desktop.visibleWindows(player.pid()).size() == 2; }, 10000)) {
        std::printf("the player's windows did not appear\n");
        return false;
    }
    pause(500);
    QList<XWindow> shown = desktop.visibleWindows(player.pid());
    std::sort(shown.begin(), shown.end(),
              [](const XWindow &a, const XWindow &b) { return a.geometry.width() > b.geometry.width(); });
    const quint64 casing = shown[0].id, picture = shown[1].id;

    xcb_connection_t *c = xcb_connect(qPrintable(server.display()), nullptr);
    if (xcb_connection_has_error(c)) {
        std::printf("cannot connect to %s\n", qPrintable(server.display()));
        return false;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    for (int drag = 0; drag < drags; ++drag) {
        // Back and forth, so the windows stay on the screen.
        const QPoint direction = drag % 2 == 0 ? stepBy : -stepBy;
        const QPoint start = position(c, root, picture) + QPoint(300, 200);
        desktop.mouseDown(start);
        for (int i = 1; i <= steps; ++i) {
            desktop.moveMouse(start + direction * i);
            QElapsedTimer clock;
            clock.start();
            double together = -1;
            while (clock.nsecsElapsed() < sampleNs) {
                const QPoint p = position(c, root, picture), m = position(c, root, casing);
                const int error = (p - m - offset).manhattanLength();
                figures.largest = std::max(figures.largest, error);
                ++figures.samples;
                figures.apart += error != 0;
                if (error == 0 && together < 0 && p != start - QPoint(300, 200) + direction * (i - 1))
                    together = double(clock.nsecsElapsed()) / 1e6;
            }
            if (together >= 0)
                figures.togetherMs.push_back(together);
        }
        desktop.mouseUp();
        pause(200);
    }
    xcb_disconnect(c);
    return true;
}
}   // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int drags = argc > 1 ? std::max(1, std::atoi(argv[1])) : 4;
    std::printf("%d drags of %d steps of %d,%d px per desktop\n", drags, steps, stepBy.x(), stepBy.y());
    for (const bool underOpenbox : {false, true}) {
        Figures figures;
        if (!measure(underOpenbox, drags, figures))
            return 1;
        std::sort(figures.togetherMs.begin(), figures.togetherMs.end());
        const auto at = [&](double q) {
            return figures.togetherMs.empty()
                ? -1.0
                : figures.togetherMs[std::size_t(q * (figures.togetherMs.size() - 1))];
        };
        std::printf("%-9s largest offset error %3d px; %lld of %lld samples apart; "
                    "together again after a step: median %.2f ms, 95%% %.2f ms, max %.2f ms (%zu steps)\n",
                    underOpenbox ? "openbox" : "bare X", figures.largest, figures.apart, figures.samples,
                    at(0.5), at(0.95), at(1.0), figures.togetherMs.size());
    }
    return 0;
}
