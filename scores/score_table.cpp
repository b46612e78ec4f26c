// SPDX-License-Identifier: GPL-3.0-or-later
#include "score_table.h"

#include "core/file_reading.h"
#include "core/score_format.h"
#include "core/text_codec.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <optional>
#include <utility>

namespace vortigo {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// Walks the text of a score file one field at a time, the way the game has
// always read it: fields end at commas and at line ends, whichever comes first,
// so a record's two fields need not share a line.
class FieldReader {
public:
    explicit FieldReader(std::string_view text) : m_text(text) {}

    bool atEnd() const { return m_pos >= m_text.size(); }

    // Every call consumes at least one character unless the text is used up,
    // so a reader over junk always comes to an end.
    std::string next()
    {
        skipBlanks();
        std::string field;
        if (m_pos < m_text.size() && m_text[m_pos] == '"') {
            ++m_pos;
            const std::size_t start = m_pos;
            while (m_pos < m_text.size() && m_text[m_pos] != '"' && !isLineEnd(m_text[m_pos]))
                ++m_pos;
            field.assign(m_text.substr(start, m_pos - start));
            if (m_pos < m_text.size() && m_text[m_pos] == '"')
                ++m_pos;
            // Anything between the closing quote and the comma is not part of the name.
            while (m_pos < m_text.size() && m_text[m_pos] != ',' && !isLineEnd(m_text[m_pos]))
                ++m_pos;
        } else {
            const std::size_t start = m_pos;
            while (m_pos < m_text.size() && m_text[m_pos] != ',' && !isLineEnd(m_text[m_pos]))
                ++m_pos;
            field.assign(m_text.substr(start, m_pos - start));
            while (!field.empty() && isBlank(field.back()))
                field.pop_back();
        }
        endField();
        return field;
    }

private:
    void skipBlanks()
    {
        while (m_pos < m_text.size() && isBlank(m_text[m_pos]))
            ++m_pos;
    }

    // Steps over the comma or the line end (CR LF, LF or CR) that closes a field.
    void endField()
    {
        if (m_pos >= m_text.size())
            return;
        const char c = m_text[m_pos++];
        if (c == '\r' && m_pos < m_text.size() && m_text[m_pos] == '\n')
            ++m_pos;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

// The leading decimal integer of a field, blanks around it ignored; out-of-range
// values stop at the ends of a 32-bit integer instead of wrapping.
i32 pointsOf(std::string_view field)
{
    std::size_t i = 0;
    while (i < field.size() && isBlank(field[i]))
        ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '-' || field[i] == '+')) {
        negative = field[i] == '-';
        ++i;
    }
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<i32>::max()} + 1;
    std::int64_t value = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
        value = value * 10 + (field[i] - '0');
        if (value > kLimit)
            value = kLimit;
    }
    if (negative)
        return static_cast<i32>(-value);
    return static_cast<i32>(std::min<std::int64_t>(value, std::numeric_limits<i32>::max()));
}

// A name is written as it stands unless reading it back would go wrong: a
// comma would split it and a leading quote would swallow the points. Such a
// name goes between double quotes, its own quotes turned into apostrophes (the
// file has no way to escape them), so every line still reads back as one record.
std::string storedName(const std::string& name)
{
    std::size_t first = 0;
    while (first < name.size() && isBlank(name[first]))
        ++first;
    bool needsQuotes = first < name.size() && name[first] == '"';
    for (char c : name)
        needsQuotes = needsQuotes || c == ',' || isLineEnd(c);
    if (!needsQuotes)
        return name;
    std::string quoted = "\"";
    for (char c : name)
        quoted.push_back(c == '"' ? '\'' : isLineEnd(c) ? ' ' : c);
    quoted.push_back('"');
    return quoted;
}

}  // namespace

int readScoreRecords(std::string_view text, ScoreTable& table)
{
    FieldReader reader(text);
    int records = 0;
    while (records < kScoreSlots && !reader.atEnd()) {
        ++records;
        table.TableNames(records) = reader.next();
        table.TablePoints(records) = pointsOf(reader.next());
    }
    return records;
}

