#include "core/clock_random.h"
#include "core/grid_filling.h"

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
        ASSERT_GE(u, 0.0);
        ASSERT_LT(u, 1.0);
        seen.insert(u);
    }
    EXPECT_EQ(seen.size(), 1000u);
}

TEST(ClockRandom, SameStartAndClockReplayTheSameDraws)
{
    ClockRandom a([] { return 100.0; });
    ClockRandom b([] { return 100.0; });
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(a.draw(), b.draw());
    ClockRandom c([] { return 100.5; });
    ClockRandom d([] { return 100.0; });
    EXPECT_NE(c.draw(), d.draw());
}

TEST(ClockRandom, FillerIndexesAreUniformOverTwentyOne)
{
    // The filler draw Floor(u * 21 + 1) within one tick, checked with a
    // chi-square test: 20 degrees of freedom, 45.3 is the 0.1% critical value.
    ClockRandom random([] { return 1.0; });
    constexpr int kDraws = 21000;
    std::array<int, 22> counts{};
    for (int i = 0; i < kDraws; ++i) {
        const int j = static_cast<int>(random.draw() * 21 + 1);
        ASSERT_GE(j, 1);
        ASSERT_LE(j, 21);
        ++counts[static_cast<std::size_t>(j)];
    }
    const double expected = kDraws / 21.0;
    double chi2 = 0;
    for (int j = 1; j <= 21; ++j)
        chi2 += (counts[static_cast<std::size_t>(j)] - expected) * (counts[static_cast<std::size_t>(j)] - expected) / expected;
    EXPECT_LT(chi2, 45.3);
}
