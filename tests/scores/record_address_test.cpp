// SPDX-License-Identifier: GPL-3.0-or-later
#include "scores/record_address.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace vortigo {
namespace {

GameState gameOf(i32 score, i16 round = 1, i16 dictionary = 1)
{
    GameState state;
    std::tie(state.Score, state.Round, state.DictionaryIndex) = std::tuple(score, round, dictionary);
    return state;
}

TEST(RecordAddress, EachFieldIsSentAsTheGameHoldsIt)
{
    const std::tuple<GameState, RecordEntry, const char*> cases[] = {
        {gameOf(1), {"", "", ""}, "?Nome=Anonimo&"},
        {gameOf(1), {"Nicolò Bo", "", ""}, "?Nome=Nicolò Bo&"},
        {gameOf(1), {"B", "   ciao a tutti  ", ""}, "&Note=ciao_a_tutti&"},
        {gameOf(1), {"B", "Top 10! 50%=$& è#?+@", ""}, "&Note=Top_10__50_____è#?+@&"},
        {gameOf(1), {"B", "", " io @x.it "}, "&E_MAIL= io @x.it &ora="},
        {gameOf(-50), {"B", "", ""}, "&punti=-50&"},
        {gameOf(1234567, 12, 3), {"B", "", ""}, "&punti=1234567&Manches=12&Note=&E_MAIL=&ora=09:07&Language=3"},
    };
    for (const auto& [state, entry, part] : cases)
        EXPECT_NE(recordAddress(state, entry, "AAA", "03-05-2001", "09:07:45").find(part), std::string::npos) << part;
}

TEST(ProgrammeLetters, AreThreeFreshCapitalsAtEveryClickEvenWithinOneClockTick)
{
    ClockRandom random;
    std::set<std::string> seen;
    std::set<char> letters;
    for (int click = 0; click < 600; ++click) {
        const std::string drawn = drawProgrammeLetters(random, 32865.0);
        ASSERT_EQ(drawn.size(), 3u);
        for (char c : drawn)
            ASSERT_TRUE(c >= 'A' && c <= 'Z') << drawn;
        seen.insert(drawn);
        letters.insert(drawn.begin(), drawn.end());
    }
    EXPECT_GT(seen.size(), 580u);
    EXPECT_EQ(letters.size(), 26u);
}

}  // namespace
}  // namespace vortigo