int readScoreFile(const std::filesystem::path& file, ScoreTable& table)
{
    const std::optional<std::string> text = readFileStart(file, kMaxScoreFileBytes);
    return text ? readScoreRecords(*text, table) : 0;
}

void rankScoreTable(ScoreTable& table)
{
    int n = kScoreSlots;
    for (;;) {
        int lastSwap = 0;
        for (int j = 1; j <= n - 1; ++j) {
            if (table.TablePoints(j) < table.TablePoints(j + 1)) {
                std::swap(table.TablePoints(j), table.TablePoints(j + 1));
                std::swap(table.TableNames(j), table.TableNames(j + 1));
                lastSwap = j;
            }
        }
        if (lastSwap == 0)
            return;
        n = lastSwap;
    }
}

std::string scoreFileText(const ScoreTable& table)
{
    std::string text;
    for (int i = 1; i <= kScoreRows; ++i) {
        const i32 points = table.TablePoints(i);
        // Numbers print to a file with a blank (or the minus sign) in front and a blank behind.
        text += storedName(table.TableNames(i));
        text += ',';
        text += points < 0 ? std::to_string(points) : " " + std::to_string(points);
        text += " \r\n";
    }
    return text;
}

WriteOutcome writeScoreFile(const std::filesystem::path& file, const ScoreTable& table)
{
    return replaceFile(file, scoreFileText(table));
}

std::string scoreRowText(int row, const std::string& latin1Name, i32 points, const std::string& separator)
{
    std::string text = row < 10 ? "0" : "";
    text += std::to_string(row);
    text += " - ";
    std::string name = latin1Name.substr(0, kScoreNameColumns);
    name.resize(kScoreNameColumns, ' ');
    // Cut first, then convert: the column counts characters, one byte each in Latin-1.
    text += latin1ToUtf8(name);
    text += formatTablePoints(points, separator);
    return text;
}

int findPlayerRow(const ScoreTable& table, const std::string& latin1Name, i32 score)
{
    int row = 0;
    for (int i = 1; i <= kScoreRows; ++i) {
        if (table.TableNames(i) == latin1Name && table.TablePoints(i) == score)
            row = i;
    }
    return row;
}

std::string scoreWriteFailedMessage(const WriteOutcome& outcome, bool gameGoesOn)
{
    return "Non è stato possibile salvare la tabella dei record nel file \"vortigo.HIS\": " +
           writeFailureReason(outcome) + ".\nIl risultato di questa partita non resterà in tabella" +
           (gameGoesOn ? "; il gioco continua." : ".");
}

ScoreTableView buildScoreTable(const ScoreTableRequest& request, ScoreTable& table)
{
    table = ScoreTable{};
    const std::filesystem::path file = request.folder / kScoreFileName;
    // Only a recording changes the file; a look needs no lock, since the
    // file is only ever replaced whole.
    std::optional<FileLock> lock;
    if (request.recordNewScore)
        lock.emplace(file);
    readScoreFile(request.readFolder.empty() ? file : request.readFolder / kScoreFileName, table);

    if (request.recordNewScore) {
        table.TablePoints(kScoreRows + 1) = request.Score;
        table.TableNames(kScoreRows + 1) = request.playerName;
        rankScoreTable(table);
    }

    ScoreTableView view;
    view.listRows.reserve(kScoreRows + 1);
    view.listRows.emplace_back(kScoreListHeader);
    view.bestName = latin1ToUtf8(table.TableNames(1));
    for (int i = 1; i <= kScoreRows; ++i)
        view.listRows.push_back(scoreRowText(i, table.TableNames(i), table.TablePoints(i), request.separator));
    view.PlayerRow = findPlayerRow(table, request.playerName, request.Score);
    view.publishingEnabled = mayPublishRecord(view.PlayerRow);

    if (request.recordNewScore) {
        // Writing without the lock could undo a result another copy saved
        // meanwhile: the table is never written without it.
        view.write = lock->state() == FileLock::State::Held ? writeScoreFile(file, table) : lock->refusal();
        view.fileWritten = view.write.ok();
    }
    return view;
}

}  // namespace vortigo
