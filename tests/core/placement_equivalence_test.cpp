// SPDX-License-Identifier: GPL-3.0-or-later
// The game's tight placement and filling against the first, literal version
// kept in tests/support/reference_puzzle.h: for the same clock readings they
// must leave the same grid (letters and marks, inside and outside the round's
// grid), the same word records, the same answer and the same generator state
// after the same number of clock readings; and the generator must give the
// draws its first version gave for the same readings.
#include "core/game_state.h"
#include "core/grid_filling.h"
#include "core/word_placement.h"
#include "tests/support/reference_puzzle.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace vortigo;

namespace {

// A clock that moves a millisecond per reading and counts its readings.
struct CountingClock {
    double now;
    int readings = 0;
    double operator()()
    {
        ++readings;
        return now += 0.001;
    }
};

struct Puzzle {
    int cols, rows;
    std::vector<std::string> words;
};

struct Maker {
    explicit Maker(double start) : clock{start}, random(std::ref(clock)) { fillConstantTables(state); }
    GameState state;
    CountingClock clock;
    ClockRandom random;
};

void load(GameState& s, const Puzzle& p)
{
    s.GridCols = static_cast<i16>(p.cols);
    s.GridRows = static_cast<i16>(p.rows);
    s.LastWordIndex = static_cast<i16>(static_cast<int>(p.words.size()) - 1);
    for (std::size_t i = 0; i < p.words.size(); ++i)
        s.WordList(static_cast<int>(i)) = p.words[i];
}

// Everything placement and filling may touch, over the whole arrays.
void expectSame(Maker& fast, Maker& slow, const std::string& what)
{
    const GameState& a = fast.state;
    const GameState& b = slow.state;
    for (int r = 1; r <= GameState::kMaxRows; ++r)
        for (int c = 1; c <= GameState::kMaxCols; ++c)
            ASSERT_TRUE(a.CellLetter(c, r) == b.CellLetter(c, r) && a.CellMark(c, r) == b.CellMark(c, r)
                        && a.CellLit(c, r) == b.CellLit(c, r))
                << what << ": cell " << c << ", " << r << " '" << a.CellLetter(c, r) << "' against '"
                << b.CellLetter(c, r) << "'";
    for (int i = 0; i < GameState::kMaxWords; ++i)
        ASSERT_TRUE(a.WordCol(i) == b.WordCol(i) && a.WordRow(i) == b.WordRow(i) && a.WordDX(i) == b.WordDX(i)
                    && a.WordDY(i) == b.WordDY(i))
            << what << ": word " << i;
    ASSERT_EQ(fast.clock.readings, slow.clock.readings) << what;
}

// Makes the puzzle both ways and compares; returns the reference's attempts.
int makeBoth(Maker& fast, Maker& slow, const Puzzle& p, const std::string& what)
{
    load(fast.state, p);
    load(slow.state, p);
    int attempts = 0;
    const bool placedFast = PlaceWords(fast.state, fast.random);
    const bool placedSlow = reference::PlaceWords(slow.state, slow.random, &attempts);
    EXPECT_EQ(placedFast, placedSlow) << what;
    expectSame(fast, slow, what + " placed");
    if (placedFast) {
        fillGridLetters(fast.state, fast.random);
        reference::FillLetters(slow.state, slow.random);
        expectSame(fast, slow, what + " filled");
    }
    EXPECT_EQ(fast.random.next(), slow.random.next()) << what;
    return attempts;
}

std::string randomWord(std::mt19937& gen, int length, const std::string& alphabet)
{
    std::string w;
    for (int k = 0; k < length; ++k)
        w += alphabet[gen() % alphabet.size()];
    return w;
}

}  // namespace

