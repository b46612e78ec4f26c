// SPDX-License-Identifier: GPL-3.0-or-later
// What the time-left label shows on each tick.
#pragma once

#include <optional>
#include <string>

namespace vortigo {

struct LabelColours {
    int text;
    int back;
    friend bool operator==(LabelColours, LabelColours) = default;
};

struct CountdownView {
    std::string caption;                 ///< "Sec.45" under a minute, else "Min.2 - Sec.5"
    std::optional<LabelColours> colours; ///< set only in the last 20 seconds (the blink)
    bool timeUp;                         ///< left below 1: ask whether to play again
};

/// Seconds left in a round: cells + level bonus - elapsed, in 16-bit arithmetic.
int secondsLeft(int gridCols, int gridRows, int elapsedSeconds, int levelTimeBonus);

/// The label for a number of seconds left. Minutes and seconds truncate
/// toward zero, so the remainder keeps the sign of a negative value.
CountdownView countdownView(int left);

}  // namespace vortigo
