// SPDX-License-Identifier: GPL-3.0-or-later
// Vortigo: a word-search game in one window.
#include "app/command_line.h"
#include "app/form1.h"
#include "app/game_folders.h"
#include "app/hand_cursor.h"
#include "app/qt_platform.h"
#include "core/file_writing.h"
#include "core/program_folder.h"

#include <QApplication>
#include <QFile>
#include <QStandardPaths>

#include <cstdio>
#include <filesystem>

namespace {

// Qt's paths as the bytes the file system uses, whatever their encoding.
std::filesystem::path fileSystemPath(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

}  // namespace

int main(int argc, char* argv[])
{
    // Answered before any window exists, so they work without a display.
    switch (vortigo::readCommandLine(argc, argv)) {
    case vortigo::CommandLineRequest::Help:
        std::fputs(vortigo::usageText().c_str(), stdout);
        return 0;
    case vortigo::CommandLineRequest::Version:
        std::fputs(vortigo::versionText().c_str(), stdout);
        return 0;
    case vortigo::CommandLineRequest::Play:
        break;
    }

    // A file-size limit then makes a save fail with a message, not end the game.
    vortigo::ignoreFileSizeSignal();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vortigo"));
    QApplication::setApplicationVersion(QStringLiteral(VORTIGO_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(VORTIGO_APP_ID));

    // Beside the executable when the game lives in a folder of its own; an
    // installed copy reads its data from the installation and keeps the
    // player's files in the player's folders.
    vortigo::FolderFacts facts;
    // The program's folder stays bytes all the way to the files: it need not be UTF-8.
    facts.programFolder = vortigo::programFolder(argc > 0 ? argv[0] : nullptr);
    facts.installedData = VORTIGO_DATA_FROM_BINARY;
    facts.installedModules = VORTIGO_MODULES_FROM_BINARY;
    facts.configHome = fileSystemPath(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    facts.dataHome = fileSystemPath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    facts.writable = vortigo::folderWritable;
    const vortigo::GameFolders folders = vortigo::chooseGameFolders(facts);

    vortigo::QtPlatform platform(folders.data, folders.modules);
    platform.setHandCursor(vortigo::handCursor(vortigo::handPicture()));

    vortigo::Form1 window(platform, folders);
    platform.setMainWindow(&window);
    if (!window.Form_Load())
        return 1;
    window.showMaximized();
    return app.exec();
}
