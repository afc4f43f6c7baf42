// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <QString>
#include <QStringList>

class QTimer;

// Closes the application's error reports as a person would (the OK button) while a test runs
// and keeps their texts: every few milliseconds it looks for a shown message box.
class ErrorReportCatcher : public QObject
{
public:
    ErrorReportCatcher();

    QStringList texts;         // the text of each report, in order
    bool allCritical = true;   // every report carried the error icon

private:
    void look();
    QTimer *m_timer;
};
