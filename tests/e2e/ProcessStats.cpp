// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProcessStats.h"
#include "XDesktop.h"

#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <unistd.h>

double processCpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0.0;
    const QByteArray line = stat.readAll();
    // The fields after the command's closing parenthesis: utime and stime are the 12th and 13th.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) / double(sysconf(_SC_CLK_TCK));
}

std::pair<long, long> residentKilobytes(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    long peak = -1, now = -1;
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                peak = line.mid(6).trimmed().split(' ').value(0).toLong();
            if (line.startsWith("VmRSS:"))
                now = line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return {peak, now};
}

std::vector<double> cpuSharesOver(const std::vector<qint64> &pids, int seconds)
{
    std::vector<double> shares;
    for (qint64 pid : pids)
        shares.push_back(processCpuSeconds(pid));
    QElapsedTimer clock;
    clock.start();
    pause(seconds * 1000);
    const double wall = double(clock.nsecsElapsed()) / 1e9;
    for (std::size_t i = 0; i < pids.size(); ++i)
        shares[i] = (processCpuSeconds(pids[i]) - shares[i]) / wall;
    return shares;
}
