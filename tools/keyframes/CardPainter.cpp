#include "CardPainter.h"

#include "KeyframeGeometry.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QString>

#include <stdexcept>

namespace {

const char* const family = "Liberation Sans";

// 2 to the power 61, the zoom factor between keyframe 2 and the end card.
const QString finalZoom = QStringLiteral("2305843009213693952");

// The camera comparison: the moon (3474 km across) filling the picture at the start; after a zoom
// of 2^61 the picture is 3474 km / 2^61 = 1.5e-12 m wide, about 1/66 of an atom's 1e-10 m.
QString startTop()
{
    return QStringLiteral("Fraktale sind Bilder, die allein durch mathematische Berechnung entstehen. "
                          "Niemand hat sie gezeichnet.");
}
QString startBottom()
{
    return QStringLiteral("Sie lassen sich so genau berechnen, dass man unvorstellbar weit in sie hineinzoomen kann. "
                          "Diese Reise führt von der Vergrößerung 1 bis zur Vergrößerung %1.")
        .arg(finalZoom);
}
QString endTop()
{
    return QStringLiteral("Jetzt erreichte Vergrößerung:\n%1-fach\n(2 hoch 61)").arg(finalZoom);
}
QString endBottom()
{
    return QStringLiteral("Zeigte eine Kamera anfangs den ganzen Mond (3474 km Durchmesser) und zoomte sie ebenso "
                          "weit heran, füllte am Ende ein Stückchen Mondgestein von nur 1,5 Billionstel Metern das "
                          "Bild: etwa ein Siebzigstel des Durchmessers eines einzigen Atoms.");
}

}  // namespace

struct CardPainter::Block {
    keyframes::TextBox box;
    QString text;
    int pixelSize;
    bool bold;
    QColor colour;
};

CardPainter::CardPainter()
{
    const QFont font(family);
    if (QFontInfo(font).family() != QLatin1String(family))
        throw std::runtime_error("font Liberation Sans is not installed (package fonts-liberation2)");
}

void CardPainter::paintBlock(QImage& picture, const Block& block) const
{
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box(block.box.x, block.box.y, block.box.w, block.box.h);
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;
    // Shrink the type until the paragraph fits its box.
    for (int size = block.pixelSize; size >= 10; --size) {
        QFont font(family);
        font.setPixelSize(size);
        font.setBold(block.bold);
        font.setHintingPreference(QFont::PreferNoHinting);
        painter.setFont(font);
        const QRectF needed = painter.boundingRect(box, flags, block.text);
        if (needed.height() <= box.height() && needed.width() <= box.width())
            break;
    }
    painter.setPen(block.colour);
    painter.drawText(box, flags, block.text);
}

void CardPainter::paintStartCard(QImage& picture) const
{
    const auto& boxes = keyframes::startCardText;
    paintBlock(picture, {boxes[0], startTop(), 26, false, Qt::white});
    paintBlock(picture, {boxes[1], startBottom(), 22, false, Qt::white});
}

void CardPainter::paintEndCard(QImage& picture) const
{
    const auto& boxes = keyframes::endCardText;
    paintBlock(picture, {boxes[0], endTop(), 26, true, Qt::black});
    paintBlock(picture, {boxes[1], endBottom(), 20, false, Qt::black});
}
