// SPDX-License-Identifier: GPL-3.0-or-later
// The three letters that tell one record submission from another.
#include "scores/record_address.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vortigo {
namespace {

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
