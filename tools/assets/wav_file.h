// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vortigo::assets {

// A mono sound as the game ships it: 16-bit signed PCM samples at one rate.
struct MonoSound {
    int sampleRate = 22050;
    std::vector<std::int16_t> samples;
};

// The bytes of a canonical RIFF/WAVE file: a "fmt " chunk for PCM followed by
// a single "data" chunk, little-endian throughout.
std::vector<std::uint8_t> encodeWav(const MonoSound& sound);

// Writes encodeWav(sound) to path; false when the file cannot be written.
bool writeWav(const std::string& path, const MonoSound& sound);

}  // namespace vortigo::assets
