// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings_file.h"
#include "app/sound_rules.h"
#include "core/game_state.h"
#include "tests/support/child_process.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <tuple>
#include <utility>

using namespace vortigo;

TEST(SettingsFile, WrittenFileReadsBackTheSameSettings)
{
    const std::string text = formatSettings({false, false, false, true}, "Anna", false);
    EXPECT_EQ(text, "Livello=Esperto\r\nGiocatore1=Anna\r\nSuono=NO\r\n");
    const SettingsRead read = parseSettings(text);
    EXPECT_EQ(std::tuple(read.level, read.playerName, read.sound), std::tuple(3, "Anna", false));
    // "Basso" comes back as Allenamento, "Principiante" as Pibo.
    for (int level = 0; level < 3; ++level)
        EXPECT_EQ(parseSettings(formatSettings({level == 0, level == 1, level == 2, false}, "x", true)).level, level);
    EXPECT_EQ(kLevelTimeBonus, (std::array{540, 60, 52, 45}));  // each level's extra seconds
    EXPECT_EQ(formatSettings({true, false, false, false}, "Bo", true), "Livello=Basso\r\nGiocatore1=Bo\r\nSuono=SI\r\n");
    EXPECT_EQ(formatSettings({false, false, true, false}, "Bo", true), "Livello=Medio\r\nGiocatore1=Bo\r\nSuono=SI\r\n");
    // With no mark at all the file says Principiante.
    EXPECT_EQ(formatSettings({false, false, false, false}, "", true), "Livello=Principiante\r\nGiocatore1=\r\nSuono=SI\r\n");
    // The name is written unchanged and read back without trailing blanks.
    EXPECT_EQ(parseSettings(formatSettings({false, true, false, false}, " Bo  ", true)).playerName, " Bo");
}

TEST(SettingsFile, LevelAndSoundWordsIgnoreCaseAndLeadingBlanksOnly)
{
    EXPECT_EQ(parseSettings("Livello=  MEDIO\r\n").level, 2);
    EXPECT_EQ(parseSettings("Livello=medio \r\n").level, 0);
    EXPECT_EQ(parseSettings("Livello=qualcosa\r\n").level, 0);
    EXPECT_EQ(parseSettings("Suono= si\r\n").sound, true);
    EXPECT_EQ(parseSettings("Suono=yes\r\n").sound, false);
    EXPECT_EQ(parseSettings("Suono=SI \r\n").sound, false);
    EXPECT_FALSE(parseSettings("Giocatore1=x\r\n").sound.has_value());
}

TEST(SettingsFile, KeysAreFoundByExactSearchInOrderAndTheLastLineWins)
{
    // Only the line's first "=" separates.
    EXPECT_EQ(parseSettings("Giocatore1=Anna=Bella\r\n").playerName, "Anna=Bella");
    // A name holding the level key reads as a level line, not as a name.
    EXPECT_FALSE(parseSettings("Giocatore1=Livello=\r\n").playerName.has_value());
    EXPECT_EQ(parseSettings("Giocatore1=Livello=\r\n").level, 0);
    // Keys in small letters are not keys.
    EXPECT_FALSE(parseSettings("livello=Medio\r\n").level.has_value());
    const SettingsRead twice = parseSettings("Livello=Medio\r\nLivello=Esperto\r\nGiocatore1=A\r\nGiocatore1=B\r\n");
    EXPECT_EQ(std::tuple(twice.level, twice.playerName), std::tuple(3, "B"));
    // Lines ended by a bare LF (a file edited on another system) still count.
    const SettingsRead lf = parseSettings("Livello=Medio\nSuono=NO\nGiocatore1=Zeno");
    EXPECT_EQ(std::tuple(lf.level, lf.sound, lf.playerName), std::tuple(2, false, "Zeno"));
    // Leading blanks of a name stay.
    EXPECT_EQ(parseSettings("Giocatore1=  Lia  ").playerName, "  Lia");
}

