#include "core/game_state.h"
#include "core/number_rules.h"

#include <gtest/gtest.h>

using namespace vortigo;

TEST(RoundEven, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(roundEven(2.5), 2);
    EXPECT_EQ(roundEven(3.5), 4);
    EXPECT_EQ(roundEven(39.5), 40);
    EXPECT_EQ(roundEven(5.5), 6);
    EXPECT_EQ(roundEven(97.5), 98);
    EXPECT_EQ(roundEven(92.5), 92);
    EXPECT_EQ(roundEven(-2.5), -2);
    EXPECT_EQ(roundEven(-3.5), -4);
    EXPECT_EQ(roundEven(92.17), 92);
    EXPECT_EQ(roundEven(30.72), 31);
    EXPECT_EQ(floorToInt(-0.5), -1);
    EXPECT_EQ(floorToInt(6.999), 6);
}

TEST(ReadLooseNumber, SkipsBlanksAnywhereAndStopsAtTheFirstStranger)
{
    EXPECT_EQ(readLooseNumber("     409"), 409);
    EXPECT_EQ(readLooseNumber("4 0 9"), 409);
    EXPECT_EQ(readLooseNumber("        "), 0);
    EXPECT_EQ(readLooseNumber(""), 0);
    EXPECT_EQ(readLooseNumber("12ab34"), 12);
    EXPECT_EQ(readLooseNumber("abc"), 0);
    EXPECT_EQ(readLooseNumber("-7"), -7);
    EXPECT_DOUBLE_EQ(readLooseNumber(" 408.5"), 408.5);
    EXPECT_DOUBLE_EQ(readLooseNumber("1E3"), 1000);
    EXPECT_EQ(readLooseNumber("\t2\n"), 2);
}

TEST(IntegerWidths, ValuesOutsideTheirWidthAreRefused)
{
    EXPECT_EQ(toInt16(32767), 32767);
    EXPECT_FALSE(toInt16(32768).has_value());
    EXPECT_FALSE(toInt16(-32769).has_value());
    EXPECT_FALSE(toInt32(1e12).has_value());
    EXPECT_EQ(toInt32(-2147483648.0), -2147483647 - 1);
}

TEST(GameStateTables, StartZeroedThenFilledForTenRounds)
{
    GameState s;
    EXPECT_EQ(s.RoundStatus, 0);
    EXPECT_EQ(s.Round, 0);
    EXPECT_EQ(s.Score, 0);
    fillConstantTables(s);
    EXPECT_EQ(s.DirDX(1), 0);
    EXPECT_EQ(s.DirDY(1), -1);
    EXPECT_EQ(s.DirDX(6), -1);
    EXPECT_EQ(s.DirDY(6), 1);
    EXPECT_EQ(s.RoundCols(roundTableIndex(1)), 7);
    EXPECT_EQ(s.RoundRows(roundTableIndex(1)), 6);
    // Every round after the tenth plays like the tenth.
    for (int round : {10, 11, 37}) {
        const int k = roundTableIndex(round);
        EXPECT_EQ(s.RoundCols(k), 18);
        EXPECT_EQ(s.RoundRows(k), 14);
        EXPECT_EQ(s.RoundErrors(k), 3);
        EXPECT_EQ(s.RoundWords(k), 19);
    }
    const int lengths[20] = {5, 5, 6, 6, 6, 6, 7, 7, 7, 7, 8, 8, 8, 8, 9, 9, 9, 9, 10, 10};
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(wordLengthForSlot(i), lengths[i]) << "slot " << i;
    EXPECT_THROW(s.DirDX(9), std::out_of_range);
    EXPECT_THROW(s.CellMark(31, 1), std::out_of_range);
}
