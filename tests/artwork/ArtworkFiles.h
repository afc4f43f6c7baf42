// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared by the artwork tests: where the committed files lie, the list of
// files the generator writes, and little-endian header fields of BMP and ICO files.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace ArtworkFiles {

QString resourcesDir();
QByteArray readResource(const QString &relativePath);   // empty if missing

QStringList casingWidths();     // "440", "640", "800"
QStringList buttonNames();      // the 17 picture-button images
QStringList generatedFiles();   // every path the generator writes, relative to resources/

quint32 le32(const QByteArray &bytes, int offset);
quint16 le16(const QByteArray &bytes, int offset);

}   // namespace ArtworkFiles
