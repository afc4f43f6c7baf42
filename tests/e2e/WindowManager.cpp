// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowManager.h"
#include "XDesktop.h"

#include <QStandardPaths>
#include <csignal>
#include <sys/prctl.h>

WindowManager::WindowManager(const QProcessEnvironment &display) : m_environment(display)
{
    m_process.setProcessEnvironment(m_environment);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    // If the test program dies (a crash, a time-out), the child goes with it.
    m_process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

WindowManager::~WindowManager()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
}

bool WindowManager::announced() const
{
    QProcess query;
    query.setProcessEnvironment(m_environment);
    query.start(QStringLiteral("xprop"),
                {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
    query.waitForFinished(5000);
    return query.readAllStandardOutput().contains("window id");
}

bool WindowManager::start(QString *error)
{
    if (QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty()) {
        *error = QStringLiteral("openbox is not installed (scripts/install-deps installs it)");
        return false;
    }
    // No session manager; the system's default configuration.
    m_process.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    if (!m_process.waitForStarted(5000)) {
        *error = m_process.errorString();
        return false;
    }
    if (!waitUntil([this] { return announced() || m_process.state() != QProcess::Running; }, 10000, 50)
        || m_process.state() != QProcess::Running) {
        *error = QStringLiteral("openbox did not take over the screen: ")
            + QString::fromLocal8Bit(m_process.readAll());
        return false;
    }
    return true;
}
