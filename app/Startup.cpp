#include "Startup.h"
#include "Application.h"
#include "CommandLine.h"
#include "TfmMonitor.h"
#include "TfmZoom.h"
#include "ToolkitError.h"
#include "ZoomState.h"

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
}

int runPlayer(int &argc, char **argv)
{
    Application app(argc, argv);
    return showPlayer(app, parseCommandLine(app.arguments()));
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
