// SPDX-License-Identifier: GPL-3.0-or-later
// Giving every empty cell a filler letter and drawing the grid.
#pragma once

#include "clock_random.h"
#include "game_state.h"
#include "platform.h"

#include <string>

namespace vortigo {

/// The 21 letters fillers are drawn from: no J, K, W, X or Y.
inline constexpr char kFillerAlphabet[] = "ABCDEFGHILMNOPQRSTUVZ";

/// The player name (10 characters, Latin-1) that shows the hidden words in green.
inline constexpr char kShowWordsName[] = "Zunda     ";

/// Font size of the grid letters for a cell size: 20/35 of it, at least 2 points.
double gridFontSize(int cellSize);

/// Fills the empty cells with random fillers, marks the word cells, clears
/// the highlight toggles and draws every cell: outline and centred letter.
/// The two halves below, one after the other.
void FillGrid(GameState& state, Surface& surface, ClockRandom& random, const std::string& playerNameLatin1);

/// The letter part of FillGrid: one filler draw per cell, row by row (used
/// or not), fillers into the empty cells, CellMark 1 on word cells and 0 on
/// fillers, CellLit cleared.
void fillGridLetters(GameState& state, ClockRandom& random);

/// The drawing part of FillGrid: every cell's outline and centred letter,
/// word letters green for the show-words name, all else black.
void drawGrid(GameState& state, Surface& surface, const std::string& playerNameLatin1);

/// Draws one letter centred in a cell whose top-left corner is (x0, y0),
/// with the half extents rounded to even as the grid drawing does.
void drawCentredLetter(Surface& surface, int cellSize, double x0, double y0, char letter, int colour);

}  // namespace vortigo
