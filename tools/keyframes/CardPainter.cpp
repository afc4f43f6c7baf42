// SPDX-License-Identifier: GPL-3.0-or-later
#include "CardPainter.h"

#include "KeyframeGeometry.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <stdexcept>

namespace {

const char *const family = "Liberation Sans";

// 2 to the power 61, the zoom factor between keyframe 2 and the end card.
const QString finalZoom = QStringLiteral("2305843009213693952");

// The camera comparison: the moon (3474 km across) filling the picture at the start; after a zoom
// of 2^61 the picture is 3474 km / 2^61 = 1.5e-12 m wide, about 1/66 of an atom's 1e-10 m.
// The figure leaves more room above it than below, so the upper block carries the first three
// sentences and the lower one the journey's span.
QString startTop()
{
    return QStringLiteral("Fraktale sind Bilder, die allein durch mathematische Berechnung entstehen. "
                          "Niemand hat sie gezeichnet. Sie lassen sich so genau berechnen, dass man "
                          "unvorstellbar weit in sie hineinzoomen kann.");
}
QString startBottom()
{
    return QStringLiteral("Diese Reise führt von der Vergrößerung 1 bis zur Vergrößerung %1.").arg(finalZoom);
}
QString endTop()
{
    return QStringLiteral("Jetzt erreichte Vergrößerung:\n%1-fach\n(2 hoch 61)").arg(finalZoom);
}
QString endBottom()
{
    return QStringLiteral(
        "Zeigte eine Kamera anfangs den ganzen Mond (3474 km Durchmesser) und zoomte sie ebenso "
        "weit heran, füllte am Ende ein Stückchen Mondgestein von nur 1,5 Billionstel Metern das "
        "Bild: etwa ein Siebzigstel des Durchmessers eines einzigen Atoms.");
}

}   // namespace

struct CardPainter::Block
{
    keyframes::TextBox box;
    QString text;
    int pixelSize;
    bool bold;
    int panelAlpha;   // opacity of the dark panel behind the text, 0 for none
};

CardPainter::CardPainter()
{
    const QFont font(family);
    if (QFontInfo(font).family() != QLatin1String(family))
        throw std::runtime_error("font Liberation Sans is not installed (package fonts-liberation2)");
}

void CardPainter::paintBlock(QImage &picture, const Block &block) const
{
    // Boxes and type are laid out for 800 x 600; a larger picture gets them scaled, the text drawn
    // at its own resolution.
    const int scale = std::max(1, picture.width() / keyframes::frameWidth);
    // The panel reaches `padding` beyond the text, all of it inside the block's box.
    const int padding = 6 * scale;
    const keyframes::TextBox area = block.box.scaled(scale);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(area.x, area.y, area.w, area.h).adjusted(padding, padding, -padding, -padding);
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;
    // Shrink the type until the paragraph fits its box.
    QRectF needed;
    for (int size = block.pixelSize * scale; size >= 10 * scale; --size) {
        QFont font(family);
        font.setPixelSize(size);
        font.setBold(block.bold);
        font.setHintingPreference(QFont::PreferNoHinting);
        painter.setFont(font);
        needed = painter.boundingRect(box, flags, block.text);
        if (needed.height() <= box.height() && needed.width() <= box.width())
            break;
    }
    if (block.panelAlpha > 0) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, block.panelAlpha));
        painter.drawRoundedRect(needed.adjusted(-padding, -padding, padding, padding)
                                    .intersected(box.adjusted(-padding, -padding, padding, padding)),
                                5 * scale, 5 * scale);
    }
    // A soft dark shadow keeps the white type legible where a bright band runs beneath it.
    painter.setPen(QColor(0, 0, 0, 160));
    painter.drawText(box.translated(scale, scale), flags, block.text);
    painter.setPen(Qt::white);
    painter.drawText(box, flags, block.text);
}

void CardPainter::paintStartCard(QImage &picture) const
{
    const auto &boxes = keyframes::startCardText;
    paintBlock(picture, {boxes[0], startTop(), 15, false, 90});
    paintBlock(picture, {boxes[1], startBottom(), 15, false, 90});
}

void CardPainter::paintEndCard(QImage &picture) const
{
    const auto &boxes = keyframes::endCardText;
    paintBlock(picture, {boxes[0], endTop(), 20, true, 150});
    paintBlock(picture, {boxes[1], endBottom(), 15, false, 150});
}
