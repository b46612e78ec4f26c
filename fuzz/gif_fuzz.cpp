// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as the title picture vortigo.gif: reading must end well, and a
// picture it gives must be whole: a screen within bounds, every pixel's index
// there, 256 colours to look them up in.
#include "app/gif_file.h"
#include "fuzz/fuzz_support.h"

#include <cstdint>
#include <string_view>

using namespace vortigo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::optional<GifPicture> picture = readGif(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!picture)
        return 0;
    fuzz::check(picture->width > 0 && picture->height > 0, "a picture has a screen");
    fuzz::check(static_cast<std::size_t>(picture->width) * static_cast<std::size_t>(picture->height) <= 16u * 1024 * 1024,
                "a screen holds at most 16 million pixels");
    fuzz::check(picture->indexes.size() == static_cast<std::size_t>(picture->width) * static_cast<std::size_t>(picture->height),
                "every pixel has its index");
    fuzz::check(picture->palette.size() == 256, "every index has its colour");
    return 0;
}
