// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "VideoExport.h"

#include <QObject>

#include <atomic>
#include <memory>

class QThread;

// One export on a thread of its own. Only plain data crosses: the settings go in, the progress
// and the outcome come back as queued signals on the thread that started it.
class VideoExportJob : public QObject
{
    Q_OBJECT
public:
    VideoExportJob(const ExportSettings &settings, QObject *parent = nullptr);
    // Stops a running export (nothing is left behind) and waits for its thread.
    ~VideoExportJob() override;

    void start();
    void cancel();

signals:
    void progressed(int framesDone, int frameCount);
    // `error` is empty when the video was written or the export cancelled.
    void finished(bool written, const QString &error);

private:
    ExportSettings m_settings;
    std::atomic<bool> m_cancel{false};
    std::unique_ptr<QThread> m_thread;
};
