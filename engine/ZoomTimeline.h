// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The view at one moment: keyframe `frame` magnified by `scale` (1..2).
struct ZoomMoment
{
    int frame = 2;
    double scale = 1.0;
};

// The zoom as a function of time. Playback multiplies the scale by `stepFactor` once per tick
// and swaps keyframe k at scale 2 for keyframe k + 1 at scale 1 (the same picture), so the total
// magnification grows as stepFactor^(ticksPerSecond * t): a smooth exponential, whatever the
// frame rate it is sampled at. Keyframes 2..62 make up the run; 1 is the start card and 63 the
// end card.
class ZoomTimeline
{
public:
    static constexpr int startCard = 1;
    static constexpr int firstFrame = 2;
    static constexpr int lastFrame = 62;
    static constexpr int endCard = 63;
    // The speed panel's range and the player's default magnification per tick.
    static constexpr int slowestSpeed = 1;
    static constexpr int fastestSpeed = 100;
    static constexpr double defaultStepFactor = 1.04;
    static constexpr double defaultTicksPerSecond = 30.0;

    // stepFactor > 1 and ticksPerSecond > 0.
    ZoomTimeline(double stepFactor = defaultStepFactor, double ticksPerSecond = defaultTicksPerSecond);

    // The magnification per tick the speed panel sets at `position` (1..100).
    static double stepFactorForSpeed(int position);

    double stepFactor() const { return m_stepFactor; }
    double ticksPerSecond() const { return m_ticksPerSecond; }

    // From keyframe 2 at scale 1 to keyframe 62 at scale 2.
    double runSeconds() const;
    // Zooming in: the view `t` seconds after the run began, t clamped to [0, runSeconds].
    ZoomMoment atRunSeconds(double t) const;
    // The same run played backwards: `t` seconds after leaving keyframe 62 at scale 2.
    ZoomMoment atRunSecondsOut(double t) const;
    // log2 of the magnification over keyframe 2 at scale 1, `t` seconds into the run (in).
    double octavesAt(double t) const;

private:
    double m_stepFactor;
    double m_ticksPerSecond;
    double m_octavesPerSecond;
};
