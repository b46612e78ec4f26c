// SPDX-License-Identifier: GPL-3.0-or-later
#include "program_folder.h"

#include <limits.h>
#include <unistd.h>

#include <string>
#include <system_error>

namespace vortigo {

std::filesystem::path programFolder(const char* argv0)
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    if (n > 0 && static_cast<std::size_t>(n) < sizeof buffer)
        return std::filesystem::path(std::string(buffer, static_cast<std::size_t>(n))).parent_path();
    std::error_code ec;
    std::filesystem::path program = argv0 != nullptr ? std::filesystem::path(argv0) : std::filesystem::path();
    program = std::filesystem::weakly_canonical(program, ec);
    if (ec || !program.has_parent_path())
        return std::filesystem::current_path(ec);
    return program.parent_path();
}

}  // namespace vortigo
