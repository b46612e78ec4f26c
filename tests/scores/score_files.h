// SPDX-License-Identifier: GPL-3.0-or-later
// Scratch folders and file helpers for the high-score tests.
#pragma once

#include "scores/score_table.h"
#include "tests/support/scratch_folder.h"

#include <filesystem>
#include <string>

namespace vortigo::test {

/// A scratch folder for the table's file.
class ScratchFolder : public TestFolder {
public:
    ScratchFolder() : TestFolder("vortigo-scores") {}
    std::filesystem::path scoreFile() const { return path() / kScoreFileName; }
};

/// 50 full rows in rank order: "Giocatore01" with 5000 points down to
/// "Giocatore50" with 100.
inline std::string fullTableFile()
{
    std::string text;
    for (int i = 1; i <= 50; ++i)
        text += "Giocatore" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ", " + std::to_string((51 - i) * 100) +
                " \r\n";
    return text;
}

}  // namespace vortigo::test
