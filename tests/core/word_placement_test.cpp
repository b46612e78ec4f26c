#include "core/game_state.h"
#include "core/word_placement.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vortigo;

namespace {

GameState stateWithWords(int cols, int rows, const std::vector<std::string>& words)
{
    GameState s;
    fillConstantTables(s);
    s.GridCols = static_cast<i16>(cols);
    s.GridRows = static_cast<i16>(rows);
    s.LastWordIndex = static_cast<i16>(words.size() - 1);
    for (std::size_t i = 0; i < words.size(); ++i)
        s.WordList(static_cast<int>(i)) = words[i];
    return s;
}

// Every word reads correctly at its recorded cells, inside the grid, and the
// base cell lies inside the grid too.
void expectWordsReadable(const GameState& s)
{
    for (int i = 0; i <= s.LastWordIndex; ++i) {
        const std::string& w = s.WordList(i);
        ASSERT_NE(s.WordCol(i), 0) << "word " << i << " not placed";
        EXPECT_GE(s.WordCol(i), 1);
        EXPECT_LE(s.WordCol(i), s.GridCols);
        EXPECT_GE(s.WordRow(i), 1);
        EXPECT_LE(s.WordRow(i), s.GridRows);
        EXPECT_TRUE(s.WordDX(i) != 0 || s.WordDY(i) != 0);
        for (int k = 1; k <= static_cast<int>(w.size()); ++k) {
            const Cell c = letterCell(s, i, k);
            ASSERT_GE(c.col, 1);
            ASSERT_LE(c.col, s.GridCols);
            ASSERT_GE(c.row, 1);
            ASSERT_LE(c.row, s.GridRows);
            EXPECT_EQ(s.CellLetter(c.col, c.row), w[static_cast<std::size_t>(k - 1)]) << "word " << w << " letter " << k;
        }
    }
}

}  // namespace

TEST(PositionToCell, CountsRowByRowOnASevenColumnGrid)
{
    EXPECT_EQ(positionToCell(1, 7), (Cell{1, 1}));
    EXPECT_EQ(positionToCell(7, 7), (Cell{7, 1}));
    EXPECT_EQ(positionToCell(8, 7), (Cell{1, 2}));
    EXPECT_EQ(positionToCell(42, 7), (Cell{7, 6}));
}

TEST(PlaceWords, EveryWordReadsAtItsCellsAndCrossingsAgree)
{
    // Many seeds, many shapes: the letters written by later words never
    // contradict earlier ones, because every word still reads correctly.
    for (int seed = 0; seed < 200; ++seed) {
        GameState s = stateWithWords(18, 14,
            {"CASTELLO", "PORTA", "MARE", "ALBERO", "ZUCCHERO", "LIBRO", "GIARDINO", "FINESTRA", "STRADA",
             "CAVALLO", "ARANCIA", "TAVOLO", "LIMONE", "FIUME", "PONTE", "MONTAGNA", "SORRISO", "CAMPANA",
             "VENTO", "FORESTA"});
        ClockRandom random([seed] { return seed * 1.5; });
        ASSERT_TRUE(PlaceWords(s, random));
        expectWordsReadable(s);
    }
}

TEST(PlaceWords, SixLettersInRoundOneLieHorizontallyFromTheEdgeColumns)
{
    for (int seed = 0; seed < 100; ++seed) {
        GameState s = stateWithWords(7, 6, {"CANTO", "PESCA", "BALENA", "FINORE"});
        ClockRandom random([seed] { return 1000.0 + seed; });
        ASSERT_TRUE(PlaceWords(s, random));
        expectWordsReadable(s);
        for (int i = 2; i <= 3; ++i) {
            EXPECT_EQ(s.WordDY(i), 0);
            EXPECT_EQ(s.WordCol(i), s.WordDX(i) == 1 ? 1 : 7);
        }
    }
}

TEST(PlaceWords, AWordMadeOfLettersAlreadyInTheGridIsAccepted)
{
    // Two identical words: the second can only lie on top of the first or
    // elsewhere, and either way it must read correctly.
    GameState s = stateWithWords(7, 6, {"ABCDEF", "ABCDEF"});
    ClockRandom random([] { return 5.0; });
    ASSERT_TRUE(PlaceWords(s, random));
    expectWordsReadable(s);
}

TEST(PlaceWords, FillsTheLargestGridTheArraysAllow)
{
    std::vector<std::string> words;
    for (int i = 0; i < 20; ++i)
        words.push_back(std::string(static_cast<std::size_t>(5 + i % 20), static_cast<char>('A' + i)));
    GameState s = stateWithWords(30, 25, words);
    ClockRandom random([] { return 77.0; });
    ASSERT_TRUE(PlaceWords(s, random));
    expectWordsReadable(s);
}

TEST(PlaceWords, RefusesAWordNoDirectionCanHold)
{
    GameState s = stateWithWords(7, 6, {"ABCDEFG"});
    ClockRandom random([] { return 5.0; });
    EXPECT_FALSE(PlaceWords(s, random));
}
