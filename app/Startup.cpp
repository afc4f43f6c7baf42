#include "Startup.h"
#include "Application.h"
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
    new TfmZoom;      // sets fmZoom; GoToStart, bsZumEndeD shown, placed at +32/+24
    fmMonitor->show(); // FormShow shows the zoom window
}

int runPlayer(int &argc, char **argv)
{
    Application app(argc, argv);
    return showPlayer(app);
}

int showPlayer(Application &app)
{
    try {
        createPlayerWindows();
        app.exec();
        return 0;
    } catch (const ToolkitError &error) {
        app.showException(error.message());
    } catch (...) {
        app.showException(QString());
    }
    return 0;
}
