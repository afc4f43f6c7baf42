// SPDX-License-Identifier: GPL-3.0-or-later
// "Als Video speichern…": the settings dialog, then the export behind a progress dialog.
#include "TfmZoom.h"
#include "ToolkitError.h"
#include "Transport.h"
#include "VideoExportDialog.h"
#include "VideoExportJob.h"
#include "ZoomState.h"

#include <QAction>
#include <QProgressDialog>

void TfmZoom::Video1Click()
{
    if (transport().isRunning())
        transport().pause();
    VideoExportDialog dialog(ZoomTimeline(ZoomState.stepFactor, ZoomState.frameRate), this);
    if (dialog.exec() != QDialog::Accepted)
        return;

    auto *progress = new QProgressDialog(QStringLiteral("Video wird gespeichert…"),
                                         QStringLiteral("Abbrechen"), 0, 1, this);
    progress->setObjectName(QStringLiteral("VideoProgress"));
    progress->setWindowTitle(dialog.windowTitle());
    progress->setStyleSheet(dialog.styleSheet());
    // Not modal: a modal progress dialog runs the event loop from setValue.
    progress->setWindowModality(Qt::NonModal);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    progress->setMinimumDuration(0);
    progress->setAttribute(Qt::WA_DeleteOnClose);
    // The job belongs to the progress dialog: closing it cancels and waits for the thread.
    auto *job = new VideoExportJob(dialog.settings(), progress);
    connect(progress, &QProgressDialog::canceled, job, &VideoExportJob::cancel);
    connect(job, &VideoExportJob::progressed, progress, [progress](int done, int count) {
        progress->setMaximum(count);
        progress->setValue(done);
    });
    connect(job, &VideoExportJob::finished, progress, [progress](bool, const QString &error) {
        progress->close();
        if (!error.isEmpty())
            throw ToolkitError(error);
    });
    Video1->setEnabled(false);
    connect(progress, &QObject::destroyed, this, [this] { Video1->setEnabled(true); });
    job->start();
    progress->show();
}
