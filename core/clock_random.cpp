// SPDX-License-Identifier: GPL-3.0-or-later
#include "clock_random.h"

#include <cstring>

namespace vortigo {

namespace {

// The splitmix64 finaliser: a bijection on 64 bits with good avalanche.
std::uint64_t mix64(std::uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

}  // namespace

void ClockRandom::reseed(double secondsSinceMidnight)
{
    std::uint64_t bits = 0;
    static_assert(sizeof bits == sizeof secondsSinceMidnight);
    std::memcpy(&bits, &secondsSinceMidnight, sizeof bits);
    // Mixed in, never assigned: the same reading twice does not restart the sequence.
    m_state = mix64(m_state + mix64(bits));
}

double ClockRandom::next()
{
    m_state += 0x9e3779b97f4a7c15ULL;
    return static_cast<double>(mix64(m_state) >> 11) * 0x1.0p-53;
}

}  // namespace vortigo
