// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader finds in the grid: a table of rows and columns whose
// cells give their letter and say whether they are selected (a letter picked
// and showing red) or part of a found word. Everything is read from the game
// object at the moment it is asked, so it always matches what is drawn.
#pragma once

#include <QString>

namespace vortigo {

class GridArea;
struct Cell;

/// Makes the grid's table known to Qt's accessibility; called once.
void installGridAccessibility();

/// A new grid (or none): the table's cells are made afresh.
void gridRebuilt(GridArea* grid);

/// One cell's look has changed (selected, found).
void gridCellChanged(GridArea* grid, Cell cell);

/// The focus ring moved while the grid has the focus.
void gridFocusMoved(GridArea* grid);

}  // namespace vortigo
