// SPDX-License-Identifier: GPL-3.0-or-later
// The address that publishes a top-three result on the record server. The
// game never talks to the server: it opens this address in the browser and
// the server's page takes over.
#pragma once

#include "core/clock_random.h"
#include "core/game_state.h"
#include "core/platform.h"

#include <string>

namespace vortigo {

#ifndef VORTIGO_RECORD_SERVER
#error "VORTIGO_RECORD_SERVER, the record server's base address, comes from the build (scores/CMakeLists.txt)"
#endif

/// Scheme, host and page of the record server; the query follows "?". The
/// base address is a build option, so a club can point the game at its own table.
inline constexpr char kRecordServerAddress[] = VORTIGO_RECORD_SERVER "/vortigo.asp";
/// Sent in place of an empty player name.
inline constexpr char kAnonymousName[] = "Anonimo";

/// Replaces every blank, "%", "$", "&", "!" and "=" of t by "_", in t itself,
/// and returns t. Keeps the note from breaking up the query string.
std::string& cmbS(std::string& t);

/// What the player sends besides the game record. All UTF-8, as the boxes hold them.
struct RecordEntry {
    std::string playerName;  ///< the main window's name box; "Anonimo" when empty
    std::string note;        ///< the note box, sent trimmed and through cmbS
    std::string email;       ///< the e-mail box, sent as it stands
};

/// Three capitals A to Z for "Vortigo_": the generator is seeded once from
/// the clock reading, then draws three times.
std::string drawProgrammeLetters(ClockRandom& random, double secondsSinceMidnight);

/// The full address from its parts: the date as the platform gives it
/// ("mm-dd-yyyy", sent as dd-mm-yyyy) and the time ("hh:mm:ss", sent as hh:mm).
std::string recordAddress(const GameState& state, const RecordEntry& entry, const std::string& programmeLetters,
                          const std::string& dateText, const std::string& timeText);

/// The address for this moment: letters drawn from a generator seeded from the
/// platform's clock, today's date and the time now.
std::string recordAddress(const GameState& state, const RecordEntry& entry, Platform& platform, ClockRandom& random);

/// Opens the record address in the browser: "start " and the address, normal
/// window with focus. Nothing waits for it and nothing checks the outcome.
void openRecordAddress(const GameState& state, const RecordEntry& entry, Platform& platform, ClockRandom& random);

}  // namespace vortigo
