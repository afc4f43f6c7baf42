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

int runPlayer(int &argc, char **argv)
{
    Application app(argc, argv);
    try {
        new TfmMonitor;   // first window: the main window; sets fmMonitor
        new TfmZoom;      // sets fmZoom, shows the start card, places itself at +32/+24
        fmMonitor->show();
        app.exec();
        return 0;
    } catch (const ToolkitError &error) {
        app.showException(error.message());
    } catch (...) {
        app.showException(QString());
    }
    return 0;
}
