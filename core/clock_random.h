// SPDX-License-Identifier: GPL-3.0-or-later
// The game's uniform generator. The game re-seeds it from the time of day
// before each draw; re-seeding mixes the clock into the running state rather
// than replacing it, so many draws inside one tick of the clock still differ
// as independent draws do. Starting from the same state with the same clock
// readings gives the same draws, which is what tests rely on.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>

namespace vortigo {

class ClockRandom {
public:
    /// The clock gives the time of day in seconds since midnight.
    explicit ClockRandom(std::function<double()> clock = {}) : m_clock(std::move(clock)) {}

    void setClock(std::function<double()> clock) { m_clock = std::move(clock); }

    /// Re-seeds from the clock, then draws: what every random draw of the game does.
    double draw() { return draw(m_clock ? m_clock() : 0.0); }

    /// Mixes the clock reading (seconds since midnight) into the state.
    void reseed(double secondsSinceMidnight);

    /// A uniform real in [0, 1).
    double next();

    /// Re-seeds from the given clock reading, then draws.
    double draw(double secondsSinceMidnight)
    {
        reseed(secondsSinceMidnight);
        return next();
    }

private:
    std::function<double()> m_clock;
    std::uint64_t m_state = 0x853c49e6748fea9bULL;
};

}  // namespace vortigo
