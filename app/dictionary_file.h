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

#include <filesystem>
#include <string>
#include <string_view>

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

enum class DrawOutcome {
    Stored,   ///< a word was stored in WordList(WordsDrawn) and WordsDrawn grew by 1
    Missing,  ///< the file has gone: "Errore 0002: ..." was shown, nothing stored
    Failed,   ///< anything else went wrong: nothing stored, nothing shown
};

/// Draws one random word of the given length (rounded to nearest, ties to
/// even) from the current dictionary into WordList(WordsDrawn).
DrawOutcome DrawWord(GameState& state, Platform& platform, ClockRandom& random,
                     const std::filesystem::path& folder, double length);

}  // namespace vortigo
