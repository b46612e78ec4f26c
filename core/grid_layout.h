// SPDX-License-Identifier: GPL-3.0-or-later
// Fitting the round's grid into the free area of the main window.
#pragma once

#include "game_state.h"
#include "platform.h"

namespace vortigo {

/// The free area: the window's inner size, the word-list frame's width on the
/// right and the status strip's height at the top, all in pixels.
struct LayoutArea {
    int width;
    int height;
    int frameWidth;
    int stripHeight;
};

/// Chooses CellSize (the smaller of the width and height fits), centres the
/// grid in the free area (MarginX, MarginY), sets the grid font and paints the
/// white background and red frame after clearing the surface.
void ComputeGridLayout(GameState& state, Surface& surface, const LayoutArea& area);

/// The arithmetic part of ComputeGridLayout: CellSize, MarginX, MarginY and
/// the grid's font name, nothing drawn.
void layOutGrid(GameState& state, const LayoutArea& area);

/// The drawing part: the white background 2 pixels and the red frame 3
/// pixels beyond the outer cells.
void drawGridFrame(const GameState& state, Surface& surface);

}  // namespace vortigo
