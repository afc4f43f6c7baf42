// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The save dialog of the monitor window: asks for a name that becomes the folder for the saved
// keyframes. Confirming runs the can-close step while the dialog is still open; an error raised
// there leaves the dialog open, so the user can pick another name or cancel.
#include <QFileDialog>
#include <functional>

class QLineEdit;

class SaveDialog : public QFileDialog
{
public:
    explicit SaveDialog(QWidget *parent = nullptr);

    // Runs on confirmation, before the dialog closes; clearing the flag keeps it open.
    std::function<void(bool &canClose)> onCanClose;

    // The full path the dialog reports for the entered name.
    QString enteredPath() const;
    // The name field.
    QLineEdit *fileNameEdit() const;

protected:
    void accept() override;
    // Closes the dialog, however it ends; the name field's completion list goes with it.
    void done(int result) override;

private:
    void closeCompletionLists();
};
