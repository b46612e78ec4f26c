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

// The crossing test reads a word's cells sixteen at a time from copies of the
// grid in which every line of one orientation lies contiguously:
//   across   (rows)                 line r,                   position c
//   downward (columns)              line c,                   position r
//   falling  (down-right diagonals) line c - r + kMaxRows,    position r
//   rising   (up-right diagonals)   line c + r,               position c
// A direction runs forwards or backwards along one orientation. Lines are
// long enough that reading a whole block past a word's end stays
// inside them; what lies beyond the word is masked off.
enum Orientation { kAcross, kDownward, kFalling, kRising, kOrientations };
constexpr int kLineCount = GameState::kMaxCols + GameState::kMaxRows + 2;
constexpr int kLineLength = 64;
constexpr int kCopySize = kLineCount * kLineLength;
constexpr int kLongestWord = 32;  // geometryAllows keeps words to max(cols, rows) - 1 <= 29
constexpr int kBlockSize = 16;
constexpr int kBlocks = kLongestWord / kBlockSize;

// Sixteen cells or letters at a time; a comparison gives all ones where equal.
using Block = signed char __attribute__((vector_size(kBlockSize)));

// Where cell (c, r) lies in the copies, as a linear function of c and r, so
// that finding it takes two multiplications and no choice:
// perCol * c + perRow * r + origin.
struct LineMap {
    int perCol;
    int perRow;
    int origin;
    int offset(int c, int r) const { return perCol * c + perRow * r + origin; }
};

constexpr LineMap kLineMaps[kOrientations] = {
    {1, kLineLength, kAcross * kCopySize},
    {kLineLength, 1, kDownward * kCopySize},
    {kLineLength, 1 - kLineLength, kFalling * kCopySize + GameState::kMaxRows * kLineLength},
    {kLineLength + 1, kLineLength, kRising * kCopySize},
};

struct LineGrids {
    unsigned char cells[kOrientations * kCopySize];
    unsigned char* line(int orientation, int index) { return cells + orientation * kCopySize + index * kLineLength; }
};

// The direction table as the state holds it (index d - 1): the steps, the
// line copy each direction runs along, and where a word that way begins in
// it: one past the base cell when the direction runs forwards along the
// line, a word's length before it (`backwards` all ones) when it runs
// backwards. Bit d - 1 of `lined` is set for the eight unit steps (any other
// step is tested cell by cell). Directions are also sorted by the border
// they lean on: bit d - 1 of `right` is set when direction d moves right,
// and so on; `level` and `flat` hold the ones that move neither left nor
// right, or neither up nor down.
struct Directions {
    int dx[8];
    int dy[8];
    int step[8];
    int orientation[8];
    int origin[8];
    int backwards[8];
    unsigned lined = 0;
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
        int orientation = -1;
        if (dx == 0 && (dy == 1 || dy == -1))
            orientation = kDownward;
        else if (dy == 0 && (dx == 1 || dx == -1))
            orientation = kAcross;
        else if ((dx == 1 || dx == -1) && dy == dx)
            orientation = kFalling;
        else if ((dx == 1 || dx == -1) && dy == -dx)
            orientation = kRising;
        if (orientation >= 0) {
            dir.lined |= bit;
            const bool forwards = dx == 1 || (dx == 0 && dy == 1);
            dir.orientation[d] = orientation;
            dir.origin[d] = kLineMaps[orientation].origin + (forwards ? 1 : 0);
            dir.backwards[d] = forwards ? 0 : -1;
        }
    }
    return dir;
}

// All ones when the condition holds, else nothing: the border tests below
// come out either way at random, so they are worked out without a branch.
unsigned when(bool condition)
{
    return 0u - static_cast<unsigned>(condition);
}

