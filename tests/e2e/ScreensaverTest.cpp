// SPDX-License-Identifier: GPL-3.0-or-later
// The screensaver as xscreensaver runs it: a window made by another client (here the test) is
// named by --window-id or by XSCREENSAVER_WINDOW, and the zoom fills it, changing from screenshot
// to screenshot, until SIGTERM arrives or the window is destroyed; both end it with status 0.
#include "PlayerProcess.h"
#include "ScreenCheck.h"
#include "XDesktop.h"
#include "XvfbServer.h"

#include <QImage>
#include <QSet>
#include <gtest/gtest.h>
#include <signal.h>
#include <xcb/xcb.h>

namespace {
// The window's own background: what shows where the screensaver has drawn nothing.
constexpr QRgb windowBackground = 0xff204060;
// 16:9, so that a picture letterboxed instead of filled would leave black columns at the sides.
const QRect windowPlace(40, 30, 384, 216);

class Screensaver : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(m_server.start(&error)) << error.toStdString();
        m_connection = xcb_connect(m_server.display().toLocal8Bit().constData(), nullptr);
        ASSERT_FALSE(xcb_connection_has_error(m_connection));
        xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        m_window = xcb_generate_id(m_connection);
        const std::uint32_t values[] = {windowBackground & 0xffffff, 1};
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, screen->root, windowPlace.x(),
                          windowPlace.y(), windowPlace.width(), windowPlace.height(), 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
        xcb_map_window(m_connection, m_window);
        free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    }
    void TearDown() override
    {
        if (m_connection)
            xcb_disconnect(m_connection);
    }

    QImage windowShot(const QString &name) const
    {
        const QImage shot = XDesktop(m_server.clientEnvironment()).grabScreen().copy(m_place);
        if (HasFailure())
            shot.save(QStringLiteral("screensaver-%1.png").arg(name));
        return shot;
    }

    // Waits until the window shows the zoom: drawn from edge to edge, no pixel left in the
    // window's background, and the many colours of a keyframe.
    QImage waitForZoom()
    {
        QImage shot;
        const auto showsZoom = [&] {
            shot = windowShot(QStringLiteral("wait"));
            QSet<QRgb> colours;
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x) {
                    const QRgb pixel = shot.pixel(x, y) | 0xff000000;
                    if (pixel == windowBackground)
                        return false;
                    colours.insert(pixel);
                }
            return colours.size() > 500;
        };
        EXPECT_TRUE(waitUntil(showsZoom, 10000, 100)) << "the window never showed the zoom";
        return shot;
    }

    static bool blackColumn(const QImage &image, int x)
    {
        for (int y = 0; y < image.height(); ++y)
            if (qGray(image.pixel(x, y)) > 8)
                return false;
        return true;
    }

    // Bars lie on both sides of the centred picture; the set's black inside may reach one edge
    // from top to bottom, as it does deep in the zoom.
    static bool blackBars(const QImage &image)
    {
        return blackColumn(image, 0) && blackColumn(image, image.width() - 1);
    }

    // Screenshots `apartMs` apart differ, four times over, and each fills the window: a picture
    // letterboxed instead would leave black columns at the sides (at scales below 4/3).
    void expectChangingFilledFrames(int apartMs)
    {
        QImage previous = waitForZoom();
        for (int i = 0; i < 4; ++i) {
            EXPECT_FALSE(blackBars(previous)) << "black bars beside the picture at screenshot " << i;
            pause(apartMs);
            const QImage next = windowShot(QStringLiteral("frame-%1").arg(i));
            EXPECT_FALSE(comparePixels(next, previous).same()) << "the zoom stood still at screenshot " << i;
            previous = next;
        }
    }

    XvfbServer m_server{QSize(640, 480)};
    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_window = 0;
    QRect m_place = windowPlace;   // where the window stands now
};
}   // namespace

TEST_F(Screensaver, FillsTheWindowGivenByIdAndEndsOnSigterm)
{
    PlayerProcess saver(m_server.clientEnvironment());
    // Three frames a second, at three ticks' speed: the first seconds stay below scale 4/3,
    // where only a filled picture reaches the sides of a 16:9 window.
    ASSERT_TRUE(saver.start({QStringLiteral("--window-id"), QString::number(m_window),
                             QStringLiteral("--frame-rate"), QStringLiteral("3")}));
    expectChangingFilledFrames(400);
    // Nothing drawn beside the window.
    const QImage screen = XDesktop(m_server.clientEnvironment()).grabScreen();
    EXPECT_EQ(screen.pixel(windowPlace.right() + 2, windowPlace.center().y()), XvfbServer::rootColour);

    ASSERT_EQ(::kill(pid_t(saver.pid()), SIGTERM), 0);
    ASSERT_TRUE(saver.waitForExit(5000)) << "SIGTERM did not end the screensaver";
    EXPECT_EQ(saver.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(saver.exitCode(), 0) << saver.output().toStdString();
}

TEST_F(Screensaver, DrawsIntoXscreensaversWindowAndEndsWhenItIsDestroyed)
{
    QProcessEnvironment environment = m_server.clientEnvironment();
    environment.insert(QStringLiteral("XSCREENSAVER_WINDOW"), QStringLiteral("0x%1").arg(m_window, 0, 16));
    PlayerProcess saver(environment);
    ASSERT_TRUE(saver.start({QStringLiteral("-root")}));   // as xscreensaver's module starts it
    expectChangingFilledFrames(250);

    // xscreensaver's preview resizes its window: the zoom follows, now cut at the sides.
    m_place.setSize(QSize(300, 400));
    const std::uint32_t size[] = {300, 400};
    xcb_configure_window(m_connection, m_window, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
    xcb_flush(m_connection);
    // A frame drawn for the old size may still be on the way; the ones after it fill the new one.
    EXPECT_TRUE(waitUntil(
        [&] {
            const QImage resized = waitForZoom();
            return !blackBars(resized);
        },
        5000, 100))
        << "black bars beside the picture after the resize";

    xcb_destroy_window(m_connection, m_window);
    xcb_flush(m_connection);
    ASSERT_TRUE(saver.waitForExit(5000)) << "the screensaver went on without its window";
    EXPECT_EQ(saver.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(saver.exitCode(), 0) << saver.output().toStdString();
}

TEST_F(Screensaver, AWindowThatDoesNotExistIsAnError)
{
    PlayerProcess saver(m_server.clientEnvironment());
    ASSERT_TRUE(
        saver.start({QStringLiteral("--window-id"), QStringLiteral("0x%1").arg(m_window + 1000, 0, 16)}));
    ASSERT_TRUE(saver.waitForExit(5000));
    EXPECT_EQ(saver.exitCode(), 1);
    EXPECT_TRUE(saver.output().contains("gibt es nicht")) << saver.output().toStdString();
}
