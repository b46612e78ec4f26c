// SPDX-License-Identifier: GPL-3.0-or-later
// The time of day that seeds the draws, on a clock and a zone the test sets.
#include "app/local_clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

using namespace vortigo;

namespace {

// 2026-03-29 01:00:00 UTC: central Europe goes from +1 h to +2 h;
// 2026-10-25 01:00:00 UTC: back from +2 h to +1 h.
constexpr std::int64_t kSpringForward = 1774746000;
constexpr std::int64_t kFallBack = 1792890000;

LocalClock::WallTime g_now{0, 0};
int g_offsetLookups = 0;
std::int64_t g_zoneShift = 0;  // a different time zone, from the moment the test says

LocalClock::WallTime fakeWall() { return g_now; }

std::int64_t centralEurope(std::int64_t utc)
{
    ++g_offsetLookups;
    const bool summer = utc >= kSpringForward && utc < kFallBack;
    return (summer ? 7200 : 3600) + g_zoneShift;
}

void setNow(std::int64_t seconds, int milliseconds) { g_now = {seconds, milliseconds * 1000000}; }

// Sets TZ for one scope and puts the old value back.
class ZoneScope {
public:
    explicit ZoneScope(const char* zone)
    {
        if (const char* old = std::getenv("TZ"))
            m_old = old;
        setenv("TZ", zone, 1);
    }
    ~ZoneScope()
    {
        if (m_old)
            setenv("TZ", m_old->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> m_old;
};

}  // namespace

TEST(LocalClock, TurnsAtLocalMidnightAndFollowsDaylightSavingAtTheSecondItChanges)
{
    g_zoneShift = 0;
    LocalClock clock(fakeWall, centralEurope);

    // 22:59:59.750 UTC in winter is 23:59:59.750 local; half a second later it is just past midnight.
    const std::int64_t winterDay = 1767225600 + 10 * 86400;  // 2026-01-11 00:00 UTC
    setNow(winterDay - 3600 + 86399, 750);
    EXPECT_DOUBLE_EQ(clock.secondsSinceMidnight(), 86399.75);
    setNow(winterDay - 3600 + 86400, 250);
    EXPECT_DOUBLE_EQ(clock.secondsSinceMidnight(), 0.25);

    // Spring: 01:59:59.999 local, then 03:00:00.000 one millisecond later.
    setNow(kSpringForward - 1, 999);
    EXPECT_DOUBLE_EQ(clock.secondsSinceMidnight(), 7199.999);
    setNow(kSpringForward, 0);
    EXPECT_DOUBLE_EQ(clock.secondsSinceMidnight(), 10800.0);

    // Autumn: 02:59:59.999 summer time, then 02:00:00.000 winter time.
    setNow(kFallBack - 1, 999);
    EXPECT_DOUBLE_EQ(clock.secondsSinceMidnight(), 10799.999);
    setNow(kFallBack, 0);
    EXPECT_DOUBLE_EQ(clock.secondsSinceMidnight(), 7200.0);

    // The zone is asked once per second, not once per reading.
    g_offsetLookups = 0;
    for (int ms = 0; ms < 1000; ms += 4) {
        setNow(kFallBack + 100, ms);
        EXPECT_DOUBLE_EQ(clock.secondsSinceMidnight(), 7300 + ms / 1000.0);
    }
    EXPECT_EQ(g_offsetLookups, 1);

    // The player moves one zone east: seen from the next second on.
    g_zoneShift = 3600;
    setNow(kFallBack + 101, 0);
    EXPECT_DOUBLE_EQ(clock.secondsSinceMidnight(), 7200.0 + 101 + 3600);

    // A wall clock set back a day gives that day's time again.
    g_zoneShift = 0;
    setNow(kFallBack - 86400 + 5, 500);
    EXPECT_DOUBLE_EQ(clock.secondsSinceMidnight(), 3 * 3600 + 5.5);
}

TEST(LocalClock, TheSystemZoneIsReadAgainWhenItChangesAndTheSystemClockAgreesWithLocalTime)
{
    {
        ZoneScope zone("UTC0");
        tzset();
        EXPECT_EQ(LocalClock::systemUtcOffset(kSpringForward), 0);
        // A changed zone is seen without restarting the program.
        setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
        EXPECT_EQ(LocalClock::systemUtcOffset(kSpringForward - 1), 3600);
        EXPECT_EQ(LocalClock::systemUtcOffset(kSpringForward), 7200);
        EXPECT_EQ(LocalClock::systemUtcOffset(kFallBack - 1), 7200);
        EXPECT_EQ(LocalClock::systemUtcOffset(kFallBack), 3600);

        // The real clock against the C library's own local time, on the same zone.
        LocalClock clock;
        const double ours = clock.secondsSinceMidnight();
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        const double theirs = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
        ASSERT_GE(ours, 0.0);
        ASSERT_LT(ours, 86400.0);
        double apart = ours - theirs;
        if (apart > 43200)
            apart -= 86400;
        if (apart < -43200)
            apart += 86400;
        EXPECT_LT(std::abs(apart), 2.0) << ours << " against " << theirs;
    }
}
