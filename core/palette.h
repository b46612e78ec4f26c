// SPDX-License-Identifier: GPL-3.0-or-later
// The classic 16-colour palette the game names its colours by.
#pragma once

#include <array>
#include <cstdint>

namespace vortigo {

struct Rgb {
    std::uint8_t r, g, b;
    friend constexpr bool operator==(Rgb, Rgb) = default;
};

enum PaletteColour : int {
    kBlack = 0,
    kBlue = 1,
    kGreen = 2,
    kCyan = 3,
    kRed = 4,
    kMagenta = 5,
    kBrown = 6,
    kLightGrey = 7,
    kDarkGrey = 8,
    kLightBlue = 9,
    kLightGreen = 10,
    kLightCyan = 11,
    kLightRed = 12,
    kLightMagenta = 13,
    kYellow = 14,
    kWhite = 15,
};

constexpr std::array<Rgb, 16> kPalette = {{
    {0, 0, 0}, {0, 0, 128}, {0, 128, 0}, {0, 128, 128},
    {128, 0, 0}, {128, 0, 128}, {128, 128, 0}, {192, 192, 192},
    {128, 128, 128}, {0, 0, 255}, {0, 255, 0}, {0, 255, 255},
    {255, 0, 0}, {255, 0, 255}, {255, 255, 0}, {255, 255, 255},
}};

constexpr Rgb paletteRgb(int colour)
{
    return kPalette[static_cast<std::size_t>(colour & 15)];
}

}  // namespace vortigo
