// SPDX-License-Identifier: GPL-3.0-or-later
// tf-artwork: writes the casing pictures, picture-button images and program icon
// into a resources folder (casing/, buttons/, icon/). Everything is drawn by
// code, so running it again gives the same bytes.

#include "BmpWriter.h"
#include "ButtonPainter.h"
#include "CasingPainter.h"
#include "IcoWriter.h"
#include "IconPainter.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QSaveFile>

#include <cstdio>
#include <exception>
#include <stdexcept>

namespace {

void writeFile(const QDir &root, const QString &relativePath, const QByteArray &bytes)
{
    const QString path = root.filePath(relativePath);
    if (!root.mkpath(QFileInfo(relativePath).path()))
        throw std::runtime_error("cannot create the folder for " + path.toStdString());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw std::runtime_error("cannot write " + path.toStdString() + ": "
                                 + file.errorString().toStdString());
}

QByteArray png(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        throw std::runtime_error("cannot encode PNG");
    return bytes;
}

void generate(const QDir &root)
{
    for (int width : {440, 640, 800})
        writeFile(root, QString("casing/%1.bmp").arg(width),
                  BmpWriter::encode(CasingPainter(width).paint(), 8));

    for (const ButtonPainter::Button &b : ButtonPainter::buttons())
        writeFile(root, "buttons/" + b.name + ".bmp",
                  BmpWriter::encode(ButtonPainter::paint(b.name), b.bitsPerPixel));

    QList<QImage> icons;
    for (int size : IconPainter::sizes()) {
        icons.append(IconPainter::paint(size));
        writeFile(root, QString("icon/tiefenflug-%1.png").arg(size), png(icons.last()));
    }
    writeFile(root, "icon/tiefenflug.ico", IcoWriter::encode(icons));
}

}   // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr,
                     "usage: %s RESOURCES-FOLDER\n"
                     "Draws the casing pictures, button images and program icon into the folder.\n",
                     argc > 0 ? argv[0] : "tf-artwork");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    if (!root.exists()) {
        std::fprintf(stderr, "tf-artwork: folder %s does not exist\n", argv[1]);
        return 1;
    }
    try {
        generate(root);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "tf-artwork: %s\n", e.what());
        return 1;
    }
    return 0;
}
