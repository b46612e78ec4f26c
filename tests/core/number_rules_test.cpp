// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/game_state.h"
#include "core/number_rules.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

using namespace vortigo;

TEST(RoundEven, HalvesGoToTheEvenNeighbourAndFloorGoesDown)
{
    for (const auto& [x, want] : {std::pair{2.5, 2}, {3.5, 4}, {39.5, 40}, {97.5, 98}, {92.5, 92}, {-2.5, -2},
                                  {-3.5, -4}, {92.17, 92}, {30.72, 31}})
        EXPECT_EQ(roundEven(x), want) << x;
    EXPECT_EQ(floorToInt(-0.5), -1);
    EXPECT_EQ(floorToInt(6.999), 6);
}

TEST(ReadLooseNumber, SkipsBlanksAnywhereAndStopsAtTheFirstStranger)
{
    for (const auto& [text, want] : {std::pair{"     409", 409.0}, {"4 0 9", 409.0}, {"        ", 0.0}, {"", 0.0},
                                     {"12ab34", 12.0}, {"abc", 0.0}, {"-7", -7.0}, {" 408.5", 408.5},
                                     {"1E3", 1000.0}, {"\t2\n", 2.0}})
        EXPECT_DOUBLE_EQ(readLooseNumber(text), want) << '"' << text << '"';
}

TEST(IntegerWidths, ValuesOutsideTheirWidthAreRefused)
{
    EXPECT_EQ(toInt16(32767), 32767);
    EXPECT_FALSE(toInt16(32768).has_value());
    EXPECT_FALSE(toInt16(-32769).has_value());
    EXPECT_FALSE(toInt32(1e12).has_value());
    EXPECT_EQ(toInt32(-2147483648.0), -2147483647 - 1);
}

TEST(GameStateTables, RoundsAfterTheTenthPlayLikeTheTenth)
{
    GameState s;
    fillConstantTables(s);
    EXPECT_EQ(std::tuple(s.DirDX(1), s.DirDY(1), s.DirDX(6), s.DirDY(6)), std::tuple(0, -1, -1, 1));
    EXPECT_EQ(std::tuple(s.RoundCols(roundTableIndex(1)), s.RoundRows(roundTableIndex(1))), std::tuple(7, 6));
    for (int round : {10, 11, 37}) {
        const int k = roundTableIndex(round);
        EXPECT_EQ(std::tuple(s.RoundCols(k), s.RoundRows(k), s.RoundErrors(k), s.RoundWords(k)),
                  std::tuple(18, 14, 3, 19)) << "round " << round;
    }
    const int lengths[20] = {5, 5, 6, 6, 6, 6, 7, 7, 7, 7, 8, 8, 8, 8, 9, 9, 9, 9, 10, 10};
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(wordLengthForSlot(i), lengths[i]) << "slot " << i;
    EXPECT_THROW(s.DirDX(9), std::out_of_range);
    EXPECT_THROW(s.CellMark(31, 1), std::out_of_range);
}
