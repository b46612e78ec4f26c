// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the start of a file the game keeps, with a bound on how much: a
// settings, score or dictionary file that has grown huge (or is hostile)
// must cost no more than the few bytes a real one needs.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace vortigo {

/// At most maxBytes from the start of a regular file; nothing when there is
/// no such file or it cannot be opened.
std::optional<std::string> readFileStart(const std::filesystem::path& file, std::size_t maxBytes);

}  // namespace vortigo
