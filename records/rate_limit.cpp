// SPDX-License-Identifier: GPL-3.0-or-later
#include "rate_limit.h"

#include <algorithm>

namespace vortigo::records {

RateLimiter::RateLimiter(int perMinute, std::size_t maxAddresses)
    : m_perMinute(std::max(perMinute, 0)), m_maxAddresses(std::max<std::size_t>(maxAddresses, 1))
{
}

bool RateLimiter::allow(const std::string& client, Clock::time_point now)
{
    if (m_perMinute <= 0)
        return true;
    const std::lock_guard lock(m_mutex);
    auto found = m_buckets.find(client);
    if (found == m_buckets.end()) {
        if (m_buckets.size() >= m_maxAddresses)
            forgetIdle(now);
        found = m_buckets.emplace(client, Bucket{m_perMinute, now}).first;
    }
    Bucket& bucket = found->second;
    const double seconds = std::chrono::duration<double>(now - bucket.last).count();
    if (seconds > 0) {
        bucket.tokens = std::min(m_perMinute, bucket.tokens + seconds * m_perMinute / 60.0);
        bucket.last = now;
    }
    if (bucket.tokens < 1.0)
        return false;
    bucket.tokens -= 1.0;
    return true;
}

std::size_t RateLimiter::addresses()
{
    const std::lock_guard lock(m_mutex);
    return m_buckets.size();
}

// A bucket that has refilled to the brim holds nothing worth keeping. When a
// flood of addresses leaves none idle, they are all forgotten rather than
// letting the table grow without bound.
void RateLimiter::forgetIdle(Clock::time_point now)
{
    std::erase_if(m_buckets, [&](const auto& entry) {
        return std::chrono::duration<double>(now - entry.second.last).count() >= 60.0;
    });
    if (m_buckets.size() >= m_maxAddresses)
        m_buckets.clear();
}

}  // namespace vortigo::records
