// SPDX-License-Identifier: GPL-3.0-or-later
#include "VideoExport.h"
#include "ExportComposer.h"
#include "ExportSchedule.h"
#include "ProgramExit.h"
#include "ToolkitError.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <set>

namespace {
QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The part files of exports still running. The player ends without stopping its threads; its
// exit step removes them, so that even then nothing half-written stays behind.
struct OpenParts
{
    std::mutex mutex;
    std::set<QByteArray> paths;
};

OpenParts &openParts()
{
    static OpenParts parts;
    static const bool registered = [] {
        registerExitStep([] {
            // The exports' threads go on running meanwhile; they hold the lock only briefly.
            const std::lock_guard lock(parts.mutex);
            for (const QByteArray &path : parts.paths)
                std::remove(path.constData());
        });
        return true;
    }();
    (void)registered;
    return parts;
}

// The hidden file the video grows in; removed unless it was renamed to the target.
class PartFile
{
public:
    explicit PartFile(const QFileInfo &target)
    {
        const QString folder = target.absolutePath();
        // Created here, exclusively and with the umask's permissions, so that the encoder only
        // writes into a file that is ours.
        QString reason;
        for (int attempt = 0; attempt < 16; ++attempt) {
            QFile file(QStringLiteral("%1/.%2.%3.part")
                           .arg(folder, target.fileName())
                           .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
            if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
                m_path = file.fileName();
                const std::lock_guard lock(openParts().mutex);
                openParts().paths.insert(QFile::encodeName(m_path));
                return;
            }
            reason = file.errorString();
            if (!QFileInfo::exists(file.fileName()))
                break;   // not a clash of names: trying again would not help
        }
        if (!QFileInfo(folder).isWritable())
            reason = QStringLiteral("keine Schreibberechtigung");
        throw ToolkitError(QStringLiteral("Im Ordner \"%1\" lässt sich keine Datei anlegen (%2)")
                               .arg(shown(folder), reason));
    }
    ~PartFile()
    {
        if (m_path.isEmpty())
            return;
        QFile::remove(m_path);
        forget();
    }
    QString path() const { return m_path; }

    void renameTo(const QString &target, bool overwrite)
    {
        // Without overwrite the rename itself refuses an existing file, even one that appeared
        // during the export.
        const bool renamed = overwrite
            ? std::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(target).constData()) == 0
            : QFile::rename(m_path, target);
        if (!renamed)
            throw ToolkitError(
                QStringLiteral("Das Video ließ sich nicht unter \"%1\" ablegen").arg(shown(target)));
        forget();
        m_path.clear();
    }

private:
    void forget()
    {
        const std::lock_guard lock(openParts().mutex);
        openParts().paths.erase(QFile::encodeName(m_path));
    }

    QString m_path;
};
}

void checkExportSettings(const ExportSettings &s)
{
    using namespace exportLimits;
    const QFileInfo target(s.fileName);
    if (s.fileName.isEmpty())
        throw ToolkitError(QStringLiteral("Es ist kein Dateiname für das Video angegeben"));
    if (VideoEncoder::containerFor(s.fileName).isEmpty())
        throw ToolkitError(
            QStringLiteral("Unbekannte Dateiendung \"%1\": Videos werden als .mp4, .mkv oder "
                           ".webm gespeichert")
                .arg(target.suffix().isEmpty() ? target.fileName() : QLatin1Char('.') + target.suffix()));
    const QSize &size = s.size;
    if (size.width() < minSide || size.height() < minSide || size.width() > maxWidth
        || size.height() > maxHeight || size.width() % 2 || size.height() % 2)
        throw ToolkitError(QStringLiteral("Ungültige Videogröße %1x%2: Breite und Höhe müssen gerade sein, "
                                          "von %3x%3 bis %4x%5")
                               .arg(size.width())
                               .arg(size.height())
                               .arg(minSide)
                               .arg(maxWidth)
                               .arg(maxHeight));
    if (s.framesPerSecond < 1 || s.framesPerSecond > maxFramesPerSecond)
        throw ToolkitError(QStringLiteral("Ungültige Bildrate %1: erlaubt sind 1 bis %2 Bilder pro Sekunde")
                               .arg(s.framesPerSecond)
                               .arg(maxFramesPerSecond));
    for (double hold : {s.startCardSeconds, s.endCardSeconds})
        if (!(hold >= 0 && hold <= maxHoldSeconds))
            throw ToolkitError(QStringLiteral("Ungültige Standzeit %1: erlaubt sind 0 bis %2 Sekunden")
                                   .arg(hold)
                                   .arg(maxHoldSeconds));
    if (!(s.stepFactor > 1.0) || !(s.ticksPerSecond > 0) || !std::isfinite(s.stepFactor * s.ticksPerSecond))
        throw ToolkitError(QStringLiteral("Ungültige Zoomgeschwindigkeit"));
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir())
        throw ToolkitError(QStringLiteral("Den Ordner \"%1\" gibt es nicht").arg(shown(folder.filePath())));
    if (target.isDir())
        throw ToolkitError(QStringLiteral("\"%1\" ist ein Ordner").arg(shown(s.fileName)));
    if (target.exists() && !s.overwrite)
        throw ToolkitError(QStringLiteral("Die Datei \"%1\" gibt es schon; --force überschreibt sie")
                               .arg(shown(s.fileName)));
}

bool exportVideo(const ExportSettings &s, const std::function<void(const ExportProgress &)> &progress,
                 const std::atomic<bool> *cancel)
{
    checkExportSettings(s);
    const QFileInfo target(s.fileName);
    const ExportSchedule schedule(ZoomTimeline(s.stepFactor, s.ticksPerSecond), s.framesPerSecond,
                                  s.startCardSeconds, s.endCardSeconds, s.zoomOut);
    PartFile part(target);
    {
        VideoEncoder encoder(part.path(), VideoEncoder::containerFor(s.fileName), s.size, s.framesPerSecond,
                             s.quality);
        ExportComposer composer(s.size, s.fill);
        QElapsedTimer clock;
        clock.start();
        ExportProgress state{0, schedule.frameCount(), 0, schedule.seconds()};
        for (int index = 0; index < state.frameCount; ++index) {
            if (cancel && cancel->load())
                return false;
            encoder.addFrame(composer.compose(schedule.at(index)));
            state.framesDone = index + 1;
            state.elapsedSeconds = clock.nsecsElapsed() / 1e9;
            if (progress)
                progress(state);
        }
        if (cancel && cancel->load())
            return false;
        encoder.finish();
    }
    part.renameTo(target.absoluteFilePath(), s.overwrite);
    return true;
}
