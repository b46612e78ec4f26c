// SPDX-License-Identifier: GPL-3.0-or-later
// Where the round's words come from: the dictionary file in the game,
// a list of words in the tests.
#pragma once

#include "core/clock_random.h"
#include "core/game_state.h"

namespace vortigo {

/// What a word draw gave.
enum class WordDraw {
    Stored,   ///< the word is in WordList(WordsDrawn), and WordsDrawn grew by 1
    Missing,  ///< the dictionary file has gone; the player has been told
    Failed,   ///< nothing stored, nothing told: try again
};

class WordSource {
public:
    virtual ~WordSource() = default;
    /// Draws a random word of this length from the current
    /// dictionary into WordList(WordsDrawn), with the game's generator.
    virtual WordDraw drawWord(GameState& state, ClockRandom& random, int length) = 0;
    /// Makes the dictionary of DictionaryIndex current (WordStart, WordCount);
    /// false when it is missing: the player has been told and the program must end.
    virtual bool openDictionary(GameState& state) = 0;
};

}  // namespace vortigo
