// SPDX-License-Identifier: GPL-3.0-or-later
#include "KeyframeSpoiler.h"
#include "KeyframeStore.h"
#include "ResourceStream.h"

#include <QCoreApplication>
#include <QThread>
#include <atomic>

namespace {
std::atomic<int> spoiledNumber{0};
std::atomic<int> loaderLoads{0};
std::atomic<int> guiLoads{0};
}   // namespace

void KeyframeSpoiler::install()
{
    static const bool installed = [] {
        setKeyframeSource([](int number) {
            static const QByteArray notAJpeg("Dies ist kein JPEG, sondern ein kaputtes Schlüsselbild.");
            if (number != spoiledNumber.load())
                return ResourceStream(number).bytes();
            ++(QThread::currentThread() == QCoreApplication::instance()->thread() ? guiLoads : loaderLoads);
            return notAJpeg;
        });
        return true;
    }();
    (void)installed;
}

void KeyframeSpoiler::spoil(int number)
{
    spoiledNumber.store(number);
}

int KeyframeSpoiler::spoiledLoadsOnLoader()
{
    return loaderLoads.load();
}

int KeyframeSpoiler::spoiledLoadsOnGui()
{
    return guiLoads.load();
}
