// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>

// The playback looks of the five transport pairs: what the casing shows for each state.
enum class PlaybackLooks { Launch, AtStart, AtEnd, ZoomingIn, ZoomingOut, Paused };

// Whoever shows the transport pairs (the monitor window's casing).
class TransportLooks
{
public:
    virtual ~TransportLooks() = default;
    virtual void showPlaybackLooks(PlaybackLooks looks) = 0;
    virtual bool pauseEnabled() const = 0;   // the pause pair has its normal look
};

// The one way into playback: the casing's buttons, the keys, the menus and full screen all
// start, pause and end the zoom through this object, so neither window drives the other.
class Transport
{
public:
    void setLooks(TransportLooks *looks);
    // Runs before every transport action: closes the zoom window's panels.
    void setPanelCloser(std::function<void()> closePanels);

    void toStart();
    void toEnd();
    void forward();
    void backward();
    void pause();
    // Pauses a running zoom; otherwise continues in the direction that ran last (or the other
    // one where that cannot start, as on the end card).
    void pauseOrContinue();
    // Runs the zoom in one direction unless it already runs that way.
    void run(bool zoomIn);

    bool isRunning() const;     // the pause pair has its normal look
    bool isZoomingIn() const;   // the timer of that direction runs
    bool isZoomingOut() const;
    bool lastDirectionWasIn() const { return m_lastIn; }

    // The still pictures of the engine set their looks through here.
    void showStillPictureLooks(bool atEnd);
    void showLaunchLooks();

private:
    void startDirection(bool zoomIn);
    void closePanels();
    void show(PlaybackLooks looks);

    TransportLooks *m_looks = nullptr;
    std::function<void()> m_closePanels;
    bool m_lastIn = true;
};

Transport &transport();
