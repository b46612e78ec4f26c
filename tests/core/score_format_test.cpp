#include "core/score_format.h"

#include <gtest/gtest.h>

using namespace vortigo;

TEST(ScoreFormat, StatusStripCaptionFollowsTheLocaleSeparator)
{
    EXPECT_EQ(formatScore(0, "."), "");
    EXPECT_EQ(formatScore(1500, "."), "1.500");
    EXPECT_EQ(formatScore(1500, ","), "1,500");
    EXPECT_EQ(formatScore(-1000, "."), "-1.000");
    EXPECT_EQ(formatScore(999, ","), "999");
    EXPECT_EQ(formatScore(123456789, ","), "123,456,789");
    EXPECT_EQ(formatScore(1234567890, ","), "1,234,567,890");
    EXPECT_EQ(formatScore(-2147483647 - 1, ","), "-2,147,483,648");
    EXPECT_EQ(formatScore(1500, "\xC2\xA0"), "1\xC2\xA0" "500");
}

TEST(ScoreFormat, TablePointsHaveFiveDigitsAtLeast)
{
    EXPECT_EQ(formatTablePoints(0, ","), " 00,000");
    EXPECT_EQ(formatTablePoints(120, ","), " 00,120");
    EXPECT_EQ(formatTablePoints(1234, ","), " 01,234");
    EXPECT_EQ(formatTablePoints(98765, ","), " 98,765");
    EXPECT_EQ(formatTablePoints(123456, ","), " 123,456");
    EXPECT_EQ(formatTablePoints(1234567, ","), " 1,234,567");
    EXPECT_EQ(formatTablePoints(1234, "."), " 01.234");
    EXPECT_EQ(formatTablePoints(-5, ","), "- 00,005");
}
