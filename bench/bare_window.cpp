// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick for the game's start-up: a bare Qt widgets window, built by
// this project with the same compiler, flags and libraries, doing nothing
// else. It is the game window's twin in what any such window has: a menu bar
// with a menu (so it sets up fonts and draws text, as every window with a
// menu must) and the same size, 680 x 620 pixels below the menu bar, before
// it is maximised (without a window manager, as under Xvfb, it keeps that
// size; the game's window does the same).
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.menuBar()->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("&Quit"), &app, &QApplication::quit);
    window.resize(680, 620 + window.menuBar()->sizeHint().height());
    window.showMaximized();
    return app.exec();
}
