// SPDX-License-Identifier: GPL-3.0-or-later
#include "selection.h"

#include "number_rules.h"
#include "text_codec.h"

namespace vortigo {

std::optional<Cell> cellFromPointer(const GameState& s, double x, double y)
{
    if (s.CellSize <= 0 || x < s.MarginX || y < s.MarginY)
        return std::nullopt;
    const double dx = roundEven(x - s.MarginX);
    const double dy = roundEven(y - s.MarginY);
    if (dx > 1e6 || dy > 1e6)
        return std::nullopt;
    const Cell cell{static_cast<int>(dx) / s.CellSize + 1, static_cast<int>(dy) / s.CellSize + 1};
    if (cell.col > s.GridCols || cell.row > s.GridRows)
        return std::nullopt;
    return cell;
}

bool wordComplete(const GameState& s, int i)
{
    const int length = static_cast<int>(s.WordList(i).size());
    int clicked = 0;
    for (int k = 1; k <= length; ++k) {
        const Cell c = letterCell(s, i, k);
        if (s.CellMark(c.col, c.row) != 2)
            break;
        ++clicked;
    }
    return clicked == length;
}

int wordBonus(const GameState& s, int i)
{
    int remaining = s.GridRows * s.GridCols - s.ElapsedSeconds;
    if (remaining < 1)
        remaining = 1;
    return remaining * static_cast<int>(s.WordList(i).size());
}

void PaintCell(Surface& surface, const GameState& s, Cell cell, int fillColour, int textColour)
{
    const double left = (cell.col - 1) * s.CellSize + s.MarginX;
    const double top = (cell.row - 1) * s.CellSize + s.MarginY;
    surface.fillRect(left + 2, top + 2, left + s.CellSize - 2, top + s.CellSize - 2, fillColour);
    const std::string text = latin1ToUtf8(std::string(1, s.CellLetter(cell.col, cell.row)));
    surface.drawText(s.CellSize / 2.0 + left - surface.textWidth(text) / 2.0,
                     s.CellSize / 2.0 + top - surface.textHeight(text) / 2.0, text, textColour);
}

}  // namespace vortigo
