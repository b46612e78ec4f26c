// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_reading.h"

#include <algorithm>
#include <fstream>

namespace vortigo {

std::optional<std::string> readFileStart(const std::filesystem::path& file, std::size_t maxBytes)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in.is_open())
        return std::nullopt;
    const auto size = std::filesystem::file_size(file, ec);
    std::string text(ec ? maxBytes : std::min<std::size_t>(static_cast<std::size_t>(size), maxBytes), '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}

}  // namespace vortigo
