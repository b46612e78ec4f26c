// SPDX-License-Identifier: GPL-3.0-or-later
// The arithmetic of a click on the grid.
#pragma once

#include "game_state.h"
#include "platform.h"
#include "word_placement.h"

#include <optional>

namespace vortigo {

/// The cell under a press at (x, y) in client pixels, or nothing when the
/// press is beside the grid. The offset from the grid's edge is rounded (ties
/// to even) before the integer division, so with 20-pixel cells 19.5 is
/// already column 2 while 18.5 is still column 1.
std::optional<Cell> cellFromPointer(const GameState& state, double x, double y);

/// True when every letter of word i has been clicked, counting from the
/// first letter and stopping at the first one that has not.
bool wordComplete(const GameState& state, int word);

/// Time bonus for completing word i: (cells - elapsed seconds), at least 1,
/// times the word's length.
int wordBonus(const GameState& state, int word);

/// Repaints one cell: a filled square inside the outline and its letter centred.
void PaintCell(Surface& surface, const GameState& state, Cell cell, int fillColour, int textColour);

}  // namespace vortigo
