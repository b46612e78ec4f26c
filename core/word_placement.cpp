// SPDX-License-Identifier: GPL-3.0-or-later
#include "word_placement.h"

#include "number_rules.h"

#include <algorithm>

namespace vortigo {

namespace {

// Far beyond anything the round tables need (an attempt almost always
// succeeds at once); it only keeps a hostile word list from hanging the game.
constexpr int kMaxAttempts = 20000;

void clearGrid(GameState& s)
{
    for (int r = 1; r <= s.GridRows; ++r)
        for (int c = 1; c <= s.GridCols; ++c) {
            s.CellMark(c, r) = 0;
            s.CellLetter(c, r) = ' ';
        }
}

// The base cell is one step before the first letter, so the border test
// uses the full length: a rightwards word of L letters needs c + L <= GridCols.
bool fitsBorder(const GameState& s, int c, int r, int dx, int dy, int length)
{
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

// Every cell the word would cover is empty or already holds its letter.
bool crossesCleanly(const GameState& s, int c, int r, int dx, int dy, const std::string& word)
{
    for (int k = 1; k <= static_cast<int>(word.size()); ++k) {
        const char here = s.CellLetter(c + k * dx, r + k * dy);
        if (here != ' ' && here != word[static_cast<std::size_t>(k - 1)])
            return false;
    }
    return true;
}

void writeWord(GameState& s, int i, int c, int r, int dx, int dy)
{
    const std::string& word = s.WordList(i);
    for (int k = 1; k <= static_cast<int>(word.size()); ++k)
        s.CellLetter(c + k * dx, r + k * dy) = word[static_cast<std::size_t>(k - 1)];
    s.WordDX(i) = static_cast<i16>(dx);
    s.WordDY(i) = static_cast<i16>(dy);
    s.WordCol(i) = static_cast<i16>(c);
    s.WordRow(i) = static_cast<i16>(r);
}

// Exhaustive search for one word: every base cell once from a random start,
// all eight directions at each from a random first one. One draw for the
// start and one per base cell visited, whether any direction fits there or
// not; a word that finds no place keeps WordCol 0.
void placeOneWord(GameState& s, int i, ClockRandom& random)
{
    const std::string& word = s.WordList(i);
    const int length = static_cast<int>(word.size());
    const int n = s.GridRows * s.GridCols;
    s.WordCol(i) = 0;

    int p = static_cast<int>(roundEven(random.draw() * n + 1));
    if (p > n)
        p = 1;
    for (int t = 1; t <= n; ++t) {
        const Cell base = positionToCell(p, s.GridCols);
        int d = static_cast<int>(floorToInt(random.draw() * 8)) + 1;
        for (int e = 1; e <= 8; ++e) {
            const int dx = s.DirDX(d);
            const int dy = s.DirDY(d);
            if (fitsBorder(s, base.col, base.row, dx, dy, length)
                && crossesCleanly(s, base.col, base.row, dx, dy, word)) {
                writeWord(s, i, base.col, base.row, dx, dy);
                return;
            }
            d = d == 8 ? 1 : d + 1;
        }
        p = p == n ? 1 : p + 1;
    }
}

// False when some word is longer than the grid allows in every direction,
// or the grid does not fit the cell arrays.
bool geometryAllows(const GameState& s)
{
    const int longest = std::max(s.GridCols, s.GridRows) - 1;
    for (int i = 0; i <= s.LastWordIndex; ++i)
        if (static_cast<int>(s.WordList(i).size()) > longest)
            return false;
    return s.GridCols >= 1 && s.GridRows >= 1 && s.GridCols <= GameState::kMaxCols
        && s.GridRows <= GameState::kMaxRows;
}

}  // namespace

Cell positionToCell(int p, int cols)
{
    Cell cell{p % cols, p / cols + 1};
    if (cell.col == 0) {
        cell.col = cols;
        cell.row -= 1;
    }
    return cell;
}

Cell letterCell(const GameState& s, int word, int k)
{
    return {s.WordCol(word) + k * s.WordDX(word), s.WordRow(word) + k * s.WordDY(word)};
}

bool PlaceWords(GameState& s, ClockRandom& random)
{
    if (!geometryAllows(s))
        return false;
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
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

}  // namespace vortigo
