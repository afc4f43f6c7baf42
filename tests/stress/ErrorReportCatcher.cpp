// SPDX-License-Identifier: GPL-3.0-or-later
#include "ErrorReportCatcher.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

ErrorReportCatcher::ErrorReportCatcher() : m_timer(new QTimer(this))
{
    connect(m_timer, &QTimer::timeout, this, &ErrorReportCatcher::look);
    m_timer->start(20);
}

void ErrorReportCatcher::look()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *box = qobject_cast<QMessageBox *>(widget);
        if (!box || !box->isVisible())
            continue;
        texts.append(box->text());
        allCritical = allCritical && box->icon() == QMessageBox::Critical;
        QAbstractButton *ok = box->button(QMessageBox::Ok);
        if (ok)
            QTest::mouseClick(ok, Qt::LeftButton);
        else
            box->reject();
    }
}
