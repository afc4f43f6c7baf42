// SPDX-License-Identifier: GPL-3.0-or-later
// "Als Video speichern…" on the real zoom window: the dialog takes the file, size, frame rate
// and direction, the export runs while the GUI thread goes on serving its timers, and
// "Abbrechen" in the progress dialog stops it with nothing left behind.
#include "TfmZoom.h"
#include "Transport.h"
#include "VideoExportDialog.h"
#include "ZoomFixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using VideoExportMenuTest = ZoomTest;

TEST_F(VideoExportMenuTest, ExportRunsBesideTheGuiAndCancelLeavesNothing)
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("zoom.webm"));
    ExportSettings chosen;
    // Fills in the dialog once it is open (it runs its own event loop).
    QTimer filler;
    QObject::connect(&filler, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<VideoExportDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        filler.stop();
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Als Video speichern"));
        dialog->findChild<QLineEdit *>(QStringLiteral("file"))->setText(fileName);
        auto *size = dialog->findChild<QComboBox *>(QStringLiteral("size"));
        size->setCurrentIndex(size->findText(QStringLiteral("800 × 600")));
        auto *rate = dialog->findChild<QComboBox *>(QStringLiteral("framesPerSecond"));
        rate->setCurrentIndex(rate->findText(QStringLiteral("24")));
        auto *direction = dialog->findChild<QComboBox *>(QStringLiteral("direction"));
        direction->setCurrentIndex(direction->findText(QStringLiteral("heraus")));
        chosen = dialog->settings();
        dialog->findChild<QPushButton *>(QStringLiteral("save"))->click();
    });
    filler.start(20);
    chooseFromMenu(fmZoom->pmMenue, fmZoom->Video1);
    EXPECT_EQ(chosen.fileName, fileName);
    EXPECT_EQ(chosen.size, QSize(800, 600));
    EXPECT_EQ(chosen.framesPerSecond, 24);
    EXPECT_TRUE(chosen.zoomOut);
    EXPECT_DOUBLE_EQ(chosen.stepFactor, 1.04);   // the player's speed

    auto *progress = fmZoom->findChild<QProgressDialog *>(QStringLiteral("VideoProgress"));
    ASSERT_TRUE(progress);
    EXPECT_FALSE(fmZoom->Video1->isEnabled());
    // The GUI thread goes on serving its timers while frames are encoded (no figures: the
    // machine may be busy).
    int ticks = 0;
    QTimer beat;
    QObject::connect(&beat, &QTimer::timeout, [&ticks] { ++ticks; });
    beat.start(10);
    ASSERT_TRUE(QTest::qWaitFor([progress] { return progress->value() >= 100; }, 60000));
    EXPECT_GE(ticks, 3);
    EXPECT_LT(progress->value(), progress->maximum());
    EXPECT_GT(progress->maximum(), 900);   // the whole zoom at 24 frames per second

    QPointer<QProgressDialog> watched(progress);
    progress->findChild<QPushButton *>()->click();
    ASSERT_TRUE(QTest::qWaitFor([&watched] { return watched.isNull(); }, 30000));
    EXPECT_TRUE(fmZoom->Video1->isEnabled());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}
