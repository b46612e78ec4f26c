// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

namespace vortigo::assets {

// An opaque picture as 0xAARRGGBB words, row by row from the top left; the
// alpha byte is ignored (GIF pictures of ours have no transparency).
struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// A picture reduced to at most 256 colours: one palette index per pixel.
struct IndexedPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> palette;  // 0x00RRGGBB, 1 to 256 entries
    std::vector<std::uint8_t> indexes;
};

// Reduces the picture to at most maxColours colours. A picture that already
// has that few keeps its colours exactly; otherwise median cut chooses them
// (boxes split at the pixel median of their widest channel), and every pixel
// takes the nearest palette colour. Deterministic: equal input, equal output.
IndexedPicture quantise(const RgbPicture& picture, int maxColours = 256);

// The LZW-compressed image data as a GIF stores it: the variable-length codes
// packed least significant bit first, without the minimum code size byte and
// without the sub-block framing.
std::vector<std::uint8_t> lzwCompress(const std::vector<std::uint8_t>& indexes, int minCodeSize);

// A complete single-image GIF89a file with a global colour table.
std::vector<std::uint8_t> encodeGif(const IndexedPicture& picture);
std::vector<std::uint8_t> encodeGif(const RgbPicture& picture);

}  // namespace vortigo::assets
