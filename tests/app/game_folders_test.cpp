// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"
#include "app/game_folders.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

namespace vortigo {
namespace {

namespace fs = std::filesystem;

class GameFoldersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = fs::temp_directory_path() / ("vortigo-folders-" + std::to_string(std::random_device{}()));
        fs::create_directories(m_root);
    }
    void TearDown() override { fs::remove_all(m_root); }

    fs::path withDictionary(const fs::path& folder)
    {
        fs::create_directories(folder);
        std::ofstream(folder / "SLESSICO.1") << "words";
        return folder;
    }

    FolderFacts facts(const fs::path& program, bool writable)
    {
        FolderFacts f;
        f.programFolder = program;
        f.installedData = "../share/vortigo";
        f.installedModules = "../lib/vortigo";
        f.configHome = m_root / "home/.config";
        f.dataHome = m_root / "home/.local/share";
        f.writable = [writable](const fs::path&) { return writable; };
        return f;
    }

    fs::path m_root;
};

TEST_F(GameFoldersTest, a_copy_in_a_writable_folder_of_its_own_keeps_everything_beside_the_program)
{
    const fs::path program = withDictionary(m_root / "build");
    const GameFolders folders = chooseGameFolders(facts(program, true));
    EXPECT_EQ(folders.data, program);
    EXPECT_EQ(folders.settings, program);
    EXPECT_EQ(folders.scores, program);
    EXPECT_EQ(folders.modules, program);
}

TEST_F(GameFoldersTest, an_installed_copy_reads_its_data_from_the_installation_and_keeps_the_players_files_apart)
{
    // Even where it may write into the installation, as root may.
    const fs::path data = withDictionary(m_root / "prefix/share/vortigo");
    fs::create_directories(m_root / "prefix/bin");
    for (const bool writable : {true, false}) {
        const GameFolders folders = chooseGameFolders(facts(m_root / "prefix/bin", writable));
        EXPECT_EQ(folders.data, data.lexically_normal());
        EXPECT_EQ(folders.settings, m_root / "home/.config/vortigo");
        EXPECT_EQ(folders.scores, m_root / "home/.local/share/vortigo");
        EXPECT_EQ(folders.modules, (m_root / "prefix/lib/vortigo").lexically_normal());
    }

    // A read-only unpacked copy plays from where it lies and saves in the player's folders.
    const fs::path unpacked = withDictionary(m_root / "cdrom/vortigo");
    const GameFolders readOnly = chooseGameFolders(facts(unpacked, false));
    EXPECT_EQ(readOnly.data, unpacked);
    EXPECT_EQ(readOnly.settings, m_root / "home/.config/vortigo");
    EXPECT_EQ(readOnly.modules, unpacked);

    // With no player's folder known, the data folder stands in.
    FolderFacts homeless = facts(m_root / "prefix/bin", true);
    homeless.configHome.clear();
    homeless.dataHome.clear();
    EXPECT_EQ(chooseGameFolders(homeless).settings, data.lexically_normal());
}

TEST(GameFolders, system_locations_are_the_roots_of_installed_software)
{
    for (const char* system : {"/usr/games", "/usr/lib/vortigo", "/opt/vortigo", "/usr", "/", "/usr/local/bin",
                               "/snap/vortigo/1", "/usr/../opt/x"})
        EXPECT_TRUE(isSystemLocation(system)) << system;
    for (const char* own : {"/home/anna/giochi/vortigo", "/tmp/vortigo", "/work/build", "/usr2/x", "/optional",
                            "build", "/root/vortigo"})
        EXPECT_FALSE(isSystemLocation(own)) << own;
}

TEST(CommandLine, only_help_and_version_are_answered_and_the_first_of_them_decides)
{
    auto request = [](std::initializer_list<const char*> args) {
        std::vector<const char*> argv{"vortigo"};
        argv.insert(argv.end(), args);
        return readCommandLine(static_cast<int>(argv.size()), argv.data());
    };
    EXPECT_EQ(request({}), CommandLineRequest::Play);
    EXPECT_EQ(request({"--verbose", "partita", "-style", "fusion"}), CommandLineRequest::Play);
    EXPECT_EQ(request({"x", "--help"}), CommandLineRequest::Help);
    EXPECT_EQ(request({"-h"}), CommandLineRequest::Help);
    EXPECT_EQ(request({"--version", "--help"}), CommandLineRequest::Version);
    EXPECT_EQ(request({"--versione"}), CommandLineRequest::Play);
}

}  // namespace
}  // namespace vortigo
