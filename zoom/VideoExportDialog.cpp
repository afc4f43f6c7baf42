// SPDX-License-Identifier: GPL-3.0-or-later
#include "VideoExportDialog.h"
#include "PanelStyle.h"
#include "ToolkitError.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>

namespace {
const char *const dialogStyle = R"(
QDialog { background-color: black; }
QLabel { color: white; }
QLineEdit, QComboBox { color: white; background-color: #141414; border: 1px solid #9a9a9a;
                       border-radius: 3px; padding: 2px 4px; }
QComboBox QAbstractItemView { color: white; background-color: #141414; }
QPushButton { padding: 3px 12px; }
)";
}

VideoExportDialog::VideoExportDialog(const ZoomTimeline &speed, QWidget *parent)
    : QDialog(parent), m_speed(speed)
{
    setObjectName(QStringLiteral("VideoExportDialog"));
    setWindowTitle(QStringLiteral("Als Video speichern"));
    setStyleSheet(panelStyleSheet() + QLatin1String(dialogStyle));

    // The videos folder where there is one, else the home folder.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    m_file = new QLineEdit(QDir(folder).filePath(QStringLiteral("Tiefenflug.mp4")));
    m_file->setObjectName(QStringLiteral("file"));
    m_file->setMinimumWidth(320);
    auto *browse = new QPushButton(QStringLiteral("Durchsuchen…"));
    connect(browse, &QPushButton::clicked, this, &VideoExportDialog::chooseFile);
    connect(m_file, &QLineEdit::textEdited, this, [this] { m_replace = false; });
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(m_file);
    fileRow->addWidget(browse);

    m_size = new QComboBox;
    m_size->setObjectName(QStringLiteral("size"));
    for (const QSize &size : {QSize(1280, 720), QSize(1920, 1080), QSize(2560, 1440), QSize(3840, 2160),
                              QSize(800, 600), QSize(1600, 1200)})
        m_size->addItem(QStringLiteral("%1 × %2").arg(size.width()).arg(size.height()), size);
    m_size->setCurrentIndex(1);
    m_framesPerSecond = new QComboBox;
    m_framesPerSecond->setObjectName(QStringLiteral("framesPerSecond"));
    for (int rate : {24, 25, 30, 50, 60})
        m_framesPerSecond->addItem(QString::number(rate), rate);
    m_framesPerSecond->setCurrentIndex(4);
    m_direction = new QComboBox;
    m_direction->setObjectName(QStringLiteral("direction"));
    m_direction->addItem(QStringLiteral("hinein"), false);
    m_direction->addItem(QStringLiteral("heraus"), true);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Datei:"), fileRow);
    form->addRow(QStringLiteral("Größe:"), m_size);
    form->addRow(QStringLiteral("Bilder pro Sekunde:"), m_framesPerSecond);
    form->addRow(QStringLiteral("Richtung:"), m_direction);
    auto *buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("Speichern"), QDialogButtonBox::AcceptRole)
        ->setObjectName(QStringLiteral("save"));
    buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void VideoExportDialog::chooseFile()
{
    const QString chosen =
        QFileDialog::getSaveFileName(this, QStringLiteral("Video speichern unter"), m_file->text(),
                                     QStringLiteral("Videos (*.mp4 *.mkv *.webm)"));
    if (chosen.isEmpty())
        return;
    m_file->setText(chosen);
    // The file dialog has asked before choosing an existing file.
    m_replace = QFileInfo::exists(chosen);
}

ExportSettings VideoExportDialog::settings() const
{
    ExportSettings s;
    s.fileName = m_file->text().trimmed();
    s.size = m_size->currentData().toSize();
    s.framesPerSecond = m_framesPerSecond->currentData().toInt();
    s.zoomOut = m_direction->currentData().toBool();
    s.stepFactor = m_speed.stepFactor();
    s.ticksPerSecond = m_speed.ticksPerSecond();
    s.overwrite = m_replace;
    return s;
}

void VideoExportDialog::accept()
{
    const QFileInfo target(settings().fileName);
    if (!m_replace && target.isFile()) {
        if (QMessageBox::question(
                this, windowTitle(),
                QStringLiteral("Die Datei \"%1\" gibt es schon. Ersetzen?").arg(target.fileName()))
            != QMessageBox::Yes)
            return;
        m_replace = true;
    }
    try {
        checkExportSettings(settings());
    } catch (const ToolkitError &error) {
        QMessageBox::warning(this, windowTitle(), error.message() + QLatin1Char('.'));
        return;
    }
    QDialog::accept();
}
