#pragma once

// The background keyframe loader: one thread for the whole run, created suspended at the lowest
// priority. Each resume loads keyframe pendingFrame into the bitmap activeBitmap does not name
// and then sets ZoomState.nextReady.
class MyThread
{
public:
    explicit MyThread(bool createSuspended);
    void resume();            // one load request; never lost, also right after nextReady was set
    void waitUntilIdle();     // GUI-side loads call this so they never overlap a background load
};

extern MyThread *loaderThread;
