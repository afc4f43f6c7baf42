// SPDX-License-Identifier: GPL-3.0-or-later
// The presentations "Original" and "Scharf", full screen, the keys and the command line, on the
// real windows.
#include "CommandLine.h"
#include "FrameRenderer.h"
#include "ImageCompare.h"
#include "MyTImage.h"
#include "SharpFrame.h"
#include "Startup.h"
#include "TfmMonitor.h"
#include "TfmZoom.h"
#include "Transport.h"
#include "ZoomFixture.h"
#include "ZoomState.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <cmath>

namespace {

// Zooms in a few ticks from the start and pauses: keyframe 2 magnified.
void zoomInAndPause(int ticks)
{
    transport().forward();
    for (int i = 0; i < ticks; ++i)
        fmZoom->zgZoomInTimer();
    transport().pause();
}

void key(QWidget *window, Qt::Key k)
{
    QTest::keyClick(window->windowHandle(), k);
}

}   // namespace

using PresentationTest = ZoomTest;

TEST_F(PresentationTest, ScharfAndOriginalApplyAtOnceAndOriginalStaysExact)
{
    zoomInAndPause(10);
    const QImage original = shownView();
    const double scale = ZoomState.scale;

    chooseFromMenu(fmZoom->pmMenue, fmZoom->Scharf1, fmZoom->Anzeige1);
    EXPECT_TRUE(fmZoom->Scharf1->isChecked());
    const QImage sharp = shownView();
    EXPECT_NE(sharp, original);
    EXPECT_GT(psnr(sharp, original), 24.0) << "the sharp view shows another part of the keyframe";
    EXPECT_EQ(ZoomState.scale, scale);
    EXPECT_FALSE(isRunning());

    chooseFromMenu(fmZoom->pmMenue, fmZoom->Original1, fmZoom->Anzeige1);
    EXPECT_EQ(shownView(), original);

    // While the zoom runs the choice applies to the next frame, and the zoom goes on.
    transport().forward();
    fmZoom->Scharf1Click();
    EXPECT_TRUE(fmZoom->surfaces[0]->isSharp() && fmZoom->surfaces[1]->isSharp());
    EXPECT_TRUE(fmZoom->zgZoomIn->isActive());
}

TEST_F(PresentationTest, FullScreenShowsThePictureAloneAndEscBringsTheWindowsBack)
{
    fmZoom->move(100, 80);
    ASSERT_EQ(fmMonitor->pos(), QPoint(68, 56));
    zoomInAndPause(10);
    const QImage window = shownView();

    // F11 is a shortcut of the application: it needs one of its windows active.
    fmZoom->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(fmZoom));
    key(fmZoom, Qt::Key_F11);
    ASSERT_TRUE(fmZoom->isFullScreenView());
    EXPECT_TRUE(fmZoom->Vollbild1->isChecked());
    EXPECT_FALSE(fmMonitor->isVisible());
    const QRect screen = fmZoom->screen()->geometry();
    EXPECT_EQ(fmZoom->geometry(), screen);
    // 4:3 between black bars, always sharp.
    const QRect picture = fmZoom->surfaces[0]->geometry();
    EXPECT_NEAR(double(picture.width()) / picture.height(), 4.0 / 3.0, 0.01);
    EXPECT_TRUE(picture.width() == screen.width() || picture.height() == screen.height());
    EXPECT_EQ(picture.center(), fmZoom->rect().center());
    EXPECT_TRUE(fmZoom->surfaces[0]->isSharp());

    // The pointer hides after two seconds without movement and comes back with it.
    EXPECT_TRUE(QTest::qWaitFor([] { return fmZoom->cursor().shape() == Qt::BlankCursor; }, 4000));
    QTest::mouseMove(fmZoom->windowHandle(), QPoint(50, 50));
    EXPECT_TRUE(QTest::qWaitFor([] { return fmZoom->cursor().shape() != Qt::BlankCursor; }, 1000));

    key(fmZoom, Qt::Key_Escape);
    EXPECT_FALSE(fmZoom->isFullScreenView());
    EXPECT_TRUE(fmMonitor->isVisible());
    EXPECT_EQ(fmZoom->geometry(), QRect(100, 80, 640, 480));
    EXPECT_EQ(fmMonitor->pos(), QPoint(68, 56));
    EXPECT_EQ(shownView(), window) << "the window's presentation, original, is back";

    // F11 toggles both ways.
    key(fmMonitor, Qt::Key_F11);
    EXPECT_TRUE(fmZoom->isFullScreenView());
    key(fmZoom, Qt::Key_F11);
    EXPECT_FALSE(fmZoom->isFullScreenView());
}

