// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QCoreApplication;

// Qt's own texts in German, as the program speaks: the standard buttons and fields of Qt's
// dialogs and the command line's help and errors. Installs Qt's German translation on `app`,
// which owns it; false when this system has no such translation (the texts stay English).
bool installQtGerman(QCoreApplication &app);
