// SPDX-License-Identifier: GPL-3.0-or-later
#include "HdKeyframeSet.h"

#include "JpegImage.h"
#include "ResourceStream.h"
#include "ToolkitError.h"
#include "ZoomTimeline.h"

#include <QDir>
#include <QFileInfo>
#include <QResource>
#include <QtDebug>

namespace {
// Looks at the names alone: a lookup of each keyframe would read the size stored before its
// data and so bring pages from all over the file into memory at start-up.
struct ResourceFolder : QResource
{
    using QResource::children;   // protected, for folders
    using QResource::QResource;
};

bool holdsEveryKeyframe()
{
    const QStringList names = ResourceFolder(QStringLiteral(":/keyframes-hd")).children();
    for (int number = 1; number <= ZoomTimeline::endCard; ++number) {
        if (!names.contains(QStringLiteral("%1.jpg").arg(number)))
            return false;
    }
    return true;
}
}

QString HdKeyframeSet::fileName()
{
    return QStringLiteral("tiefenflug-hd.rcc");
}

HdKeyframeSet HdKeyframeSet::registerFirst(const QStringList &folders)
{
    for (const QString &folder : folders) {
        const QString file = QDir(folder).absoluteFilePath(fileName());
        if (!QFileInfo(file).isFile())
            continue;
        if (!QResource::registerResource(file)) {
            qWarning("%s ist keine Ressourcendatei und bleibt unbenutzt", qPrintable(file));
            continue;
        }
        if (holdsEveryKeyframe())
            return HdKeyframeSet(file);
        // An older or interrupted build: rather the embedded keyframes than a set with gaps.
        QResource::unregisterResource(file);
        qWarning("In %s fehlen HD-Schlüsselbilder; die Datei bleibt unbenutzt", qPrintable(file));
    }
    return {};
}

void HdKeyframeSet::decode(int number, QImage &target) const
{
    if (!isAvailable())
        throw ToolkitError(QStringLiteral("HD-Schlüsselbild %1 wurde nicht gefunden").arg(number));
    const ResourceStream stream(number, ResourceStream::Kind::HdKeyframe);
    JpegImage jpeg;
    jpeg.decodeInto(stream.data(), std::size_t(stream.size()), target);
    stream.releasePages();
}
