// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/rate_limit.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace vortigo::records {
namespace {

TEST(RateLimit, RefillsEachAddressEvenlyAndForgetsIdleOnes)
{
    using namespace std::chrono_literals;
    const RateLimiter::Clock::time_point t0{};
    RateLimiter limiter(6);
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(limiter.allow("10.0.0.1", t0)) << i;
    EXPECT_FALSE(limiter.allow("10.0.0.1", t0));
    EXPECT_TRUE(limiter.allow("10.0.0.2", t0));
    EXPECT_FALSE(limiter.allow("10.0.0.1", t0 + 9s));
    EXPECT_TRUE(limiter.allow("10.0.0.1", t0 + 10s));
    EXPECT_FALSE(limiter.allow("10.0.0.1", t0 + 11s));
    // A long pause refills to the allowance, never beyond it.
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(limiter.allow("10.0.0.1", t0 + 1h)) << i;
    EXPECT_FALSE(limiter.allow("10.0.0.1", t0 + 1h));

    // A flood of addresses neither grows the table past its bound nor frees
    // a busy address early; a table full of idle ones forgets them.
    RateLimiter bounded(2, 100);
    EXPECT_TRUE(bounded.allow("busy", t0));
    EXPECT_TRUE(bounded.allow("busy", t0));
    for (int i = 0; i < 98; ++i)
        bounded.allow("flood-" + std::to_string(i), t0);
    EXPECT_FALSE(bounded.allow("busy", t0));
    EXPECT_EQ(bounded.addresses(), 99u);
    for (int i = 0; i < 10000; ++i)
        bounded.allow("later-" + std::to_string(i), t0 + 2min + std::chrono::seconds(i));
    EXPECT_LE(bounded.addresses(), 100u);
    EXPECT_TRUE(bounded.allow("fresh", t0 + 4h));
    // A flood within one instant, with no address idle, still keeps the table to its bound.
    for (int i = 0; i < 1000; ++i)
        bounded.allow("burst-" + std::to_string(i), t0 + 5h);
    EXPECT_LE(bounded.addresses(), 100u);

    // Only an address idle for a whole minute is forgotten: one that spent
    // its allowance half a minute ago keeps what it spent.
    RateLimiter full(2, 100);
    for (int i = 0; i < 98; ++i)
        full.allow("idle-" + std::to_string(i), t0);
    EXPECT_TRUE(full.allow("spent", t0 + 60s));
    EXPECT_TRUE(full.allow("spent", t0 + 60s));
    full.allow("x", t0 + 90s);
    full.allow("y", t0 + 90s);  // the table is full: the idle ones go
    EXPECT_EQ(full.addresses(), 3u);
    EXPECT_TRUE(full.allow("spent", t0 + 90s));  // half a minute refilled one
    EXPECT_FALSE(full.allow("spent", t0 + 90s));
}

TEST(RateLimit, OfZeroLetsEverythingThrough)
{
    RateLimiter off(0);
    for (int i = 0; i < 1000; ++i)
        EXPECT_TRUE(off.allow(i % 2 ? "10.0.0.1" : "10.0.0.2", RateLimiter::Clock::time_point{})) << i;
    EXPECT_EQ(off.addresses(), 0u);
}

}  // namespace
}  // namespace vortigo::records