// The border test, split by what it depends on (bit d - 1 set: direction d
// keeps the word inside the grid across, or up and down; it fits when both
// hold). The base cell is one step before the first letter, so the test
// uses the full length: a rightwards word of L letters needs c + L <= GridCols.
unsigned acrossFit(const Directions& dir, int c, int length, int cols)
{
    return dir.level | (dir.right & when(c + length <= cols)) | (dir.left & when(c - length >= 1));
}

unsigned upDownFit(const Directions& dir, int r, int length, int rows)
{
    return dir.flat | (dir.down & when(r + length <= rows)) | (dir.up & when(r - length >= 1));
}

// One word, prepared once for all the places tried: its letters in blocks
// read forwards (letters[0]) and backwards (letters[1]), and which bytes of
// each block belong to it.
struct WordSearch {
    Block letters[2][kBlocks];
    Block mask[kBlocks];
    int count;
    int length;
};

void prepareWord(WordSearch& w, const std::string& word)
{
    const int length = static_cast<int>(word.size());
    signed char fwd[kLongestWord] = {}, back[kLongestWord] = {}, mask[kLongestWord] = {};
    std::memcpy(fwd, word.data(), word.size());
    std::memset(mask, -1, word.size());
    for (int k = 0; k < length; ++k)
        back[length - 1 - k] = fwd[k];
    std::memcpy(w.letters[0], fwd, sizeof fwd);
    std::memcpy(w.letters[1], back, sizeof back);
    std::memcpy(w.mask, mask, sizeof mask);
    w.count = (length + kBlockSize - 1) / kBlockSize;
    w.length = length;
}

// Where the base cell (c, r) lies in each line copy.
struct CellPlaces {
    int at[kOrientations];
    CellPlaces(int c, int r)
        : at{kLineMaps[kAcross].perCol * c + kLineMaps[kAcross].perRow * r,
             kLineMaps[kDownward].perCol * c + kLineMaps[kDownward].perRow * r,
             kLineMaps[kFalling].perCol * c + kLineMaps[kFalling].perRow * r,
             kLineMaps[kRising].perCol * c + kLineMaps[kRising].perRow * r}
    {
    }
};

// The crossing test along a line copy: every cell of the word is empty or
// holds the word's letter there. The border test has kept the word inside
// the grid, so its blocks lie inside the line.
bool crossesCleanly(const LineGrids& lines, const WordSearch& w, const Directions& dir, int d, const CellPlaces& base)
{
    constexpr Block blanks = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    const int backwards = dir.backwards[d];
    const unsigned char* cells = lines.cells + (base.at[dir.orientation[d]] + dir.origin[d] - (backwards & w.length));
    const Block* letters = w.letters[backwards & 1];
    for (int b = 0; b < w.count; ++b) {
        Block here;
        std::memcpy(&here, cells + kBlockSize * b, kBlockSize);
        const Block conflicts = ~((here == letters[b]) | (here == blanks)) & w.mask[b];
        std::uint64_t halves[2];
        std::memcpy(halves, &conflicts, sizeof halves);
        if ((halves[0] | halves[1]) != 0)
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
        std::memset(lines.line(orientation, first), ' ', static_cast<std::size_t>(last - first + 1) * kLineLength);
    };
    blank(kAcross, 1, s.GridRows);
    blank(kDownward, 1, s.GridCols);
    blank(kFalling, 1 - s.GridRows + GameState::kMaxRows, s.GridCols - 1 + GameState::kMaxRows);
    blank(kRising, 2, s.GridCols + s.GridRows);
}

