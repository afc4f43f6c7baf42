// SPDX-License-Identifier: GPL-3.0-or-later
#include "ResourceStream.h"
#include "ToolkitError.h"

#include <QImage>
#include <QResource>

#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

static void initEmbeddedResources()
{
    // The resources live in a static library: referencing the initialiser keeps them linked in.
    static const bool done = [] {
        Q_INIT_RESOURCE(tiefenflug_data);
        return true;
    }();
    (void)done;
}

QString ResourceStream::path(int id, Kind kind)
{
    switch (kind) {
    case Kind::Bitmap:
        return QStringLiteral(":/casing/%1.bmp").arg(id);
    case Kind::HdKeyframe:
        return QStringLiteral(":/keyframes-hd/%1.jpg").arg(id);
    case Kind::BaselineKeyframe:
        return QStringLiteral(":/keyframes-baseline/%1.jpg").arg(id);
    case Kind::RawData:
        break;
    }
    return QStringLiteral(":/keyframes/%1.jpg").arg(id);
}

ResourceStream::ResourceStream(int id, Kind kind)
{
    initEmbeddedResources();
    QResource resource(path(id, kind));
    if (!resource.isValid() || resource.compressionAlgorithm() != QResource::NoCompression)
        throw ToolkitError(QStringLiteral("Ressource %1 wurde nicht gefunden").arg(id));
    m_data = resource.data();
    m_size = resource.size();
}

QByteArray ResourceStream::bytes() const
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(m_data), m_size);
}

QImage loadBitmapResource(int id)
{
    const ResourceStream stream(id, ResourceStream::Kind::Bitmap);
    QImage image;
    if (!image.loadFromData(stream.data(), int(stream.size()), "BMP"))
        throw ToolkitError(QStringLiteral("Ressource %1 wurde nicht gefunden").arg(id));
    return image;
}

QImage loadButtonImage(const QString &controlName)
{
    initEmbeddedResources();
    QImage image(QStringLiteral(":/buttons/%1.bmp").arg(controlName), "BMP");
    if (image.isNull())
        throw ToolkitError(QStringLiteral("Ressource %1 wurde nicht gefunden").arg(controlName));
    return image;
}

void ResourceStream::releasePages() const
{
    if (!m_data || m_size <= 0)
        return;
    // Paging out is never destructive, so it is just as safe where Qt read a data file into
    // memory instead of mapping it; where the kernel does not know the advice, nothing changes.
    const auto page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<std::uintptr_t>(m_data) & ~(page - 1);
    const auto end = reinterpret_cast<std::uintptr_t>(m_data) + std::uintptr_t(m_size);
    madvise(reinterpret_cast<void *>(begin), end - begin, MADV_PAGEOUT);
}