TEST_F(PresentationTest, KeysDrivePlaybackFromEitherWindow)
{
    key(fmZoom, Qt::Key_Space);
    EXPECT_TRUE(fmZoom->zgZoomIn->isActive());
    key(fmZoom, Qt::Key_Space);
    EXPECT_FALSE(isRunning());
    key(fmMonitor, Qt::Key_Left);
    EXPECT_TRUE(fmZoom->zgZoomOut->isActive());
    key(fmZoom, Qt::Key_Right);   // turns round while running
    EXPECT_TRUE(fmZoom->zgZoomIn->isActive());
    key(fmZoom, Qt::Key_End);
    EXPECT_EQ(currentFrame, ZoomState.lastFrame + 1);
    EXPECT_FALSE(isRunning());
    key(fmZoom, Qt::Key_Space);   // nothing lies beyond the end card: out again
    EXPECT_TRUE(fmZoom->zgZoomOut->isActive());
    key(fmMonitor, Qt::Key_Home);
    EXPECT_EQ(currentFrame, ZoomState.firstFrame);
    EXPECT_FALSE(isRunning());
    EXPECT_EQ(fmMonitor->bfFaktor2->text(), QStringLiteral("1,000"));

    // Not while a modal dialog is open.
    QDialog dialog(fmMonitor);
    dialog.setModal(true);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    key(fmZoom, Qt::Key_Space);
    key(fmMonitor, Qt::Key_F11);
    EXPECT_FALSE(isRunning());
    EXPECT_FALSE(fmZoom->isFullScreenView());
    dialog.close();
}

// The sharp picture is composed straight into the window's backing store: what the window
// shows is the composition of the frame, in its place, also in full screen and after an expose.
TEST_F(PresentationTest, TheWindowShowsTheSharpPictureAsComposed)
{
    fmZoom->gross1Click();
    fmZoom->Scharf1Click();
    zoomInAndPause(10);
    for (const bool fullScreen : {false, true}) {
        SCOPED_TRACE(fullScreen ? "full screen" : "window");
        fmZoom->setFullScreenView(fullScreen);
        // Once the loader has every layer this size of view needs, the picture holds still.
        RenderFrame();
        ASSERT_TRUE(QTest::qWaitFor([] { return sharpLayersReady(currentFrame); }, 5000));
        RenderFrame();
        MyTImage *front = fmZoom->surfaces[ZoomState.frontImage];
        QImage expected(front->size(), QImage::Format_RGB32);
        renderSharpView(expected, fmZoom->sharpRegionWidth());
        const auto shown = [&] {
            return fmZoom->screen()
                ->grabWindow(fmZoom->winId(), front->x(), front->y(), front->width(), front->height())
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
        };
        EXPECT_EQ(shown(), expected);
        front->repaint();   // as an expose paints it
        EXPECT_EQ(shown(), expected) << "after an expose";
    }
}

TEST_F(PresentationTest, CommandLineChoosesSharpAndFullScreen)
{
    const PlayerOptions none = parseCommandLine({QStringLiteral("tiefenflug")});
    EXPECT_FALSE(none.sharp || none.fullScreen);
    const PlayerOptions both = parseCommandLine(
        {QStringLiteral("tiefenflug"), QStringLiteral("--fullscreen"), QStringLiteral("--sharp")});
    ASSERT_TRUE(both.sharp && both.fullScreen);
    applyPlayerOptions(both);
    EXPECT_TRUE(fmZoom->Scharf1->isChecked());
    EXPECT_TRUE(fmZoom->isFullScreenView());
    key(fmZoom, Qt::Key_Escape);
    EXPECT_TRUE(fmZoom->surfaces[0]->isSharp()) << "--sharp holds in the window too";
}

// The same answers with a screen and without one (no DISPLAY, no WAYLAND_DISPLAY): the command
// line is read before the player asks for a desktop.
TEST(CommandLine, HelpVersionAndBadInput)
{
    for (const bool screen : {true, false}) {
        SCOPED_TRACE(screen ? "offscreen" : "no display");
        const auto run = [screen](const QStringList &arguments) {
            QProcess player;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
                environment.remove(QLatin1String(name));
            if (screen)
                environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
            player.setProcessEnvironment(environment);
            player.setProcessChannelMode(QProcess::MergedChannels);
            player.start(QStringLiteral(TF_PLAYER_EXECUTABLE), arguments);
            player.waitForFinished(10000);
            return std::pair(player.exitCode(), QString::fromLocal8Bit(player.readAll()));
        };
        const auto [helpStatus, help] = run({QStringLiteral("--help")});
        EXPECT_EQ(helpStatus, 0);
        EXPECT_TRUE(help.contains(QLatin1String("--sharp")) && help.contains(QLatin1String("--fullscreen")))
            << help.toStdString();
        // German throughout: Qt's lines of the help too.
        EXPECT_TRUE(help.contains(QLatin1String("Zeigt Hilfe"))
                    && !help.contains(QLatin1String("Displays help")))
            << help.toStdString();
        const auto [versionStatus, version] = run({QStringLiteral("--version")});
        EXPECT_EQ(versionStatus, 0);
        EXPECT_TRUE(version.contains(QLatin1String("Tiefenflug 1.1"))) << version.toStdString();
        for (const QString &bad : {QStringLiteral("--sharpe"), QStringLiteral("bild.jpg")}) {
            const auto [status, text] = run({bad});
            EXPECT_EQ(status, 1) << bad.toStdString();
            EXPECT_TRUE(text.contains(bad.startsWith(QLatin1Char('-')) ? bad.mid(2) : bad))
                << text.toStdString();
            EXPECT_FALSE(text.contains(QLatin1String("Unknown"))) << text.toStdString();
        }
        if (!screen) {
            const auto [status, text] = run({QStringLiteral("--sharp")});
            EXPECT_EQ(status, 1);
            EXPECT_TRUE(text.contains(QLatin1String("Desktop-Sitzung"))) << text.toStdString();
        }
    }
}
