// SPDX-License-Identifier: GPL-3.0-or-later
#include "game_state.h"

#include "number_rules.h"

namespace vortigo {

void fillConstantTables(GameState& s)
{
    constexpr i16 dx[8] = {0, 1, 1, 1, 0, -1, -1, -1};
    constexpr i16 dy[8] = {-1, -1, 0, 1, 1, 1, 0, -1};
    for (int d = 1; d <= 8; ++d) {
        s.DirDX(d) = dx[d - 1];
        s.DirDY(d) = dy[d - 1];
    }
    constexpr i16 cols[10] = {7, 8, 9, 10, 12, 12, 14, 15, 17, 18};
    constexpr i16 rows[10] = {6, 7, 8, 8, 9, 10, 11, 12, 13, 14};
    constexpr i16 errors[10] = {2, 2, 2, 2, 2, 2, 3, 3, 3, 3};
    constexpr i16 words[10] = {3, 5, 7, 9, 11, 12, 14, 15, 17, 19};
    for (int k = 1; k <= 10; ++k) {
        s.RoundCols(k) = cols[k - 1];
        s.RoundRows(k) = rows[k - 1];
        s.RoundErrors(k) = errors[k - 1];
        s.RoundWords(k) = words[k - 1];
    }
}

int roundTableIndex(int round)
{
    return round > GameState::kRoundTableSize ? GameState::kRoundTableSize : round;
}

int wordLengthForSlot(int slot)
{
    return static_cast<int>(floorToInt((slot + 22) / 4.0));
}

}  // namespace vortigo
