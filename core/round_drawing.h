// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing the game as it now stands onto the grid's surface. The rules never
// draw; the view calls these after the game reports a change, and again
// whenever the surface has to be drawn afresh (a screen of another pixel
// density, for instance). A click redraws only the cells it changed.
#pragma once

#include "core/game.h"
#include "core/platform.h"

namespace vortigo {

/// The whole surface: white before the first game, light grey once play has
/// begun, and on it the round's background, red frame and every cell.
void drawRound(Surface& surface, const Game& game);

/// One cell as it looks now: a painted cell is a filled square inside its
/// outline with its letter centred on the exact half; an unpainted one is
/// drawn as the grid filling drew it.
void drawCell(Surface& surface, const Game& game, Cell cell);

}  // namespace vortigo
