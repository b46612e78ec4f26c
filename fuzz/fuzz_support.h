// SPDX-License-Identifier: GPL-3.0-or-later
// What the fuzz targets share: a scratch folder of their own for the life of
// the process, and a check that stops the run, as a crash does, when an
// invariant breaks.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

namespace vortigo::fuzz {

inline const std::filesystem::path& scratchFolder()
{
    static const std::filesystem::path folder = [] {
        // In memory where there is such a folder: every save syncs the disk,
        // which would otherwise cost most of the time of a run.
        std::error_code ec;
        // libFuzzer ends without running exit handlers, so tools/bootstrap.sh
        // names (in TMPDIR) a folder of its own and removes it afterwards.
        const std::filesystem::path base =
            std::getenv("TMPDIR") != nullptr ? std::filesystem::temp_directory_path()
            : std::filesystem::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0
                ? std::filesystem::path("/dev/shm")
                : std::filesystem::temp_directory_path();
        std::string pattern = (base / "vortigo-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(scratchFolder(), ec);
        });
        return std::filesystem::path(pattern);
    }();
    return folder;
}

inline void check(bool holds, const char* what)
{
    if (holds)
        return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

inline std::string readBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::filesystem::path& file, const std::string& bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace vortigo::fuzz
