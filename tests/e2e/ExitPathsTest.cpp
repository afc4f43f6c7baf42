// SPDX-License-Identifier: GPL-3.0-or-later
// The three ways to end the player, each at rest and in the middle of a running zoom: the
// process must end with exit status 0 every time.
#include "PlayerFixture.h"
#include "PlayerLayout.h"
#include "ScreenCheck.h"

namespace {
enum class Way { MenuSchliessen, CloseButton, AltF4 };

struct ExitCase
{
    Way way;
    bool whileZooming;
};

std::string caseName(const ExitCase &c)
{
    const char *way = c.way == Way::MenuSchliessen ? "MenuSchliessen"
        : c.way == Way::CloseButton                ? "CloseButton"
                                                   : "AltF4";
    return std::string(way) + (c.whileZooming ? "WhileZooming" : "AtRest");
}

void PrintTo(const ExitCase &c, std::ostream *out)
{
    *out << caseName(c);
}

class Exit
    : public PlayerFixture
    , public ::testing::WithParamInterface<ExitCase>
{
protected:
    // Starts the zoom and makes sure it runs: two screenshots in a row differ.
    void startZoom()
    {
        clickControl(layout::bsVorwaerts);
        QImage previous = m_startScreen;
        int changes = 0;
        waitUntil(
            [&] {
                const QImage shot = screen(QStringLiteral("zooming"));
                changes +=
                    !comparePixels(shot.copy(layout::zoomMittel), previous.copy(layout::zoomMittel)).same();
                previous = shot;
                return changes >= 2;
            },
            3000, 60);
        ASSERT_GE(changes, 2) << "the zoom does not run";
    }
};

constexpr QPoint onZoomPicture{300, 200};
}   // namespace

TEST_P(Exit, EndsTheProcessWithStatusZero)
{
    if (GetParam().whileZooming) {
        ASSERT_NO_FATAL_FAILURE(startZoom());
    }

    switch (GetParam().way) {
    case Way::MenuSchliessen: {
        m_desktop->rightClick(onZoomPicture);
        QRect menu;
        ASSERT_TRUE(waitUntil(
            [&] {
                for (const XWindow &w : m_desktop->visibleWindows(m_player->pid()))
                    if (w.geometry.topLeft() == onZoomPicture)
                        menu = w.geometry;
                return !menu.isNull();
            },
            3000))
            << "no context menu";
        screen(QStringLiteral("menu"));
        // "Schließen" is the menu's last item.
        m_desktop->click(QPoint(menu.center().x(), menu.bottom() - 8));
        break;
    }
    case Way::CloseButton:
        clickControl(layout::bsClose);
        break;
    case Way::AltF4:
        // Without a window manager the keyboard focus goes where a person clicks; while zooming,
        // the forward click already put it on the player.
        if (!GetParam().whileZooming)
            m_desktop->click(onZoomPicture);
        m_desktop->key(QStringLiteral("alt+F4"));
        break;
    }
    expectEndsWithStatusZero();
}

INSTANTIATE_TEST_SUITE_P(AllWays, Exit,
                         ::testing::Values(ExitCase{Way::MenuSchliessen, false},
                                           ExitCase{Way::MenuSchliessen, true},
                                           ExitCase{Way::CloseButton, false},
                                           ExitCase{Way::CloseButton, true}, ExitCase{Way::AltF4, false},
                                           ExitCase{Way::AltF4, true}),
                         [](const ::testing::TestParamInfo<ExitCase> &info) { return caseName(info.param); });
