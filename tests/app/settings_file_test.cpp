// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings_file.h"
#include "core/sound_rules.h"
#include "tests/support/fake_platform.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <tuple>

using namespace vortigo;

TEST(SettingsFile, ReadsBackWhatItWrites)
{
    // Each level's word in the file, and back; with no mark at all the file says Principiante.
    const std::tuple<std::array<bool, 4>, const char*, int> levels[] = {{{true, false, false, false}, "Basso", 0},
        {{false, true, false, false}, "Principiante", 1}, {{false, false, true, false}, "Medio", 2},
        {{false, false, false, true}, "Esperto", 3}, {{false, false, false, false}, "Principiante", 1}};
    for (const auto& [marks, word, level] : levels) {
        const bool sound = level != 2;
        const std::string written = formatSettings(marks, " Anna ", sound);  // the name goes as typed
        EXPECT_EQ(written, std::string("Livello=") + word + "\r\nGiocatore1= Anna \r\nSuono=" + (sound ? "SI" : "NO") + "\r\n");
        const SettingsRead read = parseSettings(written);
        EXPECT_EQ(std::tuple(read.level, read.playerName, read.sound), std::tuple(level, " Anna", sound));
    }
}

// Each line of the table is decided by one reading rule alone.
TEST(SettingsFile, EachReadingRuleOnItsOwn)
{
    struct Case { const char* text; std::optional<int> level; std::optional<std::string> name; std::optional<bool> sound; };
    const Case cases[] = {
        {"Livello=  MEDIO\r\n", 2, {}, {}},              // leading blanks and capitals are accepted
        {"Livello=medio \r\n", 0, {}, {}},               // a trailing blank is not
        {"livello=Medio\r\nsuono=SI\r\ngiocatore1=x\r\n", {}, {}, {}},  // keys are case-sensitive
        {"# Livello=Esperto\r\n", 3, {}, {}},            // a key counts anywhere in its line
        {"Giocatore1=Livello=\r\n", 0, {}, {}},          // the level key is looked for first,
        {"Giocatore1=Suono=SI\r\n", {}, "Suono=SI", {}},  // then the name's, then the sound's
        {"Giocatore1=Anna=Bella\r\n", {}, "Anna=Bella", {}},  // the line's first "=" separates,
        {"x=y Giocatore1=Zeno\r\n", {}, "y Giocatore1=Zeno", {}},  // even before the key
        {"Giocatore1=  Lia  ", {}, "  Lia", {}},           // trailing blanks of a name go, leading ones stay
        {"Suono= si\r\n", {}, {}, true},
        {"Suono=SI \r\n", {}, {}, false},
        {"Livello=Medio\r\nLivello=Esperto\r\nGiocatore1=A\r\nGiocatore1=B\r\n", 3, "B", {}},  // the last line wins
        {"Livello=Medio\nSuono=NO\rGiocatore1=Zeno", 2, "Zeno", false},  // a bare LF or CR ends a line too
    };
    for (const Case& c : cases) {
        const SettingsRead read = parseSettings(c.text);
        EXPECT_EQ(std::tuple(read.level, read.playerName, read.sound), std::tuple(c.level, c.name, c.sound)) << c.text;
    }
    // Past the read limit nothing counts.
    std::string huge(5 * 1024 * 1024, 'x');
    huge.replace(0, 14, "Livello=Medio\n");
    EXPECT_EQ(parseSettings(huge + "\nLivello=Esperto\n").level, 2);
}

TEST(PlaySound, PausesByNameLengthButNotAfterALetter)
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