TEST(PlacementEquivalence, TheTightSearchMakesTheSamePuzzlesWithTheSameDrawsAsTheFirstVersion)
{
    // Small alphabets force crossings (and refusals); the full one with the
    // letters fillers never use mostly avoids them.
    const std::string alphabets[] = {"AB", "ABC", "AEIO", "ABCDEFGHILMNOPQRSTUVZ", "ABCDEFGHIJKLMNOPQRSTUVWXYZ"};
    int puzzles = 0;
    int restarts = 0;
    for (int seed = 0; seed < 240; ++seed) {
        std::mt19937 gen(static_cast<unsigned>(seed));
        const std::string& alphabet = alphabets[seed % 5];
        // A whole game, rounds 1 to 12 on the same record, so the cells
        // outside a smaller grid keep what larger ones left there.
        Maker fast(seed * 1234.567), slow(seed * 1234.567);
        GameState tables;
        fillConstantTables(tables);
        for (int round = 1; round <= 12; ++round) {
            const int k = roundTableIndex(round);
            Puzzle p{tables.RoundCols(k), tables.RoundRows(k), {}};
            for (int i = 0; i <= tables.RoundWords(k); ++i)
                p.words.push_back(randomWord(gen, wordLengthForSlot(i), alphabet));
            restarts += makeBoth(fast, slow, p, "seed " + std::to_string(seed) + " round " + std::to_string(round)) - 1;
            ++puzzles;
            if (HasFatalFailure())
                return;
        }
    }

    // Shapes that often start again: long words from two or three letters
    // in narrow grids, and odd shapes (one row, one column, the full arrays).
    for (int seed = 0; seed < 1200; ++seed) {
        std::mt19937 gen(static_cast<unsigned>(seed) + 7777);
        Puzzle p{};
        switch (seed % 6) {
        case 0: p = {7, 6, {}}; for (int i = 0; i < 8; ++i) p.words.push_back(randomWord(gen, 5 + i % 2, "AB")); break;
        case 1: p = {6, 6, {}}; for (int i = 0; i < 8; ++i) p.words.push_back(randomWord(gen, 5, "ABCD")); break;
        case 2: p = {5, 9, {}}; for (int i = 0; i < 6; ++i) p.words.push_back(randomWord(gen, 4 + i % 5, "AB")); break;
        case 3: p = {12, 1, {}}; for (int i = 0; i < 3; ++i) p.words.push_back(randomWord(gen, 3 + i, "AB")); break;
        case 4: p = {30, 25, {}}; for (int i = 0; i < 20; ++i) p.words.push_back(randomWord(gen, 5 + i, "ABC")); break;
        default: p = {12, 9, {}}; for (int i = 0; i < 14; ++i) p.words.push_back(randomWord(gen, 6 + i % 4, "ABCDE")); break;
        }
        Maker fast(seed * 0.37), slow(seed * 0.37);
        restarts += makeBoth(fast, slow, p, "shape " + std::to_string(seed % 6) + " seed " + std::to_string(seed)) - 1;
        ++puzzles;
        if (HasFatalFailure())
            return;
    }

    // Hopeless and refused lists: both give up after the same draws.
    for (const Puzzle& p : {Puzzle{3, 3, {"AB", "BA", "AA", "BB", "AB", "BA", "AA", "BB", "AB"}},
                            Puzzle{7, 6, {"ABCDEFG"}}, Puzzle{31, 5, {"AB"}}, Puzzle{4, 4, {"", "ABC"}}}) {
        Maker fast(5.0), slow(5.0);
        makeBoth(fast, slow, p, std::to_string(p.cols) + " x " + std::to_string(p.rows));
    }

    // The comparison only means something if the search was pushed: many
    // puzzles, and a good share of attempts thrown away and begun again.
    EXPECT_GE(puzzles, 4000);
    EXPECT_GE(restarts, 1000);

    // The draws themselves, on a clock that gives each reading a few times
    // in a row and then moves on, as the real one does between its ticks.
    const auto reading = [](int n) { return 43200.0 + (n / 3) * 0.004; };
    ClockRandom random([n = 0, &reading]() mutable { return reading(n++); });
    reference::FirstRandom first;
    for (int n = 0; n < 10000; ++n)
        ASSERT_EQ(random.draw(), first.draw(reading(n))) << "draw " << n;
}
