// SPDX-License-Identifier: GPL-3.0-or-later
// Where the game's files live. A copy of the game that sits in a folder of its
// own (the build tree, a copy unpacked in a home folder) keeps everything
// beside the executable. An installed copy never writes into the
// installation: it reads its delivered files from the installation's data
// folder and keeps vortigo.INI and vortigo.HIS in the player's own folders.
// Which of the two a copy is depends on the installation's data folder being
// there, never on a data file: a copy whose dictionary has gone must still
// find its picture and say that the dictionary is missing.
#pragma once

#include <filesystem>
#include <functional>

namespace vortigo {

struct GameFolders {
    std::filesystem::path data;      ///< dictionaries, title picture, sounds, help page, credits
    std::filesystem::path settings;  ///< where vortigo.INI is read and written
    std::filesystem::path scores;    ///< where vortigo.HIS is read and written
    std::filesystem::path modules;   ///< where the sound module lies
};

/// What start-up knows about the place it runs from.
struct FolderFacts {
    std::filesystem::path programFolder;   ///< the folder holding the executable
    std::filesystem::path installedData;   ///< the data folder of an installation, relative to programFolder
    std::filesystem::path installedModules;  ///< the module folder of an installation, relative to programFolder
    std::filesystem::path configHome;      ///< the player's configuration folder (XDG), may be empty
    std::filesystem::path dataHome;        ///< the player's data folder (XDG), may be empty
    std::function<bool(const std::filesystem::path&)> writable;  ///< may this process create files there?
};

/// The name of the game's own folder inside the player's folders.
inline constexpr char kPlayerFolderName[] = "vortigo";

/// True for the folders that belong to the system's installed software
/// (/usr, /opt, /bin, /lib, /etc, /snap ...), whoever may write there.
bool isSystemLocation(const std::filesystem::path& folder);

/// True when the program is an installed copy: the installation's data
/// folder lies where it should, relative to the program's folder.
bool isInstalledCopy(const FolderFacts& facts);

/// An installed copy reads its delivered data and its sound module from the
/// installation's folders; any other copy from its own folder. That folder
/// keeps the player's files too when it is writable and no system location;
/// otherwise they go to configHome/vortigo and dataHome/vortigo (without a
/// player's folder the data folder stands in).
GameFolders chooseGameFolders(const FolderFacts& facts);

/// The folder to read one of the player's files (vortigo.INI, vortigo.HIS)
/// from: the player's own folder once the file is there; until then the data
/// folder, where a copy in a folder of its own keeps it, so a copy that
/// cannot write beside itself still starts from the files lying there.
std::filesystem::path folderToRead(const std::filesystem::path& playerFolder, const std::filesystem::path& dataFolder,
                                   const char* fileName);

/// Whether this process may create files in the folder (access(2), W_OK).
bool folderWritable(const std::filesystem::path& folder);

/// Creates the folder and its parents when missing; false when it cannot.
bool makeFolder(const std::filesystem::path& folder);

}  // namespace vortigo
