// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid_filling.h"

#include "number_rules.h"
#include "palette.h"
#include "text_codec.h"

namespace vortigo {

double gridFontSize(int cellSize)
{
    const double size = cellSize * 20.0 / 35.0;
    return size < 2.0 ? 2.0 : size;
}

void drawCentredLetter(Surface& surface, int cellSize, double x0, double y0, char letter, int colour)
{
    const std::string text = latin1ToUtf8(std::string(1, letter));
    const double w = roundEven(surface.textWidth(text) / 2.0);
    const double h = roundEven(surface.textHeight(text) / 2.0);
    surface.drawText(cellSize / 2.0 + x0 - w, cellSize / 2.0 + y0 - h, text, colour);
}

void fillGridLetters(GameState& s, ClockRandom& random)
{
    for (int r = 1; r <= s.GridRows; ++r) {
        for (int c = 1; c <= s.GridCols; ++c) {
            // A filler is drawn for every cell, used or not.
            const int j = static_cast<int>(floorToInt(random.draw() * 21 + 1));
            s.CellLit(c, r) = kFalse;
            if (s.CellLetter(c, r) == ' ') {
                s.CellLetter(c, r) = kFillerAlphabet[j - 1];
                s.CellMark(c, r) = 0;
            } else {
                s.CellMark(c, r) = 1;
            }
        }
    }
}

void drawGrid(GameState& s, Surface& surface, const std::string& playerNameLatin1)
{
    if (s.GridFontName.empty())
        s.GridFontName = "Tahoma";
    surface.setFont(s.GridFontName, gridFontSize(s.CellSize), true);
    const bool showWords = playerNameLatin1 == kShowWordsName;
    for (int r = 1; r <= s.GridRows; ++r) {
        for (int c = 1; c <= s.GridCols; ++c) {
            const int textColour = showWords && s.CellMark(c, r) != 0 ? kGreen : kBlack;
            const double x0 = (c - 1) * s.CellSize + s.MarginX;
            const double y0 = (r - 1) * s.CellSize + s.MarginY;
            surface.outlineRect(x0 + 1, y0 + 1, x0 + s.CellSize - 1, y0 + s.CellSize - 1, kBlack);
            drawCentredLetter(surface, s.CellSize, x0, y0, s.CellLetter(c, r), textColour);
        }
    }
}

void FillGrid(GameState& s, Surface& surface, ClockRandom& random, const std::string& playerNameLatin1)
{
    fillGridLetters(s, random);
    drawGrid(s, surface, playerNameLatin1);
}

}  // namespace vortigo
