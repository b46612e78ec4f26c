// SPDX-License-Identifier: GPL-3.0-or-later
#include "local_clock.h"

namespace vortigo {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

}  // namespace

double LocalClock::secondsSinceMidnight()
{
    const WallTime now = m_wall();
    if (now.seconds != m_second) {
        m_second = now.seconds;
        const std::int64_t local = now.seconds + m_offset(now.seconds);
        m_localSecondOfDay = ((local % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay;
    }
    const std::int32_t milliseconds = now.nanoseconds / 1000000;
    return static_cast<double>(m_localSecondOfDay * 1000 + milliseconds) / 1000.0;
}

std::int64_t LocalClock::systemUtcOffset(std::int64_t utcSeconds)
{
    // localtime_r alone keeps the zone it first loaded; tzset looks again
    // (TZ, /etc/localtime), so a zone changed meanwhile is seen.
    tzset();
    const std::time_t t = static_cast<std::time_t>(utcSeconds);
    std::tm local{};
    if (localtime_r(&t, &local) == nullptr)
        return 0;
    return local.tm_gmtoff;
}

}  // namespace vortigo
