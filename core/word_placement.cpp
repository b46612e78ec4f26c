// SPDX-License-Identifier: GPL-3.0-or-later
#include "word_placement.h"

#include "number_rules.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace vortigo {

namespace {

// Far beyond anything the round tables need (an attempt almost always
// succeeds at once); it only keeps a hostile word list from hanging the game.
constexpr int kMaxAttempts = 20000;

// Cells per row of the raw cell storage.
constexpr int kStride = decltype(GameState::CellLetter)::kStride;

// The crossing test reads a word's cells eight at a time from copies of the
// grid in which every line of one orientation lies contiguously:
//   across   (rows)                 line r,                   position c
//   downward (columns)              line c,                   position r
//   falling  (down-right diagonals) line c - r + kMaxRows,    position r
//   rising   (up-right diagonals)   line c + r,               position c
// A direction runs forwards or backwards along one orientation. Lines are
// long enough that reading a whole 8-byte block past a word's end stays
// inside them; what lies beyond the word is masked off.
enum Orientation { kAcross, kDownward, kFalling, kRising, kOrientations };
constexpr int kLineCount = GameState::kMaxCols + GameState::kMaxRows + 2;
constexpr int kLineLength = 64;
constexpr int kLongestWord = 32;  // geometryAllows keeps words to max(cols, rows) - 1 <= 29
constexpr int kBlocks = kLongestWord / 8;

struct LinePlace {
    int line;
    int position;
};

LinePlace linePlace(int orientation, int c, int r)
{
    switch (orientation) {
    case kAcross: return {r, c};
    case kDownward: return {c, r};
    case kFalling: return {c - r + GameState::kMaxRows, r};
    default: return {c + r, c};
    }
}

struct LineGrids {
    unsigned char line[kOrientations][kLineCount][kLineLength];
};

// The direction table as the state holds it (index d - 1): the steps, the
// orientation and sense each direction runs along (orientation -1 for a step
// that is none of the eight unit steps: tested cell by cell), and the
// directions sorted by the border they lean on: bit d - 1 of `right` is set
// when direction d moves right, and so on; `level` and `flat` hold the ones
// that move neither left nor right, or neither up nor down.
struct Directions {
    int dx[8];
    int dy[8];
    int step[8];
    int orientation[8];
    bool forwards[8];
    unsigned right = 0, left = 0, level = 0;
    unsigned down = 0, up = 0, flat = 0;
};

Directions directionSteps(const GameState& s)
{
    Directions dir{};
    for (int d = 0; d < 8; ++d) {
        const int dx = s.DirDX(d + 1);
        const int dy = s.DirDY(d + 1);
        dir.dx[d] = dx;
        dir.dy[d] = dy;
        dir.step[d] = dy * kStride + dx;
        const unsigned bit = 1u << d;
        (dx == 1 ? dir.right : dx == -1 ? dir.left : dir.level) |= bit;
        (dy == 1 ? dir.down : dy == -1 ? dir.up : dir.flat) |= bit;
        dir.orientation[d] = -1;
        if (dx == 0 && (dy == 1 || dy == -1))
            dir.orientation[d] = kDownward;
        else if (dy == 0 && (dx == 1 || dx == -1))
            dir.orientation[d] = kAcross;
        else if ((dx == 1 || dx == -1) && dy == dx)
            dir.orientation[d] = kFalling;
        else if ((dx == 1 || dx == -1) && dy == -dx)
            dir.orientation[d] = kRising;
        dir.forwards[d] = dx == 1 || (dx == 0 && dy == 1);
    }
    return dir;
}

// The border test for every direction at once (bit d - 1 set: direction d
// keeps the word inside the grid). The base cell is one step before the
// first letter, so the test uses the full length: a rightwards word of L
// letters needs c + L <= GridCols.
unsigned borderFit(const Directions& dir, int c, int r, int length, int cols, int rows)
{
    const unsigned across = dir.level | (c + length <= cols ? dir.right : 0u) | (c - length >= 1 ? dir.left : 0u);
    const unsigned upDown = dir.flat | (r + length <= rows ? dir.down : 0u) | (r - length >= 1 ? dir.up : 0u);
    return across & upDown;
}

// A word as 8-byte blocks: forwards, backwards, and which bytes belong to it.
struct WordBlocks {
    std::uint64_t forwards[kBlocks];
    std::uint64_t backwards[kBlocks];
    std::uint64_t mask[kBlocks];
    int count;
};

WordBlocks wordBlocks(const std::string& word)
{
    unsigned char fwd[kLongestWord] = {}, back[kLongestWord] = {}, mask[kLongestWord] = {};
    const int length = static_cast<int>(word.size());
    for (int k = 0; k < length; ++k) {
        fwd[k] = static_cast<unsigned char>(word[static_cast<std::size_t>(k)]);
        back[length - 1 - k] = fwd[k];
        mask[k] = 0x80;
    }
    WordBlocks blocks{};
    std::memcpy(blocks.forwards, fwd, sizeof fwd);
    std::memcpy(blocks.backwards, back, sizeof back);
    std::memcpy(blocks.mask, mask, sizeof mask);
    blocks.count = (length + 7) / 8;
    return blocks;
}

// High bit of every byte of x that is not zero.
std::uint64_t nonZeroBytes(std::uint64_t x)
{
    constexpr std::uint64_t low7 = 0x7f7f7f7f7f7f7f7fULL;
    return (((x & low7) + low7) | x) & ~low7;
}

// The crossing test along a line copy: every cell of the word is empty or
// holds the word's letter there.
bool crossesCleanly(const LineGrids& lines, const WordBlocks& word, int orientation, bool forwards, int c, int r,
                    int length)
{
    constexpr std::uint64_t blanks = 0x2020202020202020ULL;
    const LinePlace at = linePlace(orientation, c, r);
    const unsigned char* cells = lines.line[orientation][at.line] + (forwards ? at.position + 1 : at.position - length);
    const std::uint64_t* letters = forwards ? word.forwards : word.backwards;
    for (int b = 0; b < word.count; ++b) {
        std::uint64_t here;
        std::memcpy(&here, cells + 8 * b, 8);
        if ((nonZeroBytes(here ^ letters[b]) & nonZeroBytes(here ^ blanks) & word.mask[b]) != 0)
            return false;
    }
    return true;
}

// The same cell by cell, for a direction table that is not made of unit steps.
bool crossesCleanlyCellByCell(const char* origin, int step, const char* letters, int length)
{
    const char* cell = origin;
    for (int k = 0; k < length; ++k) {
        cell += step;
        if (*cell != ' ' && *cell != letters[k])
            return false;
    }
    return true;
}

void clearGrid(GameState& s, LineGrids& lines)
{
    char* letters = s.CellLetter.data();
    i16* marks = s.CellMark.data();
    for (int r = 0; r < s.GridRows; ++r) {
        std::fill_n(letters + r * kStride, s.GridCols, ' ');
        std::fill_n(marks + r * kStride, s.GridCols, i16{0});
    }
    // The lines that cross the grid; cells beyond it are never read unmasked.
    const auto blank = [&lines](int orientation, int first, int last) {
        std::memset(lines.line[orientation][first], ' ', static_cast<std::size_t>(last - first + 1) * kLineLength);
    };
    blank(kAcross, 1, s.GridRows);
    blank(kDownward, 1, s.GridCols);
    blank(kFalling, 1 - s.GridRows + GameState::kMaxRows, s.GridCols - 1 + GameState::kMaxRows);
    blank(kRising, 2, s.GridCols + s.GridRows);
}

void writeLetter(GameState& s, LineGrids& lines, int c, int r, char letter)
{
    s.CellLetter.data()[(r - 1) * kStride + (c - 1)] = letter;
    for (int o = 0; o < kOrientations; ++o) {
        const LinePlace at = linePlace(o, c, r);
        lines.line[o][at.line][at.position] = static_cast<unsigned char>(letter);
    }
}

// Exhaustive search for one word: every base cell once from a random start,
// all eight directions at each from a random first one. One draw for the
// start and one per base cell visited, whatever the cell, as the game has
// always drawn them; a direction is accepted when every letter it covers is
// empty or already holds the same letter.
void placeOneWord(GameState& s, LineGrids& lines, int i, ClockRandom& random, const Directions& dir)
{
    const std::string& word = s.WordList(i);
    const int length = static_cast<int>(word.size());
    const WordBlocks blocks = wordBlocks(word);
    const int cols = s.GridCols;
    const int rows = s.GridRows;
    const int n = rows * cols;
    s.WordCol(i) = 0;

    int p = static_cast<int>(roundEven(random.draw() * n + 1));
    if (p > n)
        p = 1;
    Cell base = positionToCell(p, cols);
    for (int t = 1; t <= n; ++t) {
        // Floor(u * 8) + 1 is direction first + 1; for u >= 0 truncation is the floor.
        const int first = static_cast<int>(random.draw() * 8);
        const unsigned fits = borderFit(dir, base.col, base.row, length, cols, rows);
        // The fitting directions in the order they are tried, from the drawn one on.
        unsigned order = ((fits >> first) | (fits << (8 - first))) & 0xffu;
        while (order != 0) {
            const int d = (first + std::countr_zero(order)) & 7;
            order &= order - 1;
            const bool clean = dir.orientation[d] >= 0
                ? crossesCleanly(lines, blocks, dir.orientation[d], dir.forwards[d], base.col, base.row, length)
                : crossesCleanlyCellByCell(s.CellLetter.data() + (base.row - 1) * kStride + (base.col - 1),
                                           dir.step[d], word.data(), length);
            if (!clean)
                continue;
            for (int k = 1; k <= length; ++k)
                writeLetter(s, lines, base.col + k * dir.dx[d], base.row + k * dir.dy[d],
                            word[static_cast<std::size_t>(k - 1)]);
            s.WordDX(i) = static_cast<i16>(dir.dx[d]);
            s.WordDY(i) = static_cast<i16>(dir.dy[d]);
            s.WordCol(i) = static_cast<i16>(base.col);
            s.WordRow(i) = static_cast<i16>(base.row);
            return;
        }
        if (p == n) {
            p = 1;
            base = {1, 1};
        } else {
            ++p;
            if (++base.col > cols)
                base = {1, base.row + 1};
        }
    }
}

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
    const Directions dir = directionSteps(s);
    LineGrids lines;  // only the lines crossing the grid are ever set or read
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        clearGrid(s, lines);
        for (int i = s.LastWordIndex; i >= 0; --i)
            placeOneWord(s, lines, i, random, dir);
        bool allPlaced = true;
        for (int i = 0; i <= s.LastWordIndex; ++i)
            allPlaced = allPlaced && s.WordCol(i) != 0;
        if (allPlaced)
            return true;
    }
    return false;
}

}  // namespace vortigo
