// SPDX-License-Identifier: GPL-3.0-or-later
#include "round_drawing.h"

#include "core/grid_filling.h"
#include "core/grid_layout.h"
#include "core/palette.h"
#include "core/selection.h"

namespace vortigo {

namespace {

struct PaintColours {
    int fill;
    int text;
};

PaintColours coloursOf(CellPaint look)
{
    switch (look) {
    case CellPaint::White:
        return {kWhite, kBlack};
    case CellPaint::Yellow:
        return {kYellow, kBlue};
    case CellPaint::Red:
    case CellPaint::AsFilled:
        break;
    }
    return {kRed, kWhite};
}

void paintOver(Surface& surface, const Game& game, Cell cell)
{
    const CellPaint look = game.cellPaint(cell);
    if (look == CellPaint::AsFilled)
        return;
    const PaintColours colours = coloursOf(look);
    PaintCell(surface, game.state(), cell, colours.fill, colours.text);
}

}  // namespace

void drawRound(Surface& surface, const Game& game)
{
    surface.setBackColour(game.playing() ? kLightGrey : kWhite);
    surface.clear();
    if (!game.gridShown())
        return;
    // drawGrid may name the default font in the record; a copy keeps the game's own untouched.
    GameState s = game.state();
    drawGridFrame(s, surface);
    drawGrid(s, surface, game.showWords() ? kShowWordsName : "");
    for (int r = 1; r <= s.GridRows; ++r)
        for (int c = 1; c <= s.GridCols; ++c)
            paintOver(surface, game, {c, r});
}

void drawCell(Surface& surface, const Game& game, Cell cell)
{
    const GameState& s = game.state();
    surface.setFont(s.GridFontName, gridFontSize(s.CellSize), true);
    if (game.cellPaint(cell) == CellPaint::AsFilled) {
        const double x0 = (cell.col - 1) * s.CellSize + s.MarginX;
        const double y0 = (cell.row - 1) * s.CellSize + s.MarginY;
        surface.fillRect(x0, y0, x0 + s.CellSize - 1, y0 + s.CellSize - 1, kWhite);
        surface.outlineRect(x0 + 1, y0 + 1, x0 + s.CellSize - 1, y0 + s.CellSize - 1, kBlack);
        drawCentredLetter(surface, s.CellSize, x0, y0, s.CellLetter(cell.col, cell.row),
                          game.showWords() && s.CellMark(cell.col, cell.row) != 0 ? kGreen : kBlack);
        return;
    }
    paintOver(surface, game, cell);
}

}  // namespace vortigo
