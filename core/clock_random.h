// SPDX-License-Identifier: GPL-3.0-or-later
// The game's uniform generator. The game re-seeds it from the time of day
// before each draw; re-seeding mixes the clock into the running state rather
// than replacing it, so many draws inside one tick of the clock still differ
// as independent draws do. Starting from the same state with the same clock
// readings gives the same draws, which is what tests rely on.
//
// A puzzle reads the clock a few hundred times, so a draw is kept to the
// reading itself and a few multiplications: the clock is a plain function
// and its argument (no wrapper to call through), and the mix of a reading is
// kept while the clock keeps giving the same one, as it does for several
// milliseconds at a time.
#pragma once

#include "time_of_day.h"

#include <cstdint>
#include <cstring>
#include <functional>
#include <utility>

namespace vortigo {

class ClockRandom {
public:
    /// Without a clock every reading is 0.
    ClockRandom() = default;
    explicit ClockRandom(TimeOfDay clock) : m_clock(clock) {}
    /// Any callable giving the seconds since midnight, kept by the generator
    /// (a copy of the generator gets its own copy of it).
    explicit ClockRandom(std::function<double()> clock) { setClock(std::move(clock)); }

    void setClock(TimeOfDay clock)
    {
        m_clock = clock;
        m_callable = nullptr;
    }
    void setClock(std::function<double()> clock)
    {
        m_clock = {};
        m_callable = std::move(clock);
    }

    /// Re-seeds from the clock, then draws: what every random draw of the game does.
    double draw() { return draw(m_clock.read ? m_clock.read(m_clock.source) : m_callable ? m_callable() : 0.0); }

    /// Mixes the clock reading (seconds since midnight) into the state.
    void reseed(double secondsSinceMidnight)
    {
        std::uint64_t bits = 0;
        static_assert(sizeof bits == sizeof secondsSinceMidnight);
        std::memcpy(&bits, &secondsSinceMidnight, sizeof bits);
        if (bits != m_readingBits) {
            m_readingBits = bits;
            m_readingMix = mix64(bits);
        }
        // Mixed in, never assigned: the same reading twice does not restart the sequence.
        m_state = mix64(m_state + m_readingMix);
    }

    /// A uniform real in [0, 1).
    double next()
    {
        m_state += 0x9e3779b97f4a7c15ULL;
        // 53 bits: as a signed value the conversion is a single instruction.
        return static_cast<double>(static_cast<std::int64_t>(mix64(m_state) >> 11)) * 0x1.0p-53;
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

    TimeOfDay m_clock;
    std::function<double()> m_callable;  ///< used when m_clock has no function
    std::uint64_t m_state = 0x853c49e6748fea9bULL;
    std::uint64_t m_readingBits = 0;  ///< the last reading, as its bits
    std::uint64_t m_readingMix = 0;   ///< mix64 of m_readingBits (mix64 of 0 is 0)
};

}  // namespace vortigo
