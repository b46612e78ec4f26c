// SPDX-License-Identifier: GPL-3.0-or-later
// Placing the words, then the layout, filling and click arithmetic of the grid.
#include "core/game_state.h"
#include "core/grid_filling.h"
#include "core/grid_layout.h"
#include "core/palette.h"
#include "core/selection.h"
#include "core/word_placement.h"
#include "tests/support/fake_surface.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

using namespace vortigo;
using vortigo::test::FakeSurface;

namespace {

// The filler letters: the alphabet without J, K, W, X and Y.
constexpr std::string_view kFillers = "ABCDEFGHILMNOPQRSTUVZ";

GameState stateWithWords(int cols, int rows, const std::vector<std::string>& words = {})
{
    GameState s;
    fillConstantTables(s);
    s.GridCols = static_cast<i16>(cols);
    s.GridRows = static_cast<i16>(rows);
    s.LastWordIndex = static_cast<i16>(static_cast<int>(words.size()) - 1);
    for (std::size_t i = 0; i < words.size(); ++i)
        s.WordList(static_cast<int>(i)) = words[i];
    return s;
}

// Every word reads correctly at its recorded cells, all inside the grid, and
// the base cell lies inside the grid too.
void expectWordsReadable(const GameState& s)
{
    const auto inside = [&s](int col, int row) { return col >= 1 && col <= s.GridCols && row >= 1 && row <= s.GridRows; };
    for (int i = 0; i <= s.LastWordIndex; ++i) {
        const std::string& w = s.WordList(i);
        ASSERT_TRUE(inside(s.WordCol(i), s.WordRow(i))) << "word " << w << " base " << s.WordCol(i) << ", " << s.WordRow(i);
        EXPECT_TRUE(s.WordDX(i) != 0 || s.WordDY(i) != 0);
        for (int k = 1; k <= static_cast<int>(w.size()); ++k) {
            const Cell c = letterCell(s, i, k);
            ASSERT_TRUE(inside(c.col, c.row)) << "word " << w << " letter " << k;
            EXPECT_EQ(s.CellLetter(c.col, c.row), w[static_cast<std::size_t>(k - 1)]) << "word " << w << " letter " << k;
        }
    }
}

}  // namespace

TEST(PlaceWords, EveryWordReadsAtItsCells)
{
    // Many seeds, many shapes: the letters written by later words never
    // contradict earlier ones, because every word still reads correctly.
    std::set<std::pair<int, int>> directions, reachedAcross, reachedDown;
    for (int seed = 0; seed < 200; ++seed) {
        GameState s = stateWithWords(18, 14,
            {"CASTELLO", "PORTA", "MARE", "ALBERO", "ZUCCHERO", "LIBRO", "GIARDINO", "FINESTRA", "STRADA",
             "CAVALLO", "ARANCIA", "TAVOLO", "LIMONE", "FIUME", "PONTE", "MONTAGNA", "SORRISO", "CAMPANA",
             "VENTO", "FORESTA"});
        ClockRandom random([seed] { return seed * 1.5; });
        ASSERT_TRUE(PlaceWords(s, random));
        expectWordsReadable(s);
        for (int i = 0; i <= s.LastWordIndex; ++i) {
            const Cell last = letterCell(s, i, static_cast<int>(s.WordList(i).size()));
            const std::pair step(s.WordDX(i), s.WordDY(i));
            directions.insert(step);
            if ((step.first == 1 && last.col == 18) || (step.first == -1 && last.col == 1))
                reachedAcross.insert(step);
            if ((step.second == 1 && last.row == 14) || (step.second == -1 && last.row == 1))
                reachedDown.insert(step);
        }
    }
    // All eight directions are used, and a word in each of them can run right
    // up to the border it is heading for.
    const std::set<std::pair<int, int>> eight = {{0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}};
    EXPECT_EQ(directions, eight);
    for (const auto& [dx, dy] : eight) {
        EXPECT_TRUE(dx == 0 || reachedAcross.count({dx, dy})) << dx << ", " << dy;
        EXPECT_TRUE(dy == 0 || reachedDown.count({dx, dy})) << dx << ", " << dy;
    }
}

