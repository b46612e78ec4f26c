// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/clock_random.h"

#include <gtest/gtest.h>

#include <array>
#include <set>

using namespace vortigo;

TEST(ClockRandom, DrawsWithinOneClockTickStillDiffer)
{
    ClockRandom random([] { return 43200.25; });  // the clock never moves
    std::set<double> seen;
    for (int i = 0; i < 1000; ++i) {
        const double u = random.draw();
        ASSERT_TRUE(u >= 0.0 && u < 1.0) << u;
        seen.insert(u);
    }
    EXPECT_EQ(seen.size(), 1000u);
}

TEST(ClockRandom, FillerIndexesAreUniformOverTwentyOne)
{
    // The filler draw Floor(u * 21 + 1) within one tick, checked with a
    // chi-square test: 20 degrees of freedom, 45.3 is the 0.1% critical value.
    ClockRandom random([] { return 1.0; });
    std::array<int, 21> counts{};
    for (int i = 0; i < 21000; ++i)
        ++counts.at(static_cast<std::size_t>(random.draw() * 21));
    double chi2 = 0;
    for (const int n : counts)
        chi2 += (n - 1000.0) * (n - 1000.0) / 1000.0;
    EXPECT_LT(chi2, 45.3);
}
