// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlayerFixture.h"
#include "PlayerLayout.h"
#include "ScreenCheck.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>

void PlayerFixture::SetUp()
{
    m_server = std::make_unique<XvfbServer>();
    QString error;
    ASSERT_TRUE(m_server->start(&error)) << error.toStdString();
    if (m_underWindowManager) {
        m_windowManager = std::make_unique<WindowManager>(m_server->clientEnvironment());
        ASSERT_TRUE(m_windowManager->start(&error)) << error.toStdString();
    }
    m_desktop = std::make_unique<XDesktop>(m_server->clientEnvironment());
    m_player = std::make_unique<PlayerProcess>(playerEnvironment());
    ASSERT_TRUE(m_player->start()) << "cannot start " << PlayerProcess::executable().toStdString();

    waitForWindows(layout::monitorMittel, layout::zoomMittel, 10000);
    ASSERT_FALSE(HasFailure()) << "the player's windows did not appear at their start places";
    const QImage startCard = keyframeCentre(1, layout::zoomMittel.size());
    m_startScreen = waitForScreen(
        QStringLiteral("start"),
        [&](const QImage &shot) { return comparePixels(shot.copy(layout::zoomMittel), startCard).same(); },
        5000);
    ASSERT_TRUE(comparePixels(m_startScreen.copy(layout::zoomMittel), startCard).same())
        << "the start card is not on screen";
}

QProcessEnvironment PlayerFixture::playerEnvironment()
{
    QProcessEnvironment environment = m_server->clientEnvironment();
    // Qt looks for xdg-open on the PATH, then for $BROWSER and the desktop's own opener.
    for (const char *name : {"BROWSER", "DEFAULT_BROWSER", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION",
                             "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID"})
        environment.remove(QLatin1String(name));
    environment.insert(QStringLiteral("PATH"), m_programs.path());
    if (m_browserStarts) {
        QFile opener(m_programs.filePath(QStringLiteral("xdg-open")));
        EXPECT_TRUE(opener.open(QIODevice::WriteOnly));
        opener.write(QStringLiteral("#!/bin/sh\necho \"$1\" >> '%1'\n")
                         .arg(m_programs.filePath(QStringLiteral("opened")))
                         .toUtf8());
        opener.close();
        opener.setPermissions(opener.permissions() | QFile::ExeOwner);
    }
    return environment;
}

QStringList PlayerFixture::openedAddresses() const
{
    QFile opened(m_programs.filePath(QStringLiteral("opened")));
    if (!opened.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(opened.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void PlayerFixture::TearDown()
{
    if (HasFailure() && m_server && m_server->isRunning()) {
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        const QString folder = QStringLiteral("e2e-failures/")
            + QStringLiteral("%1.%2")
                  .arg(QString::fromUtf8(info->test_suite_name()), QString::fromUtf8(info->name()))
                  .replace(QLatin1Char('/'), QLatin1Char('_'));
        QDir().mkpath(folder);
        try {
            m_shots.append({QStringLiteral("at-failure"), m_desktop->grabScreen()});
        } catch (const std::exception &) {
        }
        for (int i = 0; i < m_shots.size(); ++i)
            m_shots[i].second.save(QStringLiteral("%1/%2-%3.png")
                                       .arg(folder)
                                       .arg(i, 2, 10, QLatin1Char('0'))
                                       .arg(m_shots[i].first));
        QFile tree(folder + QStringLiteral("/windows.txt"));
        try {
            if (tree.open(QIODevice::WriteOnly))
                tree.write(m_desktop->run(QStringLiteral("xwininfo"),
                                          {QStringLiteral("-root"), QStringLiteral("-tree")}));
        } catch (const std::exception &) {
        }
        QFile log(folder + QStringLiteral("/player-output.txt"));
        if (m_player && log.open(QIODevice::WriteOnly))
            log.write(m_player->output());
        std::fprintf(stderr, "screenshots of the failure: %s\n", qPrintable(QDir(folder).absolutePath()));
    }
    m_player.reset();   // kills a player that still runs
    m_windowManager.reset();
    m_server.reset();
}

PlayerFixture::Windows PlayerFixture::windows() const
{
    const QList<XWindow> shown = m_desktop->visibleWindows(m_player->pid());
    EXPECT_EQ(shown.size(), 2) << "visible windows of the player";
    if (shown.size() != 2)
        return {};
    const auto area = [](const QRect &r) { return r.width() * r.height(); };
    const bool firstIsMonitor = area(shown[0].geometry) > area(shown[1].geometry);
    return {shown[firstIsMonitor ? 0 : 1].geometry, shown[firstIsMonitor ? 1 : 0].geometry};
}

PlayerFixture::Windows PlayerFixture::waitForWindows(const QRect &monitor, const QRect &zoom, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    Windows seen;
    for (;;) {
        const QList<XWindow> shown = m_desktop->visibleWindows(m_player->pid());
        if (shown.size() == 2) {
            seen = windows();
            if (seen.monitor == monitor && seen.zoom == zoom)
                return seen;
        }
        if (deadline.hasExpired() || !m_player->isRunning())
            break;
        pause(20);
    }
    EXPECT_EQ(seen.monitor, monitor) << "monitor window";
    EXPECT_EQ(seen.zoom, zoom) << "zoom window";
    return seen;
}

QImage PlayerFixture::screen(const QString &label)
{
    QImage shot = m_desktop->grabScreen();
    m_shots.append({label, shot});
    if (m_shots.size() > 40)   // keep the folder small: the first and the latest ones
        m_shots.removeAt(1);
    return shot;
}

QImage PlayerFixture::waitForScreen(const QString &label, const std::function<bool(const QImage &)> &done,
                                    int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        QImage shot = m_desktop->grabScreen();
        if (done(shot) || deadline.hasExpired()) {
            m_shots.append({label, shot});
            return shot;
        }
        pause(10);
    }
}

void PlayerFixture::clickControl(const QRect &control, int button)
{
    m_desktop->click(layout::centre(control), button);
}

void PlayerFixture::expectEndsWithStatusZero(int timeoutMs)
{
    ASSERT_TRUE(m_player->waitForExit(timeoutMs)) << "the player still runs";
    EXPECT_EQ(m_player->exitStatus(), QProcess::NormalExit) << m_player->output().constData();
    EXPECT_EQ(m_player->exitCode(), 0) << m_player->output().constData();
}
