// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// The look of the zoom window's panels and dialogs: black, a quiet frame, dark push buttons with
// white text, a green progress bar.
QString panelStyleSheet();
