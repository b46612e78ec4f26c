// SPDX-License-Identifier: GPL-3.0-or-later
// Vortigo: a word-search game in one window.
#include "app/form1.h"
#include "app/hand_cursor.h"
#include "app/qt_platform.h"
#include "core/file_writing.h"
#include "core/program_folder.h"

#include <QApplication>

#include <filesystem>

int main(int argc, char* argv[])
{
    // A file-size limit then makes a save fail with a message, not end the game.
    vortigo::ignoreFileSizeSignal();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vortigo"));

    // The program's files live beside the executable. The folder's name stays
    // bytes all the way to the files: it need not be UTF-8.
    const std::filesystem::path folder = vortigo::programFolder(argc > 0 ? argv[0] : nullptr);
    vortigo::QtPlatform platform(folder);
    platform.setHandCursor(vortigo::handCursor(vortigo::handPicture()));

    vortigo::Form1 window(platform, folder);
    platform.setMainWindow(&window);
    if (!window.Form_Load())
        return 1;
    window.showMaximized();
    return app.exec();
}
