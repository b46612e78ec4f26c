// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings_file.h"
#include "app/sound_rules.h"
#include "core/game_state.h"
#include "tests/support/fake_platform.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>

using namespace vortigo;

TEST(SettingsFile, WrittenFileReadsBackTheSameSettings)
{
    // Each level's word in the file, and back; with no mark at all the file says Principiante.
    const std::tuple<std::array<bool, 4>, const char*, int> levels[] = {{{true, false, false, false}, "Basso", 0},
        {{false, true, false, false}, "Principiante", 1}, {{false, false, true, false}, "Medio", 2},
        {{false, false, false, true}, "Esperto", 3}, {{false, false, false, false}, "Principiante", 1}};
    for (const auto& [marks, word, level] : levels) {
        const bool sound = level != 2;
        const std::string written = formatSettings(marks, "Anna", sound);
        EXPECT_EQ(written, std::string("Livello=") + word + "\r\nGiocatore1=Anna\r\nSuono=" + (sound ? "SI" : "NO") + "\r\n");
        const SettingsRead read = parseSettings(written);
        EXPECT_EQ(std::tuple(read.level, read.playerName, read.sound), std::tuple(level, "Anna", sound));
    }
    EXPECT_EQ(kLevelTimeBonus, (std::array{540, 60, 52, 45}));  // each level's extra seconds
}

TEST(SettingsFile, KeysAreFoundByExactSearchInOrderAndTheLastLineWins)
{
    // Level and sound words ignore case and leading blanks only.
    const std::pair<const char*, int> levels[] = {{"Livello=  MEDIO\r\n", 2}, {"Livello=medio \r\n", 0},
        {"Livello=qualcosa\r\n", 0}, {"Giocatore1=Livello=\r\n", 0}};  // a name holding the key is a level line
    for (const auto& [text, level] : levels)
        EXPECT_EQ(parseSettings(text).level, level) << text;
    const std::pair<const char*, bool> sounds[] = {{"Suono= si\r\n", true}, {"Suono=yes\r\n", false}, {"Suono=SI \r\n", false}};
    for (const auto& [text, sound] : sounds)
        EXPECT_EQ(parseSettings(text).sound, sound) << text;
    EXPECT_FALSE(parseSettings("Giocatore1=x\r\n").sound.has_value());
    EXPECT_FALSE(parseSettings("livello=Medio\r\n").level.has_value());  // keys in small letters are not keys
    EXPECT_FALSE(parseSettings("Giocatore1=Livello=\r\n").playerName.has_value());
    // Only the line's first "=" separates; leading blanks of a name stay.
    EXPECT_EQ(parseSettings("Giocatore1=Anna=Bella\r\n").playerName, "Anna=Bella");
    EXPECT_EQ(parseSettings("Giocatore1=  Lia  ").playerName, "  Lia");
    const SettingsRead twice = parseSettings("Livello=Medio\r\nLivello=Esperto\r\nGiocatore1=A\r\nGiocatore1=B\r\n");
    EXPECT_EQ(std::tuple(twice.level, twice.playerName), std::tuple(3, "B"));
    // Lines ended by a bare LF (a file edited on another system) still count.
    const SettingsRead lf = parseSettings("Livello=Medio\nSuono=NO\nGiocatore1=Zeno");
    EXPECT_EQ(std::tuple(lf.level, lf.sound, lf.playerName), std::tuple(2, false, "Zeno"));
    // Past the read limit nothing counts.
    std::string huge(5 * 1024 * 1024, 'x');
    huge.replace(0, 14, "Livello=Medio\n");
    EXPECT_EQ(parseSettings(huge + "\nLivello=Esperto\n").level, 2);
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
