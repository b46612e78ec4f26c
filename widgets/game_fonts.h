// SPDX-License-Identifier: GPL-3.0-or-later
// The game is drawn in Tahoma and its score list in Courier New. Neither is
// free; Debian ships look-alikes (Wine's Tahoma, Liberation Mono as Courier
// New's metric twin), registered here so the game looks the same everywhere.
#pragma once

#include <QString>

namespace vortigo {

/// Registers the bundled look-alikes once; harmless when they are missing.
void registerGameFonts();

/// The fixed-pitch family for the score list: Courier New if present, else its twin.
QString fixedPitchFamily();

}  // namespace vortigo
