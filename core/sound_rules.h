// SPDX-License-Identifier: GPL-3.0-or-later
// The game's sounds: asynchronous, then a short pause whose length depends
// only on the file name (its length / 20 seconds), except for the letter click.
#pragma once

#include "platform.h"

#include <string>

namespace vortigo {

/// Seconds to pause after starting a sound: 0 for "SND0002.WAV" in any case,
/// otherwise the name's length divided by 20.
double soundPauseSeconds(const std::string& fileName);

/// Plays the sound when sound is on, then pauses the interface thread.
void PlaySound(Platform& platform, bool soundOn, const std::string& fileName);

}  // namespace vortigo
