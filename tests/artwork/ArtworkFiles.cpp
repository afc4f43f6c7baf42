// SPDX-License-Identifier: GPL-3.0-or-later
#include "ArtworkFiles.h"

#include <QFile>
#include <QtEndian>

namespace ArtworkFiles {

QString resourcesDir()
{
    return QStringLiteral(TF_RESOURCES_DIR);
}

QByteArray readResource(const QString &relativePath)
{
    QFile file(resourcesDir() + '/' + relativePath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList casingWidths()
{
    return {"440", "640", "800"};
}

QStringList buttonNames()
{
    return {"bsZumAnfang",  "bsRueckwaerts",  "bsPause",  "bsVorwaerts",  "bsZumEnde", "bsSpeed",
            "bsInfo",       "bsSave",         "bsWWW",    "bsRepead",     "bsSize",    "bsClose",
            "bsZumAnfangD", "bsRueckwaertsD", "bsPauseD", "bsVorwaertsD", "bsZumEndeD"};
}

QStringList generatedFiles()
{
    QStringList files;
    for (const QString &w : casingWidths())
        files << "casing/" + w + ".bmp";
    for (const QString &b : buttonNames())
        files << "buttons/" + b + ".bmp";
    files << "icon/tiefenflug.ico"
          << "icon/tiefenflug-16.png"
          << "icon/tiefenflug-32.png"
          << "icon/tiefenflug-48.png";
    return files;
}

quint32 le32(const QByteArray &bytes, int offset)
{
    return offset + 4 <= bytes.size() ? qFromLittleEndian<quint32>(bytes.constData() + offset) : 0;
}

quint16 le16(const QByteArray &bytes, int offset)
{
    return offset + 2 <= bytes.size() ? qFromLittleEndian<quint16>(bytes.constData() + offset) : 0;
}

}   // namespace ArtworkFiles
