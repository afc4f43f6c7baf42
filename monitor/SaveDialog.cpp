#include "SaveDialog.h"

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
