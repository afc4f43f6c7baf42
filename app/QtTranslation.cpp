// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool installQtGerman(QCoreApplication &app)
{
    auto *german = new QTranslator(&app);
    if (german->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        && QCoreApplication::installTranslator(german))
        return true;
    delete german;
    return false;
}