TEST(PlaceWords, SixLettersInRoundOneLieAcrossFromAnEdge)
{
    int rightwards = 0;
    for (int seed = 0; seed < 100; ++seed) {
        GameState s = stateWithWords(7, 6, {"CANTO", "PESCA", "BALENA", "FINORE"});
        ClockRandom random([seed] { return 1000.0 + seed; });
        ASSERT_TRUE(PlaceWords(s, random));
        for (int i = 2; i <= 3; ++i) {
            EXPECT_EQ(std::tuple(s.WordDY(i), s.WordCol(i)), std::tuple(0, s.WordDX(i) == 1 ? 1 : 7)) << s.WordList(i);
            rightwards += s.WordDX(i) == 1;
        }
    }
    EXPECT_GT(rightwards, 0);  // both ways fit, and both are taken
    EXPECT_LT(rightwards, 200);
}

// Worked examples on the game's usual area, and cells so tiny they still get a font.
TEST(ComputeGridLayout, FitsTheWorkedExamplesAcross)
{
    struct Case { LayoutArea area; int cols, rows, cell, mx, my; double font; };
    for (const Case& c : {Case{{680, 620, 111, 49}, 7, 6, 79, 8, 98, 45.142857},
                          Case{{680, 620, 111, 49}, 18, 14, 31, 6, 118, 17.714286},
                          Case{{180, 110, 111, 49}, 18, 14, 3, 8, 58, 2.0}}) {
        GameState s = stateWithWords(c.cols, c.rows);
        FakeSurface surface;
        ComputeGridLayout(s, surface, c.area);
        EXPECT_EQ(std::tuple(s.CellSize, s.MarginX, s.MarginY), std::tuple(c.cell, c.mx, c.my));
        EXPECT_NEAR(surface.fontPoints, c.font, 1e-5);
        EXPECT_EQ(s.GridFontName, "Tahoma");
        // After the clear, a white background 2 pixels and a red frame 3 pixels beyond the outer cells.
        ASSERT_EQ(surface.ops.size(), 3u);
        const auto& bg = surface.ops[1];
        const auto& frame = surface.ops[2];
        const int right = c.mx + c.cell * c.cols, bottom = c.my + c.cell * c.rows;
        EXPECT_EQ(std::tuple(bg.colour, bg.x1, bg.y1, bg.x2, bg.y2),
                  std::tuple(kWhite, c.mx - 2, c.my - 2, right + 2, bottom + 2));
        EXPECT_EQ(frame.kind, FakeSurface::Op::Outline);
        EXPECT_EQ(std::tuple(frame.colour, frame.x1, frame.y1, frame.x2, frame.y2),
                  std::tuple(kRed, c.mx - 3, c.my - 3, right + 3, bottom + 3));
    }
    GameState tiny = stateWithWords(18, 14);
    layOutGrid(tiny, {50, 50, 111, 49});
    EXPECT_EQ(tiny.CellSize, 1);  // never 0, however small the window
}

// On a screen wider than the grid needs, the height decides the cell: the
// grid's frame then stays below the strip and inside the window, and fills
// the height between.
TEST(ComputeGridLayout, FitsTheHeightOfAWideWindow)
{
    GameState wide = stateWithWords(18, 14);
    layOutGrid(wide, {1920, 1000, 200, 60});
    EXPECT_EQ(std::tuple(wide.CellSize, wide.MarginX, wide.MarginY), std::tuple(66, 266, 68));
    for (int height = 200; height <= 1400; height += 7)
        for (const auto& [cols, rows] : {std::pair{7, 6}, {18, 14}}) {
            GameState s = stateWithWords(cols, rows);
            layOutGrid(s, {3000, height, 150, 45});
            EXPECT_GE(s.MarginY - 3, 45) << height;
            EXPECT_LE(s.MarginY + rows * s.CellSize + 3, height) << height;
            EXPECT_GE(rows * (s.CellSize + 1), height - 45 - 18) << height;
        }
}

