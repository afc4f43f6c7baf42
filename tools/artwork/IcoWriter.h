// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Packs several square images into one Windows icon file: 24-bit colour plus
// a one-bit transparency mask per image, in the order given.

#include <QByteArray>
#include <QList>

class QImage;

class IcoWriter
{
public:
    // Pixels whose alpha is below half count as transparent.
    static QByteArray encode(const QList<QImage> &images);
};
