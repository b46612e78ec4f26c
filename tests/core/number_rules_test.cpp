// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/game_state.h"
#include "core/number_rules.h"
#include "core/palette.h"

#include <gtest/gtest.h>

#include <algorithm>
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

TEST(GameStateTables, EveryDirectionAndEveryRoundRowAsPlayed)
{
    GameState s;
    fillConstantTables(s);
    // Clockwise from up; rows grow downwards.
    const int dx[8] = {0, 1, 1, 1, 0, -1, -1, -1};
    const int dy[8] = {-1, -1, 0, 1, 1, 1, 0, -1};
    for (int d = 1; d <= 8; ++d)
        EXPECT_EQ(std::pair(s.DirDX(d), s.DirDY(d)), std::pair(static_cast<i16>(dx[d - 1]), static_cast<i16>(dy[d - 1])))
            << "direction " << d;

    // Columns, rows, errors allowed and last word index of rounds 1 to 10;
    // every later round plays like the tenth.
    const int table[10][4] = {{7, 6, 2, 3},   {8, 7, 2, 5},    {9, 8, 2, 7},    {10, 8, 2, 9},   {12, 9, 2, 11},
                              {12, 10, 2, 12}, {14, 11, 3, 14}, {15, 12, 3, 15}, {17, 13, 3, 17}, {18, 14, 3, 19}};
    for (int round = 1; round <= 12; ++round) {
        const int k = roundTableIndex(round);
        const int* want = table[std::min(round, 10) - 1];
        EXPECT_EQ(std::tuple(s.RoundCols(k), s.RoundRows(k), s.RoundErrors(k), s.RoundWords(k)),
                  std::tuple(want[0], want[1], want[2], want[3])) << "round " << round;
    }
    EXPECT_EQ(roundTableIndex(37), 10);

    const int lengths[20] = {5, 5, 6, 6, 6, 6, 7, 7, 7, 7, 8, 8, 8, 8, 9, 9, 9, 9, 10, 10};
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(wordLengthForSlot(i), lengths[i]) << "slot " << i;
    EXPECT_THROW(s.DirDX(9), std::out_of_range);
    EXPECT_THROW(s.CellMark(31, 1), std::out_of_range);
}

TEST(Palette, TheSixteenClassicColours)
{
    const Rgb want[16] = {{0, 0, 0},       {0, 0, 128},   {0, 128, 0},   {0, 128, 128}, {128, 0, 0},   {128, 0, 128},
                          {128, 128, 0},   {192, 192, 192}, {128, 128, 128}, {0, 0, 255}, {0, 255, 0}, {0, 255, 255},
                          {255, 0, 0},     {255, 0, 255}, {255, 255, 0}, {255, 255, 255}};
    for (int i = 0; i < 16; ++i) {
        const Rgb got = paletteRgb(i);
        EXPECT_EQ(std::tuple(int{got.r}, int{got.g}, int{got.b}), std::tuple(int{want[i].r}, int{want[i].g}, int{want[i].b}))
            << "colour " << i;
    }
}
