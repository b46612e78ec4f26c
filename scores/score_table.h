// SPDX-License-Identifier: GPL-3.0-or-later
// The table of the 50 best results and its file, "vortigo.HIS".
//
// The table lives in 52 slots, 1 to 52: slots 1 to 50 are the table proper,
// best first; slot 51 takes the result just ended before ranking; slot 52 is a
// spare that only a file with more than 51 records fills. After ranking,
// slots 51 and 52 are neither shown nor written, so the table never grows
// past 50 rows.
//
// Names are single-byte Latin-1, as the file holds them; the list rows and the
// best player's caption are handed out as UTF-8 for the window.
#pragma once

#include "core/file_writing.h"
#include "core/game_state.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vortigo {

inline constexpr char kScoreFileName[] = "vortigo.HIS";
inline constexpr char kScoreListHeader[] = "N. - Nome         Punti";
inline constexpr int kScoreRows = 50;
inline constexpr int kScoreSlots = 52;
/// Columns of the name in a list row: longer names are cut, shorter padded.
inline constexpr std::size_t kScoreNameColumns = 12;
/// 52 records never need this much; a larger file is read only this far.
inline constexpr std::size_t kMaxScoreFileBytes = std::size_t{1} << 20;

struct ScoreTable {
    BoundedArray<std::string, 1, kScoreSlots> TableNames;  ///< Latin-1; empty in an empty slot
    BoundedArray<i32, 1, kScoreSlots> TablePoints;         ///< 0 in an empty slot
};

/// Reads records from the text of a score file into slots 1, 2, ... in order,
/// stopping at the end of the text or after slot 52. A record is two fields,
/// the name and the points; a field ends at a comma or at the end of a line
/// (CR LF, or a bare LF or CR). Blanks around a field are dropped; a field
/// that begins with a double quote runs to the closing quote (or the end of
/// its line). The points are a decimal integer, read as far as it goes, and
/// 0 when the field holds none. Returns how many records were read; slots
/// not reached are left as they were.
int readScoreRecords(std::string_view text, ScoreTable& table);

/// Reads the file at `file` (at most kMaxScoreFileBytes of it) as above.
/// A missing or unreadable file gives no records.
int readScoreFile(const std::filesystem::path& file, ScoreTable& table);

/// Ranks slots 1 to 52 by points, highest first, with a narrowing bubble
/// sort that swaps only strictly smaller points upwards: equal points keep
/// their order, so a newcomer lands below the older results it equals.
void rankScoreTable(ScoreTable& table);

/// The whole file as the game writes it: 50 lines, CR LF each, for rows 1
/// to 50 in order, "Brivo, 1234 " ("Name,-5 " for a negative entry).
std::string scoreFileText(const ScoreTable& table);

/// Replaces the file at `file` with scoreFileText(table), all or nothing
/// (see replaceFile); says why when it could not.
WriteOutcome writeScoreFile(const std::filesystem::path& file, const ScoreTable& table);

/// One list row, UTF-8: "#00 - " rank, the name cut or padded to 12
/// characters, then the points as " 00,000" with the locale separator.
std::string scoreRowText(int row, const std::string& latin1Name, i32 points, const std::string& separator);

/// The last row, 1 to 50, holding exactly this name with exactly these
/// points; 0 when none does.
int findPlayerRow(const ScoreTable& table, const std::string& latin1Name, i32 score);

/// True for the rows whose result may be published on the record server.
constexpr bool mayPublishRecord(int playerRow)
{
    return playerRow >= 1 && playerRow <= 3;
}

/// What building the table gives the window.
struct ScoreTableView {
    std::vector<std::string> listRows;  ///< UTF-8; index 0 the header, 1 to 50 the rows
    std::string bestName;               ///< UTF-8 name of row 1, Label1's caption
    int PlayerRow = 0;                  ///< see findPlayerRow
    bool publishingEnabled = false;     ///< PlayerRow is 1, 2 or 3
    bool fileWritten = false;           ///< a result was recorded and the file replaced
    WriteOutcome write;                 ///< how replacing the file went; ok when not attempted
};

/// What the player is told when a recorded result could not be saved; on the
/// way out (the program ends) it does not say that the game goes on.
std::string scoreWriteFailedMessage(const WriteOutcome& outcome, bool gameGoesOn = true);

/// What building the table needs to know of the game.
struct ScoreTableRequest {
    std::filesystem::path folder;  ///< the folder of vortigo.HIS
    std::string playerName;        ///< Latin-1, the main window's name box
    i32 Score = 0;
    bool recordNewScore = false;   ///< insert Score for playerName, rank and rewrite the file
    std::string separator;         ///< the locale's thousands separator, UTF-8
    std::filesystem::path readFolder{};  ///< where it is read instead, when not empty; written to folder
};

/// Starting from empty slots: reads the file, inserts and ranks the result
/// when asked to, writes the file back in that case, and lays out the list.
/// `table` holds the slots afterwards. When a result is recorded, the table's
/// lock (FileLock) is held from the reading to the replacement, so two
/// copies of the game that end a game at the same moment keep both results.
ScoreTableView buildScoreTable(const ScoreTableRequest& request, ScoreTable& table);

}  // namespace vortigo
