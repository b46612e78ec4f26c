// SPDX-License-Identifier: GPL-3.0-or-later
// The game's uniform generator. The game re-seeds it from the time of day
// before each draw; re-seeding mixes the clock into the running state rather
// than replacing it, so many draws inside one tick of the clock still differ
// as independent draws do. Starting from the same state with the same clock
// readings gives the same draws, which is what tests rely on.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <utility>

namespace vortigo {

class ClockRandom {
public:
    /// Seconds since midnight, with their fraction.
    using Clock = std::function<double()>;

    /// Without a clock every reading is 0.
    ClockRandom() = default;
    explicit ClockRandom(Clock clock) : m_clock(std::move(clock)) {}

    /// Re-seeds from the clock, then draws: what every random draw of the game does.
    double draw() { return draw(m_clock ? m_clock() : 0.0); }

    /// Mixes the clock reading (seconds since midnight) into the state.
    void reseed(double secondsSinceMidnight)
    {
        std::uint64_t bits = 0;
        static_assert(sizeof bits == sizeof secondsSinceMidnight);
        std::memcpy(&bits, &secondsSinceMidnight, sizeof bits);
        // Mixed in, never assigned: the same reading twice does not restart the sequence.
        m_state = mix64(m_state + mix64(bits));
    }

    /// A uniform real in [0, 1).
    double next()
    {
        m_state += 0x9e3779b97f4a7c15ULL;
        return static_cast<double>(mix64(m_state) >> 11) * 0x1.0p-53;
    }

    /// Re-seeds from the given clock reading, then draws.
    double draw(double secondsSinceMidnight)
    {
        reseed(secondsSinceMidnight);
        return next();
    }

private:
    // The splitmix64 finaliser: a bijection on 64 bits with good avalanche.
    static std::uint64_t mix64(std::uint64_t z)
    {
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }

    Clock m_clock;
    std::uint64_t m_state = 0x853c49e6748fea9bULL;
};

}  // namespace vortigo
