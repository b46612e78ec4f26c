// SPDX-License-Identifier: GPL-3.0-or-later
#include "countdown.h"

#include "palette.h"

#include <cstdint>

namespace vortigo {

int secondsLeft(int gridCols, int gridRows, int elapsedSeconds, int levelTimeBonus)
{
    return static_cast<std::int16_t>(gridRows * gridCols - elapsedSeconds + levelTimeBonus);
}

CountdownView countdownView(int left)
{
    const int sec = left % 60;
    const int min = left / 60;
    CountdownView view{{}, std::nullopt, left < 1};
    if (left < 60) {
        view.caption = "Sec." + std::to_string(sec);
        // The label swaps its two colours every second.
        if (left < 20)
            view.colours = left % 2 == 0 ? LabelColours{kYellow, kBlue} : LabelColours{kBlue, kYellow};
    } else {
        view.caption = "Min." + std::to_string(min) + " - Sec." + std::to_string(sec);
    }
    return view;
}

}  // namespace vortigo
