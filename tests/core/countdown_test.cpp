// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/countdown.h"
#include "core/palette.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

using namespace vortigo;

TEST(Countdown, SecondsLeftAreCellsPlusBonusMinusElapsedIn16Bits)
{
    // Round 1 at Pibo: 7 x 6 grid, 60 extra seconds, elapsed starts at 3 and the first tick adds 1.
    EXPECT_EQ(secondsLeft(7, 6, 4, 60), 98);
    EXPECT_EQ(secondsLeft(18, 14, 30, 540), 252 - 30 + 540);
    EXPECT_EQ(secondsLeft(1, 1, -32767, 100), static_cast<std::int16_t>(1 + 32767 + 100));
}

TEST(Countdown, MinutesDownToSixtyThenSecondsTruncatedTowardZero)
{
    for (const auto& [left, caption] : {std::pair{125, "Min.2 - Sec.5"}, {98, "Min.1 - Sec.38"}, {60, "Min.1 - Sec.0"},
                                        {59, "Sec.59"}, {20, "Sec.20"}, {19, "Sec.19"}, {0, "Sec.0"}, {-61, "Sec.-1"}})
        EXPECT_EQ(countdownView(left).caption, caption);
}

TEST(Countdown, TheLabelBlinksBelowTwentyAndAsksAtZero)
{
    for (const int left : {60, 59, 20})
        EXPECT_FALSE(countdownView(left).colours) << left;
    EXPECT_EQ(countdownView(19).colours, (LabelColours{kBlue, kYellow}));
    EXPECT_EQ(countdownView(18).colours, (LabelColours{kYellow, kBlue}));
    EXPECT_EQ(countdownView(0).colours, (LabelColours{kYellow, kBlue}));
    EXPECT_FALSE(countdownView(1).timeUp);
    EXPECT_TRUE(countdownView(0).timeUp);
    EXPECT_TRUE(countdownView(-61).timeUp);
}
