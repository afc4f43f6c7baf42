// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QApplication>

// The application object. An error that leaves an event handler is shown by the standard error
// report (a critical message box with the application's title) and the message loop goes on.
class Application : public QApplication
{
public:
    Application(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // Shows the standard error report for `message`: the text plus a full stop when its last
    // character sorts above ".". A report raised while one is open goes to standard error.
    void showException(const QString &message);

    // The text the report shows for `message`.
    static QString reportText(const QString &message);

private:
    bool m_reporting = false;
};
