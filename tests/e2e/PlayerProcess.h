// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryFile>

// The real player executable as a child process on a test display. The destructor kills it if
// it still runs, so a failing test never leaves a player behind.
class PlayerProcess
{
public:
    explicit PlayerProcess(const QProcessEnvironment &environment);
    ~PlayerProcess();
    PlayerProcess(const PlayerProcess &) = delete;
    PlayerProcess &operator=(const PlayerProcess &) = delete;

    static QString executable();   // the built player

    bool start(const QStringList &arguments = {});   // false when it cannot be started
    qint64 pid() const;
    bool isRunning() const;
    // Waits for the process to end; false if it still runs after `milliseconds`.
    bool waitForExit(int milliseconds);
    QProcess::ExitStatus exitStatus() const { return m_process.exitStatus(); }
    int exitCode() const { return m_process.exitCode(); }
    QByteArray output() const;   // everything it wrote to standard output and error so far
    void kill();

private:
    QProcess m_process;
    // Its output goes to a file: a pipe that nobody reads while a test waits could fill up.
    QTemporaryFile m_log;
};
