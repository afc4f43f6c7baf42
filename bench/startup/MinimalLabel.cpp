// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick for the player's start-up: the least a Qt Widgets program does to show one
// window, a 640 x 480 label.
#include <QApplication>
#include <QLabel>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Tiefenflug"));
    label.resize(640, 480);
    label.show();
    return app.exec();
}
