// SPDX-License-Identifier: GPL-3.0-or-later
// The game's small rules: numbers, the countdown, text between Latin-1 and
// UTF-8, the score caption. The random draws are held to
// the first generator's own draws in puzzle_fingerprint_test.cpp.
#include "core/countdown.h"
#include "core/number_rules.h"
#include "core/palette.h"
#include "core/score_format.h"
#include "core/text_codec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

using namespace vortigo;

TEST(NumberRules, HalvesRoundToEvenAndFloorGoesDown)
{
    for (const auto& [x, want] : {std::pair{2.5, 2}, {3.5, 4}, {39.5, 40}, {97.5, 98}, {92.5, 92}, {-2.5, -2},
                                  {-3.5, -4}, {92.17, 92}, {30.72, 31}})
        EXPECT_EQ(roundEven(x), want) << x;
    EXPECT_EQ(floorToInt(-0.5), -1);
    EXPECT_EQ(floorToInt(6.999), 6);
}

TEST(NumberRules, ReadingSkipsBlanksAndStopsAtAStranger)
{
    for (const auto& [text, want] : {std::pair{"     409", 409.0}, {"4 0 9", 409.0}, {"        ", 0.0}, {"", 0.0},
                                     {"12ab34", 12.0}, {"abc", 0.0}, {"-7", -7.0}, {" 408.5", 408.5},
                                     {"1E3", 1000.0}, {"\t2\n", 2.0}, {"4.08D2", 408.0}, {"5d-1", 0.5},
                                     {"1e+2", 100.0}, {"+7", 7.0}, {".5", 0.5}, {"2E", 2.0}, {"-.5E1", -5.0},
                                     {".E3", 0.0}, {"3 E 1", 30.0}})
        EXPECT_DOUBLE_EQ(readLooseNumber(text), want) << '"' << text << '"';
    EXPECT_EQ(readLooseNumber("1E999"), HUGE_VAL);
}

TEST(Countdown, ShowsMinutesDownToSixtyThenSeconds)
{
    for (const auto& [left, caption] : {std::pair{125, "Min.2 - Sec.5"}, {98, "Min.1 - Sec.38"}, {60, "Min.1 - Sec.0"},
                                        {59, "Sec.59"}, {20, "Sec.20"}, {19, "Sec.19"}, {0, "Sec.0"}, {-61, "Sec.-1"}})
        EXPECT_EQ(countdownView(left).caption, caption);
}

TEST(Countdown, BlinksBelowTwentyAndAsksAtZero)
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

TEST(TextCodec, CarriesLatin1ToUtf8AndBack)
{
    // Names and words travel between the files (Latin-1) and the windows (UTF-8).
    for (int b = 1; b <= 255; ++b) {
        const std::string latin1(1, static_cast<char>(b));
        EXPECT_EQ(utf8ToLatin1(latin1ToUtf8(latin1)), latin1) << b;
    }
    EXPECT_EQ(latin1ToUtf8("Nicol\xF2 \xFF\xC0"), "Nicol\xC3\xB2 \xC3\xBF\xC3\x80");
    EXPECT_EQ(utf8ToLatin1("Zo\xC3\xAB \xE2\x82\xAC \xF0\x9F\x98\x80!"), "Zo\xEB ? ?!");  // a euro sign and an emoji
    EXPECT_EQ(utf8ToLatin1("\xC3"), "?");  // cut inside a character
}

// The window tests see the usual amounts; here the extremes.
TEST(ScoreFormat, GroupsTheLowestScoreAndAWideSeparator)
{
    EXPECT_EQ(formatScore(-2147483647 - 1, ","), "-2,147,483,648");
    EXPECT_EQ(formatScore(1500, "\xC2\xA0"), "1\xC2\xA0" "500");
}
