// SPDX-License-Identifier: GPL-3.0-or-later
#include "ToolkitError.h"

ToolkitError::ToolkitError(const QString &message)
    : std::runtime_error(message.toStdString()), m_message(message)
{
}
