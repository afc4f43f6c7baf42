// SPDX-License-Identifier: GPL-3.0-or-later
#include "LoaderClock.h"
#include "MyThread.h"

#include <QDir>
#include <QFile>
#include <algorithm>

namespace {
QString loaderTaskFolder()
{
    static QString folder;
    if (folder.isEmpty()) {
        const QString tasks = QStringLiteral("/proc/self/task/");
        for (const QString &tid : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile comm(tasks + tid + QStringLiteral("/comm"));
            if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "Bild_laden")
                folder = tasks + tid;
        }
    }
    return folder;
}

long long ranNsOf(const QString &schedstatPath)
{
    QFile schedstat(schedstatPath);
    return schedstat.open(QIODevice::ReadOnly) ? schedstat.readAll().split(' ').value(0).toLongLong() : -1;
}
}   // namespace

LoaderAccounts loaderAccounts()
{
    LoaderAccounts accounts;
    const QString folder = loaderTaskFolder();
    QFile stat(folder + QStringLiteral("/stat"));
    QFile schedstat(folder + QStringLiteral("/schedstat"));
    if (folder.isEmpty() || !stat.open(QIODevice::ReadOnly) || !schedstat.open(QIODevice::ReadOnly))
        return accounts;
    const QByteArray fields = stat.readAll();
    const int afterName = int(fields.lastIndexOf(')')) + 2;
    if (afterName > 1 && afterName < fields.size())
        accounts.state = fields.at(afterName);
    const QList<QByteArray> times = schedstat.readAll().trimmed().split(' ');
    accounts.ranNs = times.value(0).toLongLong();
    accounts.waitedNs = times.value(1).toLongLong();
    return accounts;
}

LoaderClock::LoaderClock() : m_ranAtStartNs(loaderAccounts().ranNs)
{
    loaderThread->setAfterLoadHook([this] {
        const long long ran = ranNsOf(QStringLiteral("/proc/thread-self/schedstat"));
        std::lock_guard lock(m_mutex);
        m_ranAtEndNs.push_back(ran);
        m_completed.store(int(m_ranAtEndNs.size()));
    });
}

LoaderClock::~LoaderClock()
{
    loaderThread->setAfterLoadHook({});
}

double LoaderClock::processorMs(int load) const
{
    std::lock_guard lock(m_mutex);
    if (load < 1 || load > int(m_ranAtEndNs.size()))
        return -1.0;
    const long long before = load == 1 ? m_ranAtStartNs : m_ranAtEndNs[std::size_t(load) - 2];
    return double(m_ranAtEndNs[std::size_t(load) - 1] - before) / 1e6;
}

double LoaderClock::maximumProcessorMs() const
{
    double maximum = 0.0;
    for (int load = 1; load <= completedLoads(); ++load)
        maximum = std::max(maximum, processorMs(load));
    return maximum;
}
