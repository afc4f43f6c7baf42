// SPDX-License-Identifier: GPL-3.0-or-later
#include "PanelStyle.h"

QString panelStyleSheet()
{
    return QStringLiteral(R"(
QGroupBox { background-color: black; border: 1px solid #5a5a5a; border-radius: 6px;
            margin: 0px; padding: 0px; }
QPushButton { color: white; border: 1px solid #9a9a9a; border-radius: 3px;
              background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1,
                                                stop:0 #5c5c5c, stop:1 #2c2c2c); }
QPushButton:hover { border-color: #d0d0d0; }
QPushButton:focus { border-color: white; }
QPushButton:pressed { background-color: #1a1a1a; }
QProgressBar { border: 1px solid #9a9a9a; background-color: #141414; }
QProgressBar::chunk { background-color: #00c800; }
)");
}
