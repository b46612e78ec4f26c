// SPDX-License-Identifier: GPL-3.0-or-later
#include "game_folders.h"

#include <unistd.h>

#include <array>
#include <string_view>
#include <system_error>

namespace vortigo {

namespace {

// The one file no copy of the game can start without.
bool holdsDeliveredData(const std::filesystem::path& folder)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(folder / "SLESSICO.1", ec);
}

}  // namespace

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

GameFolders chooseGameFolders(const FolderFacts& facts)
{
    const std::filesystem::path program = facts.programFolder.lexically_normal();
    const bool beside = holdsDeliveredData(program);
    if (beside && !isSystemLocation(program) && facts.writable && facts.writable(program))
        return {program, program, program, program};

    GameFolders folders;
    folders.data = beside ? program : (program / facts.installedData).lexically_normal();
    folders.modules = beside ? program : (program / facts.installedModules).lexically_normal();
    folders.settings = facts.configHome.empty() ? folders.data : facts.configHome / kPlayerFolderName;
    folders.scores = facts.dataHome.empty() ? folders.data : facts.dataHome / kPlayerFolderName;
    return folders;
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
