// SPDX-License-Identifier: GPL-3.0-or-later
// Scratch folders and file helpers for the high-score tests.
#pragma once

#include "scores/score_table.h"

#include <stdlib.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

namespace vortigo::test {

/// A fresh empty folder under the system's temporary folder, removed afterwards.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vortigo-scores-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::system_error(errno, std::generic_category(), pattern);
        m_path = pattern;
    }
    ~ScratchFolder() { std::filesystem::remove_all(m_path, m_ignored); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path scoreFile() const { return m_path / kScoreFileName; }

private:
    std::filesystem::path m_path;
    std::error_code m_ignored;
};

inline std::string readBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::filesystem::path& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

/// The lines of a file that ends every line in CR LF; no lines at all when a
/// line ends otherwise or a bare CR or LF sits inside one.
inline std::vector<std::string> crlfLines(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; start < text.size(); start = end + 2) {
        end = text.find("\r\n", start);
        if (end == std::string::npos || text.find_first_of("\r\n", start) != end)
            return {};
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

/// 50 full rows in rank order: "Giocatore01" with 5000 points down to
/// "Giocatore50" with 100.
inline std::string fullTableFile()
{
    std::string text;
    for (int i = 1; i <= kScoreRows; ++i)
        text += "Giocatore" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ", " + std::to_string((51 - i) * 100) +
                " \r\n";
    return text;
}

}  // namespace vortigo::test