TEST(FillGrid, MarksWordsAndDrawsFillersFromTheAlphabet)
{
    for (const char* name : {"Zunda", "Zunda     "}) {
        ClockRandom random([] { return 12.0; });
        GameState s = stateWithWords(7, 6, {"JOKER", "PESCA", "BALENA", "WAXY" "ZZ"});  // J, K, W, X and Y are never fillers
        ASSERT_TRUE(PlaceWords(s, random));
        s.CellSize = 79;
        s.MarginX = 8;
        s.MarginY = 98;
        s.CellLit(3, 3) = kTrue;
        FakeSurface surface;
        FillGrid(s, surface, random, name);

        bool onWord[31][26] = {};
        for (int i = 0; i <= s.LastWordIndex; ++i)
            for (int k = 1; k <= static_cast<int>(s.WordList(i).size()); ++k)
                onWord[letterCell(s, i, k).col][letterCell(s, i, k).row] = true;
        int wordCells = 0;
        for (int r = 1; r <= 6; ++r)
            for (int c = 1; c <= 7; ++c) {
                wordCells += onWord[c][r];
                EXPECT_EQ(s.CellMark(c, r), onWord[c][r] ? 1 : 0);
                EXPECT_EQ(s.CellLit(c, r), kFalse);
                EXPECT_TRUE(onWord[c][r] || kFillers.find(s.CellLetter(c, r)) != std::string_view::npos)
                    << int{s.CellLetter(c, r)};
            }
        const auto texts = surface.textOps();
        ASSERT_EQ(texts.size(), 42u);
        int green = 0;
        for (const auto& t : texts) {
            green += t.colour == kGreen;
            EXPECT_TRUE(t.colour == kGreen || t.colour == kBlack);
        }
        EXPECT_EQ(green, std::strlen(name) == 10 ? wordCells : 0) << '"' << name << '"';
        // Outlines sit 1 pixel inside each cell: cell (1, 1) from (9, 99) to (86, 176).
        const auto& o = surface.ops[0];
        EXPECT_EQ(std::tuple(o.kind, o.x1, o.y1, o.x2, o.y2), std::tuple(FakeSurface::Op::Outline, 9, 99, 86, 176));
        EXPECT_TRUE(surface.fontBold);
    }

    // A letter is centred on its cell with rounded half extents; here it is 6 x 12.
    FakeSurface surface;
    surface.setFont("Tahoma", 10, true);
    drawCentredLetter(surface, 45, 100, 200, 'A', kBlack);
    EXPECT_EQ(std::pair(surface.textOps().at(0).x1, surface.textOps().at(0).y1), std::pair(22.5 + 100 - 3, 22.5 + 200 - 6));
}

TEST(CellFromPointer, RoundsTheOffsetBeforeDividing)
{
    GameState s = stateWithWords(7, 6);
    s.CellSize = 20;
    s.MarginX = 10;
    s.MarginY = 50;
    EXPECT_EQ(cellFromPointer(s, 10 + 19.5, 50), (Cell{2, 1}));
    EXPECT_EQ(cellFromPointer(s, 10 + 18.5, 50), (Cell{1, 1}));
    EXPECT_EQ(cellFromPointer(s, 10 + 139, 50 + 119), (Cell{7, 6}));
    EXPECT_EQ(cellFromPointer(s, 10, 60), (Cell{1, 1}));  // exactly on the left edge
    for (const auto& [x, y] : {std::pair{9.9, 60.0}, {10 + 140.0, 60.0}, {20.0, 50 + 120.0}, {1e30, 60.0}})
        EXPECT_FALSE(cellFromPointer(s, x, y)) << x << ", " << y;
}

TEST(WordBonus, ShrinksWithTimeDownToTheWordLength)
{
    GameState s = stateWithWords(7, 6, {"PESCA"});
    for (const auto& [elapsed, bonus] : {std::pair{13, (42 - 13) * 5}, {42, 5}, {400, 5}}) {
        s.ElapsedSeconds = static_cast<i16>(elapsed);
        EXPECT_EQ(wordBonus(s, 0), bonus) << elapsed;
    }
}
