// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Draws the picture-button images of the monitor window: a key with a rounded
// grey frame on black and a glyph in the middle (transport symbols, words, the
// size and close symbols), plus the dark disabled looks of the transport keys.

#include <QImage>
#include <QList>
#include <QString>

class ButtonPainter
{
public:
    struct Button
    {
        QString name;       // the control's name, also the file name
        int width;          // all keys are kHeight pixels high
        int bitsPerPixel;   // how the image is stored
    };

    static constexpr int kHeight = 22;

    // Every button image, in a fixed order.
    static QList<Button> buttons();

    // The image of the named button; throws std::invalid_argument for an unknown name.
    static QImage paint(const QString &name);
};
