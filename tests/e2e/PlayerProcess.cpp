// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlayerProcess.h"

#include <QFile>
#include <csignal>
#include <sys/prctl.h>

PlayerProcess::PlayerProcess(const QProcessEnvironment &environment)
{
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    // If the test program dies (a crash, a time-out), the child goes with it.
    m_process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    if (m_log.open())
        m_process.setStandardOutputFile(m_log.fileName());
}

PlayerProcess::~PlayerProcess()
{
    kill();
}

QString PlayerProcess::executable()
{
    // The package test points the suite at the installed player.
    const QString installed = qEnvironmentVariable("TF_PLAYER");
    return installed.isEmpty() ? QStringLiteral(TF_PLAYER_EXECUTABLE) : installed;
}

bool PlayerProcess::start(const QStringList &arguments)
{
    m_process.start(executable(), arguments);
    return m_process.waitForStarted(10000);
}

qint64 PlayerProcess::pid() const
{
    return m_process.processId();
}

bool PlayerProcess::isRunning() const
{
    return m_process.state() == QProcess::Running;
}

bool PlayerProcess::waitForExit(int milliseconds)
{
    if (m_process.state() == QProcess::NotRunning)
        return true;
    return m_process.waitForFinished(milliseconds);
}

QByteArray PlayerProcess::output() const
{
    QFile log(m_log.fileName());
    return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
}

void PlayerProcess::kill()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}