TEST(SettingsFile, HostileFilesNeverBreakTheReader)
{
    EXPECT_FALSE(parseSettings("").level.has_value());
    std::string huge(5 * 1024 * 1024, 'x');
    huge.replace(0, 14, "Livello=Medio\n");
    huge += "\nLivello=Esperto\n";  // past the read limit: ignored
    EXPECT_EQ(parseSettings(huge).level, 2);

    std::mt19937 gen(1234);
    // Every byte of the literal but its terminating zero; the zero inside counts.
    constexpr char kAlphabet[] = "Livello=Giocatore1=Suono=SIsimedio\r\n\0\xff ";
    const std::string alphabet(kAlphabet, sizeof kAlphabet - 1);
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const int n = static_cast<int>(gen() % 300);
        for (int i = 0; i < n; ++i)
            text.push_back(gen() % 4 == 0 ? static_cast<char>(gen() % 256) : alphabet[gen() % alphabet.size()]);
        const SettingsRead read = parseSettings(text);
        if (read.level) {
            EXPECT_TRUE(*read.level >= 0 && *read.level <= 3);
        }
    }
}

// A kill or a power cut in the middle of a save used to leave an empty file:
// level, name and sound were lost.
TEST(SettingsFile, ASaveKilledAtAnyStepLeavesTheOldOrTheNewSettingsWhole)
{
    const std::string before = formatSettings({false, false, true, false}, "Anna", true);
    const std::string after = formatSettings({false, false, false, true}, "Bruno", false);
    for (const WriteStep step : test::kAllWriteSteps) {
        test::TestFolder folder("vortigo-settings");
        const std::filesystem::path file = folder.path() / kSettingsFileName;
        test::writeBytes(file, before);
        {
            test::ChildStoppedAt child(step, [&] { writeSettingsFile(folder.path(), after); });
            ASSERT_TRUE(child.stopped());
        }  // killed here
        const std::optional<SettingsRead> read = readSettingsFile(folder.path());
        ASSERT_TRUE(read.has_value());
        if (step >= WriteStep::Renamed)
            EXPECT_EQ(std::tuple(read->level, read->playerName, read->sound), std::tuple(3, "Bruno", false));
        else
            EXPECT_EQ(std::tuple(read->level, read->playerName, read->sound), std::tuple(2, "Anna", true));
        EXPECT_EQ(test::readBytes(file), step >= WriteStep::Renamed ? after : before);
        // The next save finds and removes what the killed one left.
        ASSERT_TRUE(writeSettingsFile(folder.path(), before).ok());
        EXPECT_EQ(test::folderEntries(folder.path()), std::set<std::string>{"vortigo.INI"});
    }
}

TEST(SettingsFile, TheMessageOfAFailedSaveNamesTheFileAndTheCause)
{
    test::TestFolder folder("vortigo-settings");
    const std::filesystem::path file = folder.path() / kSettingsFileName;
    test::writeBytes(file, "Livello=Medio\r\n");
    std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    const WriteOutcome outcome = writeSettingsFile(folder.path(), "Livello=Esperto\r\n");
    EXPECT_EQ(outcome.failure, WriteFailure::ReadOnlyFile);
    EXPECT_EQ(test::readBytes(file), "Livello=Medio\r\n");
    EXPECT_EQ(settingsWriteFailedMessage(outcome),
              "Non riesco a salvare le impostazioni nel file \"vortigo.INI\": il file è in sola lettura.\n"
              "Il gioco continua, ma livello, nome e suono non verranno ricordati.");
    EXPECT_NE(settingsWriteFailedMessage({WriteFailure::DiskFull, ENOSPC}).find(": il disco è pieno."),
              std::string::npos);
}

TEST(PlaySound, PausesByNameLengthExceptForTheLetterClick)
{
    test::FakePlatform platform;
    test::FakePlatform silent;
    for (const char* name : {"COLLAPSE.WAV", "perdi.WAV", "SOUND2.wav", "snd0002.wav", "SND0002.WAV"}) {
        PlaySound(platform, true, name);
        PlaySound(silent, false, name);
    }
    EXPECT_EQ(platform.sounds.size(), 5u);
    ASSERT_EQ(platform.pauses.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_NEAR(platform.pauses[i], (std::array{0.6, 0.45, 0.5})[i], 1e-6);
    EXPECT_TRUE(silent.sounds.empty() && silent.pauses.empty());
}
