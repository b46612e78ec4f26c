// SPDX-License-Identifier: GPL-3.0-or-later
// The two questions the program answers from a terminal; every other argument
// is left alone and the game starts as usual.
#pragma once

#include <string>

namespace vortigo {

enum class CommandLineRequest { Play, Help, Version };

/// "--help" or "-h" asks for the usage text, "--version" for the version;
/// the first of them on the line decides.
CommandLineRequest readCommandLine(int argc, const char* const* argv);

/// What --help prints (Italian, like the game).
std::string usageText();

/// What --version prints: the name, the version and the licence.
std::string versionText();

}  // namespace vortigo
