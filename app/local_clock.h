// SPDX-License-Identifier: GPL-3.0-or-later
// The time of day for seeding the random draws, cheap enough to read before
// every draw (a round's puzzle reads it a few hundred times).
//
// Asking the C library for local time consults the time-zone database on
// every call, which costs far more than the draw itself. So the wall clock is
// read from the kernel's coarse clock (a few nanoseconds, a few milliseconds
// of resolution) and the local offset from UTC is kept, valid for one whole
// UTC second. Offsets only ever change on a whole second, so asking again
// whenever the second changes honours a daylight-saving change at the very
// second it happens and a changed time zone within a second; the turn of
// midnight needs nothing, since the time of day is taken modulo a day.
#pragma once

#include <cstdint>
#include <ctime>

namespace vortigo {

class LocalClock {
public:
    struct WallTime {
        std::int64_t seconds;  ///< since the Unix epoch, UTC
        std::int32_t nanoseconds;
    };
    using WallSource = WallTime (*)();
    /// The local offset east of UTC, in seconds, in force at that UTC second.
    using OffsetSource = std::int64_t (*)(std::int64_t utcSeconds);

    /// The system's clock and time zone unless a test hands in its own.
    explicit LocalClock(WallSource wall = systemWallTime, OffsetSource offset = systemUtcOffset)
        : m_wall(wall), m_offset(offset)
    {
    }

    /// Seconds since local midnight, with the milliseconds as the fraction.
    double secondsSinceMidnight();

    static WallTime systemWallTime()
    {
        timespec now{};
#ifdef CLOCK_REALTIME_COARSE
        clock_gettime(CLOCK_REALTIME_COARSE, &now);
#else
        clock_gettime(CLOCK_REALTIME, &now);
#endif
        return {static_cast<std::int64_t>(now.tv_sec), static_cast<std::int32_t>(now.tv_nsec)};
    }
    static std::int64_t systemUtcOffset(std::int64_t utcSeconds);

private:
    WallSource m_wall;
    OffsetSource m_offset;
    std::int64_t m_second = INT64_MIN;    ///< the UTC second of the last reading
    std::int64_t m_localSecondOfDay = 0;  ///< and its local second of the day
};

}  // namespace vortigo
