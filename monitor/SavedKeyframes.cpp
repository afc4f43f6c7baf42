// SPDX-License-Identifier: GPL-3.0-or-later
#include "SavedKeyframes.h"
#include "KeyframeStore.h"
#include "ToolkitError.h"

#include <QDir>
#include <QSaveFile>

QString savedKeyframePath(const QString &folder, const SavedKeyframe &row)
{
    return folder + QStringLiteral("/Fraktal%1.jpg").arg(row.fileNumber);
}

static ToolkitError cannotCreate(const QString &path)
{
    return ToolkitError(
        QStringLiteral("Datei %1 kann nicht erstellt werden").arg(QDir::toNativeSeparators(path)));
}

// Writes `data` to a temporary file beside `path` and renames it over `path` when it is
// complete: an existing file stays as it was until then. Where no temporary file can be made
// there (a read-only folder whose files are writable, or a symlink to such a file), the
// existing file is truncated and written in place, as any program that saves into it would.
static void writeWholeFile(const QString &path, const QByteArray &data)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        throw cannotCreate(path);
    if (file.write(data) != data.size())
        throw ToolkitError(QStringLiteral("Stream-Schreibfehler"));   // the temporary goes
    if (!file.commit()) {
        if (file.error() == QFileDevice::RenameError)
            throw cannotCreate(path);
        throw ToolkitError(QStringLiteral("Stream-Schreibfehler"));
    }
}

void saveKeyframes(const QString &folder)
{
    // Only the last level; an existing folder is used as it is, and a missing parent shows up
    // as the first file that cannot be created.
    QDir().mkdir(folder);
    for (const SavedKeyframe &row : savedKeyframes)
        writeWholeFile(savedKeyframePath(folder, row), keyframeBytes(row.keyframe));
}
