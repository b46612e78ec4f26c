// SPDX-License-Identifier: GPL-3.0-or-later
// The one record of everything the game remembers between events.
//
// Field names are the game's own and are read and written directly by the
// window handlers. Integers are 16-bit (std::int16_t) unless the field is
// 32-bit by nature (Score, the dictionary index); booleans are 16-bit with
// True = -1 and False = 0, so `~flag` is the logical not.
//
// Text held here (words, cell letters) is single-byte Latin-1, one byte per
// character, exactly as it stands in the dictionary files.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vortigo {

using i16 = std::int16_t;
using i32 = std::int32_t;

constexpr i16 kTrue = -1;
constexpr i16 kFalse = 0;

// A fixed-bounds array indexed Lo..Hi, as the game's tables are. Out-of-range
// indexes are programming errors and throw std::out_of_range.
template <typename T, int Lo, int Hi>
class BoundedArray {
public:
    T& operator()(int i) { return m_items.at(static_cast<std::size_t>(i - Lo)); }
    const T& operator()(int i) const { return m_items.at(static_cast<std::size_t>(i - Lo)); }
    void fill(const T& value) { m_items.fill(value); }

private:
    std::array<T, Hi - Lo + 1> m_items{};
};

// Cell arrays indexed (column, row), both from 1.
template <typename T, int Cols, int Rows>
class CellArray {
public:
    /// Cells in a row of the raw storage: cell (c, r) is data()[(r - 1) * kStride + c - 1].
    static constexpr int kStride = Cols;

    T& operator()(int c, int r) { return m_items.at(index(c, r)); }
    const T& operator()(int c, int r) const { return m_items.at(index(c, r)); }
    /// Unchecked storage for loops that have checked their bounds once, outside.
    T* data() { return m_items.data(); }
    const T* data() const { return m_items.data(); }

private:
    static std::size_t index(int c, int r)
    {
        if (c < 1 || c > Cols || r < 1 || r > Rows)
            return m_outOfRange;
        return static_cast<std::size_t>((r - 1) * Cols + (c - 1));
    }
    static constexpr std::size_t m_outOfRange = static_cast<std::size_t>(Cols) * Rows;
    std::array<T, Cols * Rows> m_items{};
};

// Why round set-up is called, or -1 while a round is in play. The numbers
// are the game's own; 0 is also the state before the first round, when
// clicks are ignored.
enum class RoundStatusValue : i16 {
    kRoundInPlay = -1,
    kRoundWon = 0,
    kLostByErrors = 10,
    kLevelChanged = 11,
    kTimeOut = 12,
    kDictionaryChanged = 13,
};
using enum RoundStatusValue;

struct GameState {
    static constexpr int kMaxCols = 30;
    static constexpr int kMaxRows = 25;
    static constexpr int kMaxWords = 20;
    static constexpr int kRoundTableSize = 10;

    // ---- Grid ----
    i16 GridCols = 0;  ///< columns of the current grid (7..18 in play; the arrays allow 30)
    i16 GridRows = 0;  ///< rows of the current grid (6..14 in play; the arrays allow 25)
    /// Letter of each cell; ' ' marks an empty cell while words are being placed.
    CellArray<char, kMaxCols, kMaxRows> CellLetter;
    /// 0 filler, 1 letter of a hidden word not yet clicked, 2 letter clicked by the player.
    CellArray<i16, kMaxCols, kMaxRows> CellMark;
    /// Highlight toggle: chooses red or white for the next paint of a clicked letter.
    CellArray<i16, kMaxCols, kMaxRows> CellLit;
    i16 CellSize = 0;  ///< side of one square cell, in pixels
    i16 MarginX = 0;   ///< left edge of column 1, in pixels
    i16 MarginY = 0;   ///< top edge of row 1, in pixels
    std::string GridFontName;  ///< empty until the first layout, then "Tahoma"

    // ---- Directions 1..8, clockwise from up; rows grow downwards ----
    BoundedArray<i16, 1, 8> DirDX;
    BoundedArray<i16, 1, 8> DirDY;

    // ---- Words of the round (slots 0..19) ----
    BoundedArray<std::string, 0, 19> WordList;
    i16 LastWordIndex = 0;  ///< index of the round's last word (word count - 1)
    i16 WordsDrawn = 0;     ///< next free slot of WordList
    BoundedArray<i16, 0, 19> WordDX;
    BoundedArray<i16, 0, 19> WordDY;
    /// Base cell of each word: one step BEFORE its first letter, so letter k
    /// (from 1) lies at (WordCol + k*WordDX, WordRow + k*WordDY). WordCol = 0
    /// while the word is not placed.
    BoundedArray<i16, 0, 19> WordCol;
    BoundedArray<i16, 0, 19> WordRow;

    // ---- Per-round tables, rounds 1..10 (later rounds use entry 10) ----
    BoundedArray<i16, 1, 10> RoundCols;
    BoundedArray<i16, 1, 10> RoundRows;
    BoundedArray<i16, 1, 10> RoundErrors;
    BoundedArray<i16, 1, 10> RoundWords;  ///< index of the round's last word, not the count

    // ---- Dictionary index, by word length 3..15 ----
    BoundedArray<i32, 3, 15> WordStart;  ///< 1-based file position of the first word of each length
    BoundedArray<i32, 3, 15> WordCount;  ///< how many words of each length the file holds

    // ---- Game progress ----
    RoundStatusValue RoundStatus = kRoundWon;  ///< an i16 of the values above
    i16 Round = 0;            ///< the "manche" in play, 1 for a game's first round
    i32 Score = 0;            ///< points of the current game; may be negative
    i16 ElapsedSeconds = 0;   ///< seconds counted in the round, from 3 x Round
    i16 RecordNewScore = kFalse;  ///< True: the next high-score window inserts Score
    i16 DictionaryIndex = 0;  ///< 1 Italiano, 2 English, 3 Latino
    i16 LevelTimeBonus = 0;   ///< extra seconds of the chosen level
};

/// Extra seconds per round of each level item 0..3: Allenamento, Pibo
/// (Principiante), Medio, Esperto.
inline constexpr std::array<int, 4> kLevelTimeBonus = {540, 60, 52, 45};

/// Fills the direction and per-round tables, as start-up does once.
void fillConstantTables(GameState& state);

/// The table entry used for a round: rounds past the tenth use entry 10.
int roundTableIndex(int round);

/// Length of the word in slot i of a round: 5, 5, 6, 6, 6, 6, 7, ... 10, 10.
int wordLengthForSlot(int slot);

}  // namespace vortigo
