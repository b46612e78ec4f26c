// SPDX-License-Identifier: GPL-3.0-or-later
// How points are written: the status strip's score and the high-score rows.
#pragma once

#include <cstdint>
#include <string>

namespace vortigo {

/// Digits of |value| with at least minDigits digits (zero-padded), grouped in
/// threes with the separator, and a leading "-" for a negative value.
std::string groupDigits(std::int64_t value, int minDigits, const std::string& separator);

/// The score caption, pattern "###,###,###": grouped, no leading zeros,
/// and an empty caption for 0.
std::string formatScore(std::int32_t score, const std::string& separator);

/// The points column of the high-score list, pattern " 00,000": a blank,
/// then at least five digits grouped in threes (" 01,234").
std::string formatTablePoints(std::int32_t points, const std::string& separator);

}  // namespace vortigo
