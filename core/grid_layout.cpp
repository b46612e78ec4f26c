// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid_layout.h"

#include "grid_filling.h"
#include "number_rules.h"
#include "palette.h"

namespace vortigo {

namespace {

i16 toI16Clamped(double value)
{
    if (value > 32767)
        return 32767;
    if (value < -32768)
        return -32768;
    return static_cast<i16>(value);
}

}  // namespace

void ComputeGridLayout(GameState& s, Surface& surface, const LayoutArea& a)
{
    surface.clear();
    layOutGrid(s, a);
    surface.setFont(s.GridFontName, gridFontSize(s.CellSize), true);
    drawGridFrame(s, surface);
}

void layOutGrid(GameState& s, const LayoutArea& a)
{
    s.MarginX = 6;
    s.MarginY = 6;
    const double cw = roundEven((a.width - 2.0 * s.MarginX - 4 - a.frameWidth) / s.GridCols);
    const double ch = roundEven((a.height - a.stripHeight - 2 - 2.0 * s.MarginY - 4) / s.GridRows);
    // A window too small for any grid still gets 1-pixel cells rather than a
    // zero that the click mapping would divide by.
    s.CellSize = toI16Clamped(cw < ch ? cw : ch);
    if (s.CellSize < 1)
        s.CellSize = 1;
    if (s.GridFontName.empty())
        s.GridFontName = "Tahoma";
    s.MarginX = toI16Clamped(roundEven((a.width - a.frameWidth - 1.0 * s.CellSize * s.GridCols) / 2.0));
    s.MarginY = toI16Clamped(roundEven((a.height - 1.0 * s.CellSize * s.GridRows) / 2.0 + a.stripHeight / 2.0));
}

void drawGridFrame(const GameState& s, Surface& surface)
{
    const double right = s.MarginX + s.CellSize * s.GridCols;
    const double bottom = s.MarginY + s.CellSize * s.GridRows;
    surface.fillRect(s.MarginX - 2, s.MarginY - 2, right + 2, bottom + 2, kWhite);
    surface.outlineRect(s.MarginX - 3, s.MarginY - 3, right + 3, bottom + 3, kRed);
}

}  // namespace vortigo
