// Layout, filling and the click arithmetic of the grid.
#include "core/game_state.h"
#include "core/grid_filling.h"
#include "core/grid_layout.h"
#include "core/palette.h"
#include "core/selection.h"
#include "core/word_placement.h"
#include "tests/support/fake_surface.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace vortigo;
using vortigo::test::FakeSurface;

namespace {

GameState placedRoundOne(ClockRandom& random)
{
    GameState s;
    fillConstantTables(s);
    s.GridCols = 7;
    s.GridRows = 6;
    s.LastWordIndex = 3;
    s.WordList(0) = "JOKER";
    s.WordList(1) = "PESCA";
    s.WordList(2) = "BALENA";
    s.WordList(3) = "WAXY" "ZZ";
    EXPECT_TRUE(PlaceWords(s, random));
    return s;
}

}  // namespace

TEST(ComputeGridLayout, WorkedExamplesOnA680By620Area)
{
    struct Case {
        int cols, rows, cell, mx, my;
        double font;
    };
    for (const Case& c : {Case{7, 6, 79, 8, 98, 45.142857}, Case{18, 14, 31, 6, 118, 17.714286}}) {
        GameState s;
        s.GridCols = static_cast<i16>(c.cols);
        s.GridRows = static_cast<i16>(c.rows);
        FakeSurface surface;
        ComputeGridLayout(s, surface, {680, 620, 111, 49});
        EXPECT_EQ(s.CellSize, c.cell);
        EXPECT_EQ(s.MarginX, c.mx);
        EXPECT_EQ(s.MarginY, c.my);
        EXPECT_NEAR(surface.fontPoints, c.font, 1e-5);
        EXPECT_EQ(s.GridFontName, "Tahoma");
        ASSERT_EQ(surface.ops.size(), 3u);
        EXPECT_EQ(surface.ops[0].kind, FakeSurface::Op::Clear);
        // Background 2 pixels and frame 3 pixels beyond the outer cells.
        const auto& bg = surface.ops[1];
        EXPECT_EQ(bg.colour, kWhite);
        EXPECT_EQ(bg.x1, c.mx - 2);
        EXPECT_EQ(bg.y2, c.my + c.cell * c.rows + 2);
        const auto& frame = surface.ops[2];
        EXPECT_EQ(frame.kind, FakeSurface::Op::Outline);
        EXPECT_EQ(frame.colour, kRed);
        EXPECT_EQ(frame.x1, c.mx - 3);
        EXPECT_EQ(frame.x2, c.mx + c.cell * c.cols + 3);
    }
}

TEST(ComputeGridLayout, TinyCellsStillGetATwoPointFont)
{
    GameState s;
    s.GridCols = 18;
    s.GridRows = 14;
    FakeSurface surface;
    ComputeGridLayout(s, surface, {180, 110, 111, 49});
    EXPECT_EQ(s.CellSize, 3);
    EXPECT_EQ(surface.fontPoints, 2.0);
    EXPECT_EQ(gridFontSize(3), 2.0);
    // A window too small for any grid never yields a zero cell.
    ComputeGridLayout(s, surface, {50, 50, 111, 49});
    EXPECT_GE(s.CellSize, 1);
}

