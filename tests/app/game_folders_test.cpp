// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"
#include "app/game_folders.h"

#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <tuple>

namespace vortigo {

bool operator==(const GameFolders& a, const GameFolders& b)
{
    return std::tie(a.data, a.settings, a.scores, a.modules) == std::tie(b.data, b.settings, b.scores, b.modules);
}

namespace {

namespace fs = std::filesystem;

class GameFoldersTest : public ::testing::Test {
protected:
    fs::path withDictionary(const fs::path& folder)
    {
        fs::create_directories(folder);
        test::writeBytes(folder / "SLESSICO.1", "words");
        return folder;
    }

    FolderFacts facts(const fs::path& program, bool writable)
    {
        return {program, "../share/vortigo", "../lib/vortigo", m_root / "home/.config", m_root / "home/.local/share",
                [writable](const fs::path&) { return writable; }};
    }

    test::TestFolder m_folder{"vortigo-folders"};
    const fs::path m_root = m_folder.path();
};

TEST_F(GameFoldersTest, EachKindOfCopyFindsItsFiles)
{
    // A copy in a writable folder of its own keeps everything beside the program.
    const fs::path build = withDictionary(m_root / "build");
    EXPECT_EQ(chooseGameFolders(facts(build, true)), (GameFolders{build, build, build, build}));

    // An installed copy reads its data from the installation, even where it
    // may write into it, as root may, and keeps the player's files apart.
    const fs::path data = withDictionary(m_root / "prefix/share/vortigo");
    fs::create_directories(m_root / "prefix/bin");
    const fs::path config = m_root / "home/.config/vortigo", scores = m_root / "home/.local/share/vortigo";
    for (const bool writable : {true, false})
        EXPECT_EQ(chooseGameFolders(facts(m_root / "prefix/bin", writable)),
                  (GameFolders{data.lexically_normal(), config, scores, (m_root / "prefix/lib/vortigo").lexically_normal()}));

    // A read-only unpacked copy plays from where it lies and saves in the player's folders.
    const fs::path unpacked = withDictionary(m_root / "cdrom/vortigo");
    EXPECT_EQ(chooseGameFolders(facts(unpacked, false)), (GameFolders{unpacked, config, scores, unpacked}));

    // The layout stays when a data file goes or is no file: the copy then
    // finds its picture and says that the dictionary is missing.
    fs::remove(build / "SLESSICO.1");
    EXPECT_EQ(chooseGameFolders(facts(build, true)), (GameFolders{build, build, build, build}));
    fs::remove(data / "SLESSICO.1");
    fs::create_directory(data / "SLESSICO.1");
    EXPECT_EQ(chooseGameFolders(facts(m_root / "prefix/bin", true)).data, data.lexically_normal());

    // The player's own file is read once it is there, of whatever kind; until
    // then the one the data folder holds.
    EXPECT_EQ(folderToRead(config, unpacked, "vortigo.INI"), unpacked);
    fs::create_directories(config);
    fs::create_symlink("nowhere", config / "vortigo.INI");
    EXPECT_EQ(folderToRead(config, unpacked, "vortigo.INI"), config);

    // With no player's folder known, the data folder stands in.
    FolderFacts homeless = facts(m_root / "prefix/bin", true);
    homeless.configHome.clear();
    homeless.dataHome.clear();
    EXPECT_EQ(chooseGameFolders(homeless).settings, data.lexically_normal());
    EXPECT_EQ(chooseGameFolders(homeless).scores, data.lexically_normal());
}

TEST(GameFolders, SystemLocationsHoldInstalledSoftware)
{
    for (const char* system : {"/usr/games", "/usr/lib/vortigo", "/opt/vortigo", "/usr", "/", "/usr/local/bin",
                               "/snap/vortigo/1", "/usr/../opt/x"})
        EXPECT_TRUE(isSystemLocation(system)) << system;
    for (const char* own : {"/home/anna/giochi/vortigo", "/tmp/vortigo", "/work/build", "/usr2/x", "/optional",
                            "build", "/root/vortigo"})
        EXPECT_FALSE(isSystemLocation(own)) << own;
}

TEST(CommandLine, AnswersOnlyHelpAndVersion)
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
