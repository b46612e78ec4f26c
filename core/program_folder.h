// SPDX-License-Identifier: GPL-3.0-or-later
// Where the running program lives, as the bytes the system gives: a folder
// whose name is not valid UTF-8 must still lead to the program's files.
#pragma once

#include <filesystem>

namespace vortigo {

/// The folder of the running executable. Asks the system first; falls back
/// to the folder of `argv0` when it cannot tell, and to the current folder
/// when that has none.
std::filesystem::path programFolder(const char* argv0);

}  // namespace vortigo
