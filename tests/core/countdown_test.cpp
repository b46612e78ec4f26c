#include "core/countdown.h"
#include "core/palette.h"

#include <gtest/gtest.h>

using namespace vortigo;

TEST(Countdown, FirstTickOfRoundOneAtPiboShowsOneMinuteThirtyEight)
{
    // 7 x 6 grid, 60 extra seconds, elapsed starts at 3 and the tick adds 1.
    const int left = secondsLeft(7, 6, 4, 60);
    EXPECT_EQ(left, 98);
    EXPECT_EQ(countdownView(left).caption, "Min.1 - Sec.38");
}

TEST(Countdown, MinutesDownToSixtyThenSecondsThenTheBlink)
{
    EXPECT_EQ(countdownView(125).caption, "Min.2 - Sec.5");
    EXPECT_EQ(countdownView(60).caption, "Min.1 - Sec.0");
    EXPECT_FALSE(countdownView(60).colours);
    EXPECT_EQ(countdownView(59).caption, "Sec.59");
    EXPECT_FALSE(countdownView(59).colours);
    EXPECT_EQ(countdownView(20).caption, "Sec.20");
    EXPECT_FALSE(countdownView(20).colours);
    // From 19 the label swaps colours every tick, blue on yellow first.
    EXPECT_EQ(countdownView(19).colours, (LabelColours{kBlue, kYellow}));
    EXPECT_EQ(countdownView(18).colours, (LabelColours{kYellow, kBlue}));
    EXPECT_FALSE(countdownView(1).timeUp);
}

TEST(Countdown, ZeroAndBelowAskTheQuestion)
{
    const CountdownView zero = countdownView(0);
    EXPECT_EQ(zero.caption, "Sec.0");
    EXPECT_EQ(zero.colours, (LabelColours{kYellow, kBlue}));
    EXPECT_TRUE(zero.timeUp);
    // Truncation toward zero: the remainder keeps the sign.
    EXPECT_EQ(countdownView(-61).caption, "Sec.-1");
    EXPECT_TRUE(countdownView(-61).timeUp);
}

TEST(Countdown, LeftIsSixteenBitArithmetic)
{
    EXPECT_EQ(secondsLeft(18, 14, 30, 540), 252 - 30 + 540);
    EXPECT_EQ(secondsLeft(1, 1, -32767, 100), static_cast<std::int16_t>(1 + 32767 + 100));
}
