// SPDX-License-Identifier: GPL-3.0-or-later
#include "game_folders.h"

#include <unistd.h>

#include <array>
#include <string_view>
#include <system_error>

namespace vortigo {

bool isSystemLocation(const std::filesystem::path& folder)
{
    static constexpr std::array<std::string_view, 14> kRoots = {
        "/usr", "/opt", "/bin", "/sbin", "/lib", "/lib32", "/lib64", "/libx32",
        "/etc", "/boot", "/snap", "/app", "/nix", "/gnu",
    };
    const std::filesystem::path normal = folder.lexically_normal();
    if (!normal.is_absolute())
        return false;
    auto part = normal.begin();
    ++part;  // past the root "/"
    if (part == normal.end())
        return true;  // the root itself
    const std::string first = "/" + part->string();
    for (std::string_view root : kRoots)
        if (first == root)
            return true;
    return false;
}

bool isInstalledCopy(const FolderFacts& facts)
{
    std::error_code ec;
    return !facts.installedData.empty() &&
           std::filesystem::is_directory(facts.programFolder / facts.installedData, ec);
}

GameFolders chooseGameFolders(const FolderFacts& facts)
{
    const std::filesystem::path program = facts.programFolder.lexically_normal();
    const bool beside = !isInstalledCopy(facts);
    if (beside && !isSystemLocation(program) && facts.writable && facts.writable(program))
        return {program, program, program, program};

    GameFolders folders;
    folders.data = beside ? program : (program / facts.installedData).lexically_normal();
    folders.modules = beside ? program : (program / facts.installedModules).lexically_normal();
    folders.settings = facts.configHome.empty() ? folders.data : facts.configHome / kPlayerFolderName;
    folders.scores = facts.dataHome.empty() ? folders.data : facts.dataHome / kPlayerFolderName;
    return folders;
}

std::filesystem::path folderToRead(const std::filesystem::path& playerFolder, const std::filesystem::path& dataFolder,
                                   const char* fileName)
{
    std::error_code ec;
    // A file of any kind there, even one that cannot be read, is the player's own.
    if (std::filesystem::exists(std::filesystem::symlink_status(playerFolder / fileName, ec)))
        return playerFolder;
    return dataFolder;
}

bool folderWritable(const std::filesystem::path& folder)
{
    return ::access(folder.c_str(), W_OK) == 0;
}

bool makeFolder(const std::filesystem::path& folder)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return std::filesystem::is_directory(folder, ec);
}

}  // namespace vortigo
