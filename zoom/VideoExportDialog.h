// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "VideoExport.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

// "Als Video speichern": the file, the size, the frames per second and the direction. Accepts
// only settings an export can use; an existing file is replaced only after asking.
class VideoExportDialog : public QDialog
{
    Q_OBJECT
public:
    // `speed` carries the player's zoom speed into the settings.
    VideoExportDialog(const ZoomTimeline &speed, QWidget *parent);

    ExportSettings settings() const;
    void accept() override;

private:
    void chooseFile();

    ZoomTimeline m_speed;
    QLineEdit *m_file = nullptr;
    QComboBox *m_size = nullptr;
    QComboBox *m_framesPerSecond = nullptr;
    QComboBox *m_direction = nullptr;
    bool m_replace = false;
};
