// SPDX-License-Identifier: GPL-3.0-or-later
// The puzzle making as it was first written: the placement search and the
// letter part of the grid filling, spelled out step by step with checked
// cell access, re-reading the direction table for every letter and testing
// every letter of a crossing. It never changes: the fingerprints the game is
// held to (tests/core/puzzle_fingerprint_test.cpp) were taken from it, and
// the benchmarks run it beside the game's own as their fixed point.
#pragma once

#include "core/clock_random.h"
#include "core/game_state.h"
#include "core/number_rules.h"

#include <string>

namespace vortigo::reference {

inline constexpr char kFillers[] = "ABCDEFGHILMNOPQRSTUVZ";
inline constexpr int kMaxAttempts = 20000;

inline void clearGrid(GameState& s)
{
    for (int c = 1; c <= s.GridCols; ++c)
        for (int r = 1; r <= s.GridRows; ++r) {
            s.CellMark(c, r) = 0;
            s.CellLetter(c, r) = ' ';
        }
}

inline bool fitsBorder(const GameState& s, int c, int r, int d, int length)
{
    const int dx = s.DirDX(d);
    const int dy = s.DirDY(d);
    if (dx == 1 && c + length > s.GridCols)
        return false;
    if (dx == -1 && c - length < 1)
        return false;
    if (dy == 1 && r + length > s.GridRows)
        return false;
    if (dy == -1 && r - length < 1)
        return false;
    return true;
}

inline bool crossesCleanly(const GameState& s, int c, int r, int d, const std::string& word)
{
    bool clean = true;
    for (int k = 1; k <= static_cast<int>(word.size()); ++k) {
        const char here = s.CellLetter(c + k * s.DirDX(d), r + k * s.DirDY(d));
        if (here != ' ' && here != word[static_cast<std::size_t>(k - 1)])
            clean = false;
    }
    return clean;
}

inline void writeWord(GameState& s, int i, int c, int r, int d)
{
    const std::string& word = s.WordList(i);
    for (int k = 1; k <= static_cast<int>(word.size()); ++k)
        s.CellLetter(c + k * s.DirDX(d), r + k * s.DirDY(d)) = word[static_cast<std::size_t>(k - 1)];
    s.WordDX(i) = s.DirDX(d);
    s.WordDY(i) = s.DirDY(d);
    s.WordCol(i) = static_cast<i16>(c);
    s.WordRow(i) = static_cast<i16>(r);
}

inline void positionToCell(int p, int cols, int& c, int& r)
{
    c = p % cols;
    r = p / cols + 1;
    if (c == 0) {
        c = cols;
        r -= 1;
    }
}

inline void placeOneWord(GameState& s, int i, ClockRandom& random)
{
    const std::string& word = s.WordList(i);
    const int length = static_cast<int>(word.size());
    const int n = s.GridRows * s.GridCols;
    s.WordCol(i) = 0;

    int p = static_cast<int>(roundEven(random.draw() * n + 1));
    if (p > n)
        p = 1;
    for (int t = 1; t <= n; ++t) {
        int c = 0, r = 0;
        positionToCell(p, s.GridCols, c, r);
        int d = static_cast<int>(floorToInt(random.draw() * 8)) + 1;
        for (int e = 1; e <= 8; ++e) {
            if (fitsBorder(s, c, r, d, length) && crossesCleanly(s, c, r, d, word)) {
                writeWord(s, i, c, r, d);
                return;
            }
            d = d == 8 ? 1 : d + 1;
        }
        p = p == n ? 1 : p + 1;
    }
}

/// PlaceWords as first written; the same result contract. `attempts`, when
/// given, counts the attempts made (for tests that want restarts).
inline bool PlaceWords(GameState& s, ClockRandom& random, int* attempts = nullptr)
{
    int longest = s.GridCols > s.GridRows ? s.GridCols - 1 : s.GridRows - 1;
    for (int i = 0; i <= s.LastWordIndex; ++i)
        if (static_cast<int>(s.WordList(i).size()) > longest)
            return false;
    if (s.GridCols < 1 || s.GridRows < 1 || s.GridCols > GameState::kMaxCols || s.GridRows > GameState::kMaxRows)
        return false;
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        if (attempts)
            ++*attempts;
        clearGrid(s);
        for (int i = s.LastWordIndex; i >= 0; --i)
            placeOneWord(s, i, random);
        bool allPlaced = true;
        for (int i = 0; i <= s.LastWordIndex; ++i)
            allPlaced = allPlaced && s.WordCol(i) != 0;
        if (allPlaced)
            return true;
    }
    return false;
}

/// The letter part of FillGrid as first written: one filler draw per cell,
/// row by row, fillers into the empty cells, marks and highlight toggles set.
inline void FillLetters(GameState& s, ClockRandom& random)
{
    for (int r = 1; r <= s.GridRows; ++r) {
        for (int c = 1; c <= s.GridCols; ++c) {
            const int j = static_cast<int>(floorToInt(random.draw() * 21 + 1));
            const char filler = kFillers[j - 1];
            s.CellLit(c, r) = kFalse;
            if (s.CellLetter(c, r) == ' ') {
                s.CellLetter(c, r) = filler;
                s.CellMark(c, r) = 0;
            } else {
                s.CellMark(c, r) = 1;
            }
        }
    }
}

}  // namespace vortigo::reference
