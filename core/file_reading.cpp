// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_reading.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace vortigo {

std::optional<std::string> readFileStart(const std::filesystem::path& file, std::size_t maxBytes)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        return std::nullopt;
    // C's streams rather than C++'s: the first std::ifstream of a program sets
    // up every facet of the C++ locale, about half a megabyte of memory that
    // start-up (settings, title picture, dictionary header) otherwise never needs.
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(file.c_str(), "rb"), &std::fclose);
    if (!in)
        return std::nullopt;
    const auto size = std::filesystem::file_size(file, ec);
    std::string text(ec ? maxBytes : std::min<std::size_t>(static_cast<std::size_t>(size), maxBytes), '\0');
    text.resize(std::fread(text.data(), 1, text.size(), in.get()));
    return text;
}

}  // namespace vortigo
