// SPDX-License-Identifier: GPL-3.0-or-later
// The indexed dictionary files "SLESSICO.1" (Italiano), ".2" (English) and
// ".3" (Latino). A 408-byte header gives, for each word length L = 3..15, two
// 8-character decimal fields: at 1-based position 201 + 16*(L-3) the position
// of the first word of L letters, at 209 + 16*(L-3) the position just after
// the last one. The words follow back to back, L bytes each, no separators.
// Only the header is read when a dictionary becomes current; each word drawn
// costs one positioned read.
#pragma once

#include "core/clock_random.h"
#include "core/game_state.h"
#include "core/platform.h"
#include "core/word_source.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

namespace vortigo {

/// "SLESSICO." followed by the dictionary number.
std::string dictionaryFileName(int dictionaryIndex);

/// Fills WordStart and WordCount from the header bytes (the file's first
/// 408 bytes; bytes the file does not have read as blanks, hence as 0).
/// Values are used as read, never validated.
void readDictionaryHeader(std::string_view header, GameState& state);

/// Makes the dictionary of state.DictionaryIndex current. When its file is
/// missing, shows "Errore fatale! non trovato file di vocabolario: SLESSICO.n",
/// ends the program through the platform and returns false.
bool apridiz(GameState& state, Platform& platform, const std::filesystem::path& folder);

/// Draws one random word of the given length (rounded to nearest, ties to
/// even) from the current dictionary into WordList(WordsDrawn). Missing: the
/// file has gone and "Errore 0002: ..." was shown; Failed: anything else went
/// wrong, nothing shown.
WordDraw DrawWord(GameState& state, Platform& platform, ClockRandom& random,
                  const std::filesystem::path& folder, double length);

/// The game's word source: the dictionaries in the program's folder.
class Dictionaries : public WordSource {
public:
    Dictionaries(Platform& platform, std::filesystem::path folder)
        : m_platform(platform), m_folder(std::move(folder))
    {
    }
    WordDraw drawWord(GameState& state, ClockRandom& random, int length) override
    {
        return DrawWord(state, m_platform, random, m_folder, length);
    }
    bool openDictionary(GameState& state) override { return apridiz(state, m_platform, m_folder); }

private:
    Platform& m_platform;
    std::filesystem::path m_folder;
};

}  // namespace vortigo
