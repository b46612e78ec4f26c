// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as vortigo.HIS: reading, recording a result, ranking and writing
// the table must end well; the file written holds 50 lines, best first, with
// the result in its place, and reads back as the table that was shown.
#include "fuzz/fuzz_support.h"
#include "scores/score_table.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using namespace vortigo;

namespace {

std::string trimmed(const std::string& s)
{
    const std::size_t first = s.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::filesystem::path& folder = fuzz::scratchFolder();
    const std::filesystem::path file = folder / kScoreFileName;
    fuzz::writeBytes(file, bytes);

    ScoreTable asRead;
    const int records = readScoreRecords(bytes, asRead);
    fuzz::check(records >= 0 && records <= kScoreSlots, "at most 52 records");

    // The result of the game just ended: points from the input's first bytes.
    i32 score = 0;
    for (std::size_t i = 0; i < std::min<std::size_t>(size, 4); ++i)
        score = static_cast<i32>(static_cast<std::uint32_t>(score) << 8 | data[i]);
    ScoreTableRequest request{folder, "Brivo", score, true, "."};
    ScoreTable table;
    const ScoreTableView view = buildScoreTable(request, table);
    fuzz::check(view.fileWritten && view.write.ok(), "the table is saved");
    fuzz::check(view.listRows.size() == kScoreRows + 1, "a header and 50 rows");

    // Ranked as a stable sort of the records read plus the result.
    std::vector<std::pair<std::string, i32>> expected;
    for (int i = 1; i <= kScoreSlots; ++i)
        expected.emplace_back(asRead.TableNames(i), asRead.TablePoints(i));
    expected[kScoreRows] = {"Brivo", score};  // slot 51
    std::stable_sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    for (int i = 1; i <= kScoreRows; ++i) {
        const auto& want = expected[static_cast<std::size_t>(i - 1)];
        fuzz::check(table.TableNames(i) == want.first && table.TablePoints(i) == want.second, "ranked stably");
    }
    fuzz::check(view.PlayerRow == findPlayerRow(table, "Brivo", score), "the player's row is the last match");

    // The file: 50 CR LF lines that read back as the table.
    const std::string written = fuzz::readBytes(file);
    fuzz::check(written == scoreFileText(table), "the file holds the table's text");
    std::size_t lines = 0;
    for (std::size_t at = written.find("\r\n"); at != std::string::npos; at = written.find("\r\n", at + 2))
        ++lines;
    fuzz::check(lines == kScoreRows && written.ends_with("\r\n"), "50 lines");
    ScoreTable back;
    fuzz::check(readScoreFile(file, back) == kScoreRows, "50 records read back");
    for (int i = 1; i <= kScoreRows; ++i) {
        fuzz::check(back.TablePoints(i) == table.TablePoints(i), "points read back");
        fuzz::check(trimmed(back.TableNames(i)) == trimmed(table.TableNames(i)), "names read back");
    }
    return 0;
}
