// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <stdexcept>

// The error that toolkit operations raise (missing resource, undecodable picture, file that
// cannot be written). The application's standard error report shows its message.
class ToolkitError : public std::runtime_error
{
public:
    explicit ToolkitError(const QString &message);
    QString message() const { return m_message; }

private:
    QString m_message;
};
