// Scratch folders and file helpers for the high-score tests.
#pragma once

#include "scores/score_table.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace vortigo::test {

/// A fresh empty folder under the system's temporary folder, removed afterwards.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::random_device seed;
        std::mt19937_64 draw(seed());
        do {
            m_path = std::filesystem::temp_directory_path() / ("vortigo-scores-" + std::to_string(draw()));
        } while (!std::filesystem::create_directory(m_path));
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path scoreFile() const { return m_path / kScoreFileName; }

private:
    std::filesystem::path m_path;
};

inline std::string readBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::filesystem::path& file, const std::string& bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

/// The lines of a file that uses CR LF throughout; a bare CR or LF fails the split.
inline std::vector<std::string> crlfLines(const std::string& text, bool* wellFormed = nullptr)
{
    std::vector<std::string> lines;
    bool ok = true;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            ok = false;
            lines.push_back(text.substr(start));
            break;
        }
        const std::string line = text.substr(start, end - start);
        ok = ok && line.find_first_of("\r\n") == std::string::npos;
        lines.push_back(line);
        start = end + 2;
    }
    if (wellFormed)
        *wellFormed = ok;
    return lines;
}

/// 50 full rows in rank order: "Giocatore01" with 5000 points down to
/// "Giocatore50" with 100.
inline std::string fullTableFile()
{
    std::string text;
    for (int i = 1; i <= kScoreRows; ++i) {
        const std::string number = (i < 10 ? "0" : "") + std::to_string(i);
        text += "Giocatore" + number + ", " + std::to_string((51 - i) * 100) + " \r\n";
    }
    return text;
}

}  // namespace vortigo::test
