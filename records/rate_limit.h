// SPDX-License-Identifier: GPL-3.0-or-later
// Requests per client address per minute, as a bucket per address that holds
// a minute's allowance and refills evenly: a burst of the whole allowance is
// let through, then one request every 60/N seconds. Safe from many threads.
#pragma once

#include <chrono>
#include <mutex>
#include <string>
#include <unordered_map>

namespace vortigo::records {

class RateLimiter {
public:
    using Clock = std::chrono::steady_clock;

    /// perMinute 0 lets everything through.
    explicit RateLimiter(int perMinute, std::size_t maxAddresses = 100000);

    /// Takes one request from the client's allowance; false when it is used up.
    bool allow(const std::string& client, Clock::time_point now);

    /// How many addresses are remembered.
    std::size_t addresses();

private:
    struct Bucket {
        double tokens;
        Clock::time_point last;
    };
    void forgetIdle(Clock::time_point now);

    double m_perMinute;
    std::size_t m_maxAddresses;
    std::mutex m_mutex;
    std::unordered_map<std::string, Bucket> m_buckets;
};

}  // namespace vortigo::records
