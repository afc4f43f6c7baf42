// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writes the German texts of the start card and the end card over their pictures with Qt's
// painter in Liberation Sans. Needs a QGuiApplication (the tool runs it offscreen).

class QImage;

class CardPainter
{
public:
    CardPainter();   // throws std::runtime_error when Liberation Sans is not installed

    void paintStartCard(QImage &picture) const;   // white text above and below the small figure
    void paintEndCard(QImage &picture) const;     // white text on dark panels over the mini-set

private:
    struct Block;
    void paintBlock(QImage &picture, const Block &block) const;
};