TEST(FillGrid, EveryCellGetsALetterAndMarksFollowTheWords)
{
    ClockRandom random([] { return 12.0; });
    GameState s = placedRoundOne(random);
    s.CellSize = 79;
    s.MarginX = 8;
    s.MarginY = 98;
    s.CellLit(3, 3) = kTrue;
    FakeSurface surface;
    FillGrid(s, surface, random, "Brivo");

    bool onWord[31][26] = {};
    for (int i = 0; i <= s.LastWordIndex; ++i)
        for (int k = 1; k <= static_cast<int>(s.WordList(i).size()); ++k) {
            const Cell c = letterCell(s, i, k);
            onWord[c.col][c.row] = true;
        }
    for (int r = 1; r <= 6; ++r)
        for (int c = 1; c <= 7; ++c) {
            EXPECT_EQ(s.CellMark(c, r), onWord[c][r] ? 1 : 0);
            EXPECT_EQ(s.CellLit(c, r), kFalse);
            if (!onWord[c][r]) {
                EXPECT_NE(std::strchr(kFillerAlphabet, s.CellLetter(c, r)), nullptr) << s.CellLetter(c, r);
            }
        }
    // Letters outside the filler alphabet appear only where words put them.
    const auto texts = surface.textOps();
    ASSERT_EQ(texts.size(), 42u);
    for (const auto& t : texts)
        EXPECT_EQ(t.colour, kBlack);
    // Outlines sit 1 pixel inside each cell: cell (1, 1) from (9, 99) to (86, 176).
    EXPECT_EQ(surface.ops[0].kind, FakeSurface::Op::Outline);
    EXPECT_EQ(surface.ops[0].x1, 9);
    EXPECT_EQ(surface.ops[0].y1, 99);
    EXPECT_EQ(surface.ops[0].x2, 86);
    EXPECT_EQ(surface.ops[0].y2, 176);
    EXPECT_TRUE(surface.fontBold);
}

TEST(FillGrid, TheShowWordsNameColoursWordLettersGreen)
{
    for (const char* name : {"Zunda     ", "Zunda"}) {
        ClockRandom random([] { return 3.0; });
        GameState s = placedRoundOne(random);
        s.CellSize = 40;
        FakeSurface surface;
        FillGrid(s, surface, random, name);
        int green = 0;
        for (const auto& t : surface.textOps())
            green += t.colour == kGreen;
        int wordCells = 0;
        for (int r = 1; r <= 6; ++r)
            for (int c = 1; c <= 7; ++c)
                wordCells += s.CellMark(c, r);
        EXPECT_EQ(green, std::strlen(name) == 10 ? wordCells : 0) << '"' << name << '"';
    }
}

TEST(FillGrid, LettersAreCentredWithRoundedHalfExtents)
{
    FakeSurface surface;
    surface.setFont("Tahoma", 10, true);  // a letter is 6 x 12 here
    drawCentredLetter(surface, 45, 100, 200, 'A', kBlack);
    const auto t = surface.textOps().at(0);
    EXPECT_EQ(t.x1, 22.5 + 100 - 3);
    EXPECT_EQ(t.y1, 22.5 + 200 - 6);
}

TEST(CellFromPointer, RoundsTheOffsetBeforeDividing)
{
    GameState s;
    s.GridCols = 7;
    s.GridRows = 6;
    s.CellSize = 20;
    s.MarginX = 10;
    s.MarginY = 50;
    EXPECT_EQ(cellFromPointer(s, 10, 50), (Cell{1, 1}));
    EXPECT_EQ(cellFromPointer(s, 10 + 19.5, 50), (Cell{2, 1}));
    EXPECT_EQ(cellFromPointer(s, 10 + 18.5, 50), (Cell{1, 1}));
    EXPECT_EQ(cellFromPointer(s, 10 + 139, 50 + 119), (Cell{7, 6}));
    EXPECT_FALSE(cellFromPointer(s, 9.9, 60));
    EXPECT_FALSE(cellFromPointer(s, 10 + 140, 60));
    EXPECT_FALSE(cellFromPointer(s, 20, 50 + 120));
    EXPECT_FALSE(cellFromPointer(s, 1e30, 60));
}

TEST(WordBonus, ElapsedTimeEatsTheBonusDownToTheWordLength)
{
    GameState s;
    s.GridCols = 7;
    s.GridRows = 6;
    s.WordList(0) = "PESCA";
    s.ElapsedSeconds = 13;
    EXPECT_EQ(wordBonus(s, 0), (42 - 13) * 5);
    s.ElapsedSeconds = 42;
    EXPECT_EQ(wordBonus(s, 0), 5);
    s.ElapsedSeconds = 400;
    EXPECT_EQ(wordBonus(s, 0), 5);
}
