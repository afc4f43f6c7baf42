// SPDX-License-Identifier: GPL-3.0-or-later
#include "Startup.h"
#include "Application.h"
#include "CommandLine.h"
#include "FrameRateList.h"
#include "Screensaver.h"
#include "SharpLayers.h"
#include "TfmMonitor.h"
#include "TfmZoom.h"
#include "ToolkitError.h"
#include "ZoomState.h"

#include <QDir>

void runUnitStartSteps()
{
    zoomUnitStart();      // keyframe bitmaps, viewRatio, repeatMode
    monitorUnitStart();   // casingBitmap
}

void createPlayerWindows()
{
    new TfmMonitor;   // sets fmMonitor before its body runs
    // The casing goes to the screen at once: the window system places and maps it while the
    // zoom window decodes its first two keyframes. Its show handler finds no zoom window yet.
    fmMonitor->show();
    new TfmZoom;             // sets fmZoom; GoToStart, bsZumEndeD shown, placed at +32/+24
    fmMonitor->FormShow();   // shows the zoom window above the casing
}

void applyPlayerOptions(const PlayerOptions &options)
{
    if (options.sharp)
        fmZoom->Scharf1Click();
    if (options.fullScreen)
        fmZoom->setFullScreenView(true);
    // As if chosen in the repeat menu and the speed panel: both show them.
    if (options.repeatMode == QLatin1String("OFF"))
        fmZoom->Aus1Click();
    else if (options.repeatMode == QLatin1String("ON"))
        fmZoom->Ein1Click();
    else if (options.repeatMode == QLatin1String("BIDI"))
        fmZoom->beideRichtungen1Click();
    if (options.frameRateIndex >= 0) {
        ZoomState.frameRateIndex = options.frameRateIndex;
        ZoomState.frameRate = FrameRateList::ticksPerSecond(options.frameRateIndex);
    }
}

int runScreensaver(const PlayerOptions &options)
{
    const int ticksPerSecond = options.frameRateIndex >= 0
        ? FrameRateList::ticksPerSecond(options.frameRateIndex)
        : ZoomState.frameRate;
    Screensaver screensaver(options.window, ZoomTimeline(ZoomState.stepFactor, ticksPerSecond),
                            ticksPerSecond);
    return screensaver.run();
}

HdKeyframeSet registerHdKeyframes(const QString &executableDir)
{
    const QDir dir(executableDir);
    return HdKeyframeSet::registerFirst(
        {dir.absolutePath(), QDir::cleanPath(dir.absoluteFilePath(QStringLiteral("../share/tiefenflug")))});
}

int runPlayer(int &argc, char **argv)
{
    Application app(argc, argv);
    const PlayerOptions options = parseCommandLine(app.arguments());
    // The sharp view and full screen draw from the HD keyframes where they have them.
    const HdKeyframeSet hd = registerHdKeyframes(QCoreApplication::applicationDirPath());
    if (hd.isAvailable())
        sharpLayers().setHdSource([hd](int number, QImage &target) { hd.decode(number, target); });
    return showPlayer(app, options);
}

int showPlayer(Application &app, const PlayerOptions &options)
{
    try {
        createPlayerWindows();
        applyPlayerOptions(options);
        app.exec();
        return 0;
    } catch (const ToolkitError &error) {
        app.showException(error.message());
    } catch (...) {
        app.showException(QString());
    }
    return 0;
}
