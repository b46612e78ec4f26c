// SPDX-License-Identifier: GPL-3.0-or-later
// Hiding the round's words in the grid.
#pragma once

#include "clock_random.h"
#include "game_state.h"

namespace vortigo {

struct Cell {
    int col;
    int row;
    friend bool operator==(Cell, Cell) = default;
};

/// Linear cell number p (1..cols*rows, row by row) to (column, row).
Cell positionToCell(int p, int cols);

/// Cell of letter k (from 1) of word i, from its base cell and direction.
Cell letterCell(const GameState& state, int word, int k);

/// Places WordList(LastWordIndex) down to WordList(0) in the grid, each on a
/// straight line in one of the eight directions, crossing only on equal
/// letters. An attempt that leaves a word without a place is thrown away and
/// a whole new attempt begins. Returns false only when the geometry makes a
/// place impossible (a word longer than the grid allows in every direction),
/// or, as a safety net, after an absurd number of attempts.
bool PlaceWords(GameState& state, ClockRandom& random);

}  // namespace vortigo
