// SPDX-License-Identifier: GPL-3.0-or-later
// Writes small dictionaries in the game's indexed format for tests:
// 200 bytes of identification, 13 header entries of two right-aligned
// 8-character fields (first position, position after the last word) for
// lengths 3..15, then the words of each length back to back.
#pragma once

#include "tests/support/scratch_folder.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace vortigo::test {

inline std::string dictionaryBytes(const std::map<int, std::vector<std::string>>& wordsByLength)
{
    std::string header(200, ' ');
    header.replace(0, 15, "TEST DICTIONARY");
    std::string body;
    long position = 409;  // first byte after the 408-byte header, counted from 1
    for (int length = 3; length <= 15; ++length) {
        const long start = position;
        auto it = wordsByLength.find(length);
        if (it != wordsByLength.end())
            for (const std::string& w : it->second) {
                body += w;
                position += static_cast<long>(w.size());
            }
        char fields[17];
        std::snprintf(fields, sizeof fields, "%8ld%8ld", start, position);
        header += fields;
    }
    return header + body;
}

inline void writeDictionary(const std::filesystem::path& file, const std::map<int, std::vector<std::string>>& words)
{
    writeBytes(file, dictionaryBytes(words));
}

/// A dictionary with `perLength` distinct words of every length 5..10, each
/// word starting with `initial` so tests can tell dictionaries apart.
inline std::map<int, std::vector<std::string>> sampleWords(char initial, int perLength = 12)
{
    std::map<int, std::vector<std::string>> words;
    for (int length = 5; length <= 10; ++length)
        for (int n = 0; n < perLength; ++n) {
            std::string w(static_cast<std::size_t>(length), 'A');
            w[0] = initial;
            for (int k = 1; k < length; ++k)
                w[static_cast<std::size_t>(k)] = static_cast<char>('A' + (n * 7 + k * 3 + length) % 26);
            words[length].push_back(w);
        }
    return words;
}

}  // namespace vortigo::test
