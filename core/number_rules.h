// SPDX-License-Identifier: GPL-3.0-or-later
// Number conversions used by the rules. Every real-to-integer conversion in
// the game is either roundEven (to nearest, ties to the even neighbour) or
// floorToInt (largest integer not above x).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vortigo {

/// Nearest integer, ties to even: 2.5 -> 2, 3.5 -> 4, -2.5 -> -2.
double roundEven(double x);

/// Largest integer not above x.
double floorToInt(double x);

/// Reads a number the forgiving way the game's text fields are read:
/// blanks, tabs and line feeds are skipped anywhere, reading stops at the
/// first character that cannot continue the number, and text without a
/// number reads as 0. Accepts a sign, a fraction and an E exponent.
double readLooseNumber(std::string_view text);

/// The value as a 16-bit integer, or nothing when it does not fit.
std::optional<std::int16_t> toInt16(double value);

}  // namespace vortigo
