// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QPoint>
#include <QRect>
#include <array>

// Where things are on the player's windows in the display size "mittel" (the size at start),
// in pixels relative to the monitor window's top-left corner. Clicks go to a control's centre.
namespace layout {
inline constexpr QRect monitorMittel{0, 0, 704, 600};
inline constexpr QRect zoomMittel{32, 24, 640, 480};
inline constexpr QRect monitorGross{0, 0, 864, 720};
inline constexpr QRect zoomGross{32, 24, 800, 600};
inline constexpr QPoint zoomOffset{32, 24};

inline constexpr QPoint centre(QRect r)
{
    return {r.x() + r.width() / 2, r.y() + r.height() / 2};
}

inline constexpr QRect bsZumAnfang{45, 532, 42, 22};
inline constexpr QRect bsRueckwaerts{104, 532, 42, 22};
inline constexpr QRect bsPause{163, 532, 42, 22};
inline constexpr QRect bsVorwaerts{222, 532, 42, 22};
inline constexpr QRect bsZumEnde{281, 532, 42, 22};
inline constexpr QRect bsSpeed{45, 564, 42, 22};
inline constexpr QRect bsSave{163, 564, 42, 22};
inline constexpr QRect bsWWW{222, 564, 42, 22};
inline constexpr QRect bsSize{574, 548, 34, 22};
inline constexpr QRect bsClose{625, 548, 34, 22};
inline constexpr QRect bfFaktor2{352, 549, 181, 17};   // zoom factor in digits
inline constexpr QRect bfFaktor3{352, 565, 181, 17};   // zoom factor in words

// The speed panel (relative to the monitor window; the panel lies at 100, 68 in the zoom window).
inline constexpr QPoint gbSpeed{32 + 100, 24 + 68};
inline constexpr QRect cbFramerate{gbSpeed.x() + 252, gbSpeed.y() + 104, 173, 24};
inline constexpr QRect sbZoom{gbSpeed.x() + 20, gbSpeed.y() + 203, 405, 18};
inline constexpr QRect bsOK{gbSpeed.x() + 336, gbSpeed.y() + 252, 87, 25};

// See-through pixels per row of a casing corner, counted from the outer edge inwards.
inline constexpr std::array<int, 7> cornerRows{7, 5, 4, 3, 2, 1, 1};
}   // namespace layout
