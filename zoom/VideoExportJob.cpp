// SPDX-License-Identifier: GPL-3.0-or-later
#include "VideoExportJob.h"
#include "ToolkitError.h"

#include <QThread>

VideoExportJob::VideoExportJob(const ExportSettings &settings, QObject *parent)
    : QObject(parent), m_settings(settings)
{
}

VideoExportJob::~VideoExportJob()
{
    if (!m_thread)
        return;
    m_cancel = true;
    m_thread->wait();
}

void VideoExportJob::start()
{
    m_thread.reset(QThread::create([this] {
        bool written = false;
        QString error;
        try {
            written = exportVideo(
                m_settings,
                [this, shownAt = -1.0](const ExportProgress &state) mutable {
                    // A few updates a second are enough for the dialog.
                    if (state.framesDone < state.frameCount && state.elapsedSeconds - shownAt < 0.1)
                        return;
                    shownAt = state.elapsedSeconds;
                    emit progressed(state.framesDone, state.frameCount);   // queued to our thread
                },
                &m_cancel);
        } catch (const ToolkitError &failure) {
            error = failure.message();
        } catch (const std::exception &failure) {
            error = QString::fromLocal8Bit(failure.what());
        }
        emit finished(written, error);
    }));
    m_thread->start();
}

void VideoExportJob::cancel()
{
    m_cancel = true;
}
