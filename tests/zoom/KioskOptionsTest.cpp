// SPDX-License-Identifier: GPL-3.0-or-later
// The kiosk options --repeat and --frame-rate: starting values that the repeat menu and the speed
// panel show and that playback uses; a bad value ends the program with a German message.
#include "CommandLine.h"
#include "PictureControl.h"
#include "Startup.h"
#include "TfmMonitor.h"
#include "TfmZoom.h"
#include "ZoomFixture.h"
#include "ZoomState.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

TEST_F(ZoomTest, KioskOptionsAreWhatTheMenuAndThePanelStartWith)
{
    struct Case
    {
        const char *repeat, *rate;
        QAction *TfmZoom::*item;
        const char *mode;
        int interval;
    };
    const Case cases[] = {{"beide", "maximal", &TfmZoom::beideRichtungen1, "BIDI", 16},
                          {"ein", "12", &TfmZoom::Ein1, "ON", 83},
                          {"aus", "3", &TfmZoom::Aus1, "OFF", 333}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.repeat);
        // Another mode first, so that each case has to change the menu.
        fmZoom->Ein1Click();
        if (c.item == &TfmZoom::Ein1)
            fmZoom->beideRichtungen1Click();
        applyPlayerOptions(parseCommandLine({QStringLiteral("tiefenflug"), QStringLiteral("--repeat"),
                                             QLatin1String(c.repeat), QStringLiteral("--frame-rate"),
                                             QLatin1String(c.rate)}));
        EXPECT_TRUE((fmZoom->*c.item)->isChecked());
        EXPECT_EQ(ZoomState.repeatMode, QLatin1String(c.mode));

        clickOnMonitor(fmMonitor->bsSpeed);
        ASSERT_TRUE(fmZoom->gbSpeed->isVisible());
        EXPECT_EQ(fmZoom->cbFramerate->currentText(), QLatin1String(c.rate));
        clickOn(fmZoom->bsOK);   // keeps it
        clickOnMonitor(fmMonitor->bsVorwaerts);
        EXPECT_EQ(fmZoom->zgZoomIn->interval(), c.interval);
        clickOnMonitor(fmMonitor->bsPause);
    }
    // Without them the player keeps its own.
    const PlayerOptions none = parseCommandLine({QStringLiteral("tiefenflug")});
    EXPECT_TRUE(none.repeatMode.isEmpty());
    EXPECT_EQ(none.frameRateIndex, -1);
    EXPECT_FALSE(none.screensaver);
}

TEST(KioskOptions, BadValuesEndWithStatusOneAndAGermanMessage)
{
    const auto run = [](const QStringList &arguments) {
        QProcess player;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.remove(QStringLiteral("XSCREENSAVER_WINDOW"));
        player.setProcessEnvironment(environment);
        player.start(QStringLiteral(TF_PLAYER_EXECUTABLE), arguments);
        player.waitForFinished(10000);
        return std::pair(player.exitCode(), QString::fromLocal8Bit(player.readAllStandardError()));
    };
    const std::pair<QStringList, const char *> cases[] = {
        {{QStringLiteral("--repeat"), QStringLiteral("immer")}, "Ungültiger Wert \"immer\" für --repeat"},
        {{QStringLiteral("--repeat"), QStringLiteral("Ein")}, "Ungültiger Wert \"Ein\" für --repeat"},
        {{QStringLiteral("--frame-rate"), QStringLiteral("29")}, "Ungültige Framerate \"29\""},
        {{QStringLiteral("--frame-rate"), QStringLiteral("60")}, "Ungültige Framerate \"60\""},
        {{QStringLiteral("--window-id"), QStringLiteral("0x")}, "Ungültige Fensternummer \"0x\""},
        {{QStringLiteral("--window-id"), QStringLiteral("12ab")}, "Ungültige Fensternummer \"12ab\""},
    };
    for (const auto &[arguments, message] : cases) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        const auto [status, text] = run(arguments);
        EXPECT_EQ(status, 1);
        EXPECT_TRUE(text.contains(QString::fromUtf8(message))) << text.toStdString();
    }
    // The message lists what the panel offers.
    EXPECT_TRUE(
        run({QStringLiteral("--frame-rate"), QStringLiteral("7")})
            .second.contains(QLatin1String("3, 4, 6, 8, 10, 12, 15, 18, 20, 22, 25, 30, 35, 40, maximal")));
}
