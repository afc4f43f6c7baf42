// SPDX-License-Identifier: GPL-3.0-or-later
#include "SaveDialog.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QLineEdit>

SaveDialog::SaveDialog(QWidget *parent) : QFileDialog(parent)
{
    setObjectName(QStringLiteral("sdSave"));
    setWindowTitle(QStringLiteral("JPEG Bilder speichern (Ordner angeben)"));
    // The dialog of our own: it asks nothing before overwriting and runs the can-close step.
    setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    setDefaultSuffix(QStringLiteral("jpg"));
    setNameFilter(QStringLiteral("*.jpg"));
    setLabelText(QFileDialog::LookIn, QStringLiteral("Speichern in:"));
    setLabelText(QFileDialog::FileName, QStringLiteral("Dateiname:"));
    setLabelText(QFileDialog::FileType, QStringLiteral("Dateityp:"));
    setLabelText(QFileDialog::Accept, QStringLiteral("Speichern"));
    setLabelText(QFileDialog::Reject, QStringLiteral("Abbrechen"));
    selectFile(QStringLiteral("Fraktal"));
    // The zoom window stays on top of the monitor window; the dialog has to stay above both.
    setWindowFlag(Qt::WindowStaysOnTopHint);
}

QString SaveDialog::enteredPath() const
{
    return selectedFiles().value(0);
}

QLineEdit *SaveDialog::fileNameEdit() const
{
    return findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
}

void SaveDialog::accept()
{
    // Without a name there is nothing to confirm (the save button is disabled then, too).
    const QLineEdit *name = fileNameEdit();
    if (name && name->text().trimmed().isEmpty())
        return;
    bool canClose = true;
    if (onCanClose)
        onCanClose(canClose);
    // QDialog's own accept: QFileDialog's would ask about overwriting and would step into a
    // folder of the entered name instead of using it.
    if (canClose)
        QDialog::accept();
}

void SaveDialog::done(int result)
{
    closeCompletionLists();
    QFileDialog::done(result);
}

void SaveDialog::closeCompletionLists()
{
    // Return in the name field's completion list confirms the dialog from inside the list's own
    // key handling, and the list is a window of its own, not a child of the dialog: Qt closes an
    // open list when another window opens, not when the dialog hides. Left open, it would stay
    // over the picture, take every key and swallow the next click.
    for (const QLineEdit *field : findChildren<QLineEdit *>()) {
        const QCompleter *completer = field->completer();
        if (completer && completer->popup()->isVisible())
            completer->popup()->hide();
    }
}