void writeWord(GameState& s, LineGrids& lines, const std::string& word, int c, int r, int dx, int dy)
{
    char* cell = s.CellLetter.data() + (r - 1) * kStride + (c - 1);
    const int step = dy * kStride + dx;
    // Each copy is written along the word with its own constant step. The
    // four are spelled out: looped over, their pointers live in memory and
    // a round's puzzle takes a tenth longer.
    const LineMap& m0 = kLineMaps[0];
    const LineMap& m1 = kLineMaps[1];
    const LineMap& m2 = kLineMaps[2];
    const LineMap& m3 = kLineMaps[3];
    unsigned char* at0 = lines.cells + m0.offset(c, r);
    unsigned char* at1 = lines.cells + m1.offset(c, r);
    unsigned char* at2 = lines.cells + m2.offset(c, r);
    unsigned char* at3 = lines.cells + m3.offset(c, r);
    const int step0 = m0.perCol * dx + m0.perRow * dy;
    const int step1 = m1.perCol * dx + m1.perRow * dy;
    const int step2 = m2.perCol * dx + m2.perRow * dy;
    const int step3 = m3.perCol * dx + m3.perRow * dy;
    for (const char letter : word) {
        *(cell += step) = letter;
        *(at0 += step0) = static_cast<unsigned char>(letter);
        *(at1 += step1) = static_cast<unsigned char>(letter);
        *(at2 += step2) = static_cast<unsigned char>(letter);
        *(at3 += step3) = static_cast<unsigned char>(letter);
    }
}

// The first draw of a word's search, RoundEven(u * n + 1) for u in [0, 1):
// the value is positive, so truncation is the floor.
int firstPosition(double x)
{
    const int lower = static_cast<int>(x);
    const double fraction = x - lower;
    if (fraction > 0.5)
        return lower + 1;
    if (fraction < 0.5)
        return lower;
    return lower + (lower & 1);
}

// Exhaustive search for one word: every base cell once from a random start,
// all eight directions at each from a random first one. One draw for the
// start and one per base cell visited, whatever the cell, as the game has
// always drawn them; a direction is accepted when every letter it covers is
// empty or already holds the same letter.
void placeOneWord(GameState& s, LineGrids& lines, int i, ClockRandom& random, const Directions& dir)
{
    const std::string& word = s.WordList(i);
    WordSearch w;
    prepareWord(w, word);
    const int length = static_cast<int>(word.size());
    const int cols = s.GridCols;
    const int rows = s.GridRows;
    const int n = rows * cols;
    s.WordCol(i) = 0;

    int p = firstPosition(random.draw() * n + 1);
    if (p > n)
        p = 1;
    Cell base = positionToCell(p, cols);
    unsigned rowFits = upDownFit(dir, base.row, length, rows);
    for (int t = 1; t <= n; ++t) {
        // Floor(u * 8) + 1 is direction first + 1; for u >= 0 truncation is the floor.
        const int first = static_cast<int>(random.draw() * 8);
        const unsigned fits = acrossFit(dir, base.col, length, cols) & rowFits;
        // The fitting directions in the order they are tried, from the drawn one on.
        unsigned order = ((fits >> first) | (fits << (8 - first))) & 0xffu;
        const CellPlaces places(base.col, base.row);
        while (order != 0) {
            const int d = (first + std::countr_zero(order)) & 7;
            order &= order - 1;
            const bool clean = (dir.lined >> d) & 1u
                ? crossesCleanly(lines, w, dir, d, places)
                : crossesCleanlyCellByCell(s.CellLetter.data() + (base.row - 1) * kStride + (base.col - 1),
                                           dir.step[d], word.data(), length);
            if (!clean)
                continue;
            writeWord(s, lines, word, base.col, base.row, dir.dx[d], dir.dy[d]);
            s.WordDX(i) = static_cast<i16>(dir.dx[d]);
            s.WordDY(i) = static_cast<i16>(dir.dy[d]);
            s.WordCol(i) = static_cast<i16>(base.col);
            s.WordRow(i) = static_cast<i16>(base.row);
            return;
        }
        if (p == n) {
            p = 1;
            base = {1, 1};
            rowFits = upDownFit(dir, base.row, length, rows);
        } else {
            ++p;
            if (++base.col > cols) {
                base = {1, base.row + 1};
                rowFits = upDownFit(dir, base.row, length, rows);
            }
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
