// SPDX-License-Identifier: GPL-3.0-or-later
// The time of day that seeds the draws, on a clock and a zone the test sets,
// and on the system's own.
#include "app/local_clock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <tuple>

using namespace vortigo;

namespace {

// 2026-03-29 01:00:00 UTC: central Europe goes from +1 h to +2 h;
// 2026-10-25 01:00:00 UTC: back from +2 h to +1 h.
constexpr std::int64_t kSpringForward = 1774746000;
constexpr std::int64_t kFallBack = 1792890000;

LocalClock::WallTime g_now{0, 0};
std::int64_t g_zoneShift = 0;  // a different time zone, from the moment the test says

std::int64_t centralEurope(std::int64_t utc)
{
    return (utc >= kSpringForward && utc < kFallBack ? 7200 : 3600) + g_zoneShift;
}

}  // namespace

TEST(LocalClock, FollowsMidnightDaylightSavingAndZone)
{
    LocalClock clock([] { return g_now; }, centralEurope);
    const std::int64_t winterMidnight = 1767225600 + 10 * 86400 - 3600;  // 2026-01-11 00:00 local
    // {seconds, milliseconds} after the epoch, and the local seconds since midnight then.
    const std::tuple<std::int64_t, int, double> readings[] = {
        {winterMidnight - 1, 750, 86399.75}, {winterMidnight, 250, 0.25}, {winterMidnight, 250, 0.25},
        {winterMidnight, 500, 0.5},                                         // midnight, read again, a tick on
        {kSpringForward - 1, 999, 7199.999}, {kSpringForward, 0, 10800.0},  // 01:59:59.999, then 03:00
        {kFallBack - 1, 999, 10799.999}, {kFallBack, 0, 7200.0},            // 02:59:59.999, then 02:00 again
        {kFallBack - 86400 + 5, 500, 3 * 3600 + 5.5}};                     // a wall clock set back a day
    for (const auto& [seconds, milliseconds, expected] : readings) {
        g_now = {seconds, milliseconds * 1000000};
        EXPECT_DOUBLE_EQ(clock.secondsSinceMidnight(), expected) << seconds << "." << milliseconds;
    }
    // The player moves one zone east: seen from the next second on.
    g_zoneShift = 3600;
    g_now = {kFallBack + 101, 0};
    EXPECT_DOUBLE_EQ(clock.secondsSinceMidnight(), 7200.0 + 101 + 3600);

    // The real clock against the C library's own local time, on the same zone.
    const double ours = LocalClock().secondsSinceMidnight();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const double apart = std::remainder(ours - (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec), 86400.0);
    EXPECT_LT(std::abs(apart), 2.0) << ours;
}
