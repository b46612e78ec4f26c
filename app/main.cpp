// SPDX-License-Identifier: GPL-3.0-or-later
// Vortigo: a word-search game in one window.
#include "app/form1.h"
#include "app/hand_cursor.h"
#include "app/qt_platform.h"

#include <QApplication>

#include <filesystem>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vortigo"));

    // The program's files live beside the executable.
    const std::filesystem::path folder = QCoreApplication::applicationDirPath().toStdString();
    vortigo::QtPlatform platform(folder);
    platform.setHandCursor(vortigo::handCursor(vortigo::handPicture()));

    vortigo::Form1 window(platform, folder);
    platform.setMainWindow(&window);
    if (!window.Form_Load())
        return 1;
    window.showMaximized();
    return app.exec();
}
