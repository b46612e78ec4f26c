// SPDX-License-Identifier: GPL-3.0-or-later
// The title picture "vortigo.gif": the first picture of a GIF file (87a or
// 89a), as one palette index per pixel of the file's whole screen. Our own
// reader rather than Qt's, because start-up decodes this picture before the
// first frame: Qt's GIF plugin took about 1.8 ms for it, this reader about
// 0.5 ms, for the same pixels. It copies each code's run of pixels from where
// that run was first written instead of walking the code table pixel by pixel.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace vortigo {

struct GifPicture {
    int width = 0;  // the file's screen, which the first picture is placed on
    int height = 0;
    /// 256 colours as 0xAARRGGBB: the picture's own table (else the file's),
    /// opaque black past its end; the transparent colour, if any, has alpha 0.
    std::vector<std::uint32_t> palette;
    /// width * height indexes, row by row from the top left. Pixels the
    /// picture does not cover, or that its data ends before, show the
    /// transparent colour if there is one, else the file's background colour.
    std::vector<std::uint8_t> indexes;
};

/// Nothing when the bytes are not a GIF with a picture and a colour table,
/// or its screen is empty or larger than 16 million pixels.
std::optional<GifPicture> readGif(std::string_view bytes);

}  // namespace vortigo
