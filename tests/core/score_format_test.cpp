// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/score_format.h"

#include <gtest/gtest.h>

using namespace vortigo;

struct ScoreCase {
    int amount;
    const char* separator;
    const char* text;
};

TEST(ScoreFormat, StatusStripCaptionFollowsTheLocaleSeparatorAndHidesZero)
{
    for (const ScoreCase& c : {ScoreCase{0, ".", ""}, {1500, ".", "1.500"}, {1500, ",", "1,500"},
                               {-1000, ".", "-1.000"}, {999, ",", "999"}, {1234567890, ",", "1,234,567,890"},
                               {-2147483647 - 1, ",", "-2,147,483,648"}, {1500, "\xC2\xA0", "1\xC2\xA0" "500"}})
        EXPECT_EQ(formatScore(c.amount, c.separator), c.text) << c.amount;
}
