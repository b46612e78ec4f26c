#include "app/settings_file.h"
#include "app/sound_rules.h"
#include "tests/support/fake_platform.h"

#include <gtest/gtest.h>

#include <random>

using namespace vortigo;

TEST(SettingsFile, WrittenFileReadsBackTheSameSettings)
{
    const std::string text = formatSettings({false, false, false, true}, "Anna", false);
    EXPECT_EQ(text, "Livello=Esperto\r\nGiocatore1=Anna\r\nSuono=NO\r\n");
    const SettingsRead read = parseSettings(text);
    EXPECT_EQ(read.level, 3);
    EXPECT_EQ(read.playerName, "Anna");
    EXPECT_EQ(read.sound, false);

    // "Basso" comes back as Allenamento, "Principiante" as Pibo.
    EXPECT_EQ(parseSettings(formatSettings({true, false, false, false}, "x", true)).level, 0);
    EXPECT_EQ(parseSettings(formatSettings({false, true, false, false}, "x", true)).level, 1);
    EXPECT_EQ(parseSettings(formatSettings({false, false, true, false}, "x", true)).level, 2);
    // With no mark at all the file says Principiante.
    EXPECT_EQ(formatSettings({false, false, false, false}, "", true), "Livello=Principiante\r\nGiocatore1=\r\nSuono=SI\r\n");
    // The name is written unchanged and read back without trailing blanks.
    EXPECT_EQ(parseSettings(formatSettings({false, true, false, false}, " Bo  ", true)).playerName, " Bo");
}

TEST(SettingsFile, LevelWordsIgnoreCaseAndLeadingBlanksOnly)
{
    EXPECT_EQ(parseSettings("Livello=  MEDIO\r\n").level, 2);
    EXPECT_EQ(parseSettings("Livello=medio \r\n").level, 0);
    EXPECT_EQ(parseSettings("Livello=qualcosa\r\n").level, 0);
    EXPECT_EQ(parseSettings("Livello=\r\n").level, 0);
    EXPECT_EQ(kLevelTimeBonus[0], 540);
    EXPECT_EQ(kLevelTimeBonus[1], 60);
    EXPECT_EQ(kLevelTimeBonus[2], 52);
    EXPECT_EQ(kLevelTimeBonus[3], 45);
}

TEST(SettingsFile, SoundIsOnOnlyForSi)
{
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
    const SettingsRead tricky = parseSettings("Giocatore1=Livello=\r\n");
    EXPECT_FALSE(tricky.playerName.has_value());
    EXPECT_EQ(tricky.level, 0);
    // Keys in small letters are not keys.
    EXPECT_FALSE(parseSettings("livello=Medio\r\n").level.has_value());
    const SettingsRead twice = parseSettings("Livello=Medio\r\nLivello=Esperto\r\nGiocatore1=A\r\nGiocatore1=B\r\n");
    EXPECT_EQ(twice.level, 3);
    EXPECT_EQ(twice.playerName, "B");
    // Lines ended by a bare LF (a file edited on another system) still count.
    const SettingsRead lf = parseSettings("Livello=Medio\nSuono=NO\nGiocatore1=Zeno");
    EXPECT_EQ(lf.level, 2);
    EXPECT_EQ(lf.sound, false);
    EXPECT_EQ(lf.playerName, "Zeno");
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
    const std::string alphabet = std::string("Livello=Giocatore1=Suono=SIsimedio\r\n\0\xff ", 42);
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

TEST(PlaySound, PausesByNameLengthExceptForTheLetterClick)
{
    test::FakePlatform platform;
    PlaySound(platform, true, "COLLAPSE.WAV");
    PlaySound(platform, true, "perdi.WAV");
    PlaySound(platform, true, "SOUND2.wav");
    PlaySound(platform, true, "snd0002.wav");
    PlaySound(platform, true, "SND0002.WAV");
    ASSERT_EQ(platform.sounds.size(), 5u);
    ASSERT_EQ(platform.pauses.size(), 3u);
    EXPECT_NEAR(platform.pauses[0], 0.6, 1e-6);
    EXPECT_NEAR(platform.pauses[1], 0.45, 1e-6);
    EXPECT_NEAR(platform.pauses[2], 0.5, 1e-6);

    test::FakePlatform silent;
    PlaySound(silent, false, "COLLAPSE.WAV");
    PlaySound(silent, false, "SND0002.WAV");
    EXPECT_TRUE(silent.sounds.empty());
    EXPECT_TRUE(silent.pauses.empty());
}
