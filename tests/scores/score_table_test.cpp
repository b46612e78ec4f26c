// SPDX-License-Identifier: GPL-3.0-or-later
#include "scores/score_table.h"
#include "score_files.h"
#include "tests/support/child_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

namespace vortigo {
namespace {

using namespace test;

using Record = std::pair<std::string, i32>;

ScoreTable tableOf(const std::vector<Record>& records)
{
    ScoreTable table;
    for (std::size_t i = 0; i < records.size(); ++i) {
        table.TableNames(static_cast<int>(i) + 1) = records[i].first;
        table.TablePoints(static_cast<int>(i) + 1) = records[i].second;
    }
    return table;
}

std::string trimmed(const std::string& s)
{
    const std::size_t first = s.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// ---------------------------------------------------------------- reading

TEST(ScoreFileReading, FieldsEndAtCommasAndLineEndsWithQuotesAndBlanksHandled)
{
    const std::pair<std::string, std::vector<Record>> cases[] = {
        {"Nino, 50 \r\nBrivo, 1234 \r\n", {{"Nino", 50}, {"Brivo", 1234}}},
        {"   Gian Maria   ,    77   \r\n", {{"Gian Maria", 77}}},
        {"\" Bri,vo \", 9 \r\nNino, 8 \r\n", {{" Bri,vo ", 9}, {"Nino", 8}}},
        {"\"Brivo\" il grande, 9\r\n", {{"Brivo", 9}}},
        {"\"Brivo, 5\r\n7\r\nNino, 8\r\n", {{"Brivo, 5", 7}, {"Nino", 8}}},  // an open quote ends with its line
        {"Brivo\r\n120\r\nNino, 5\r\n", {{"Brivo", 120}, {"Nino", 5}}},
        {"A, 1\nB, 2\rC, 3", {{"A", 1}, {"B", 2}, {"C", 3}}},
        {"a,-5\r\nb,+7\r\nc, 12abc\r\nd, abc\r\ne,\r\nf, 99999999999\r\ng, -99999999999\r\n",
         {{"a", -5}, {"b", 7}, {"c", 12}, {"d", 0}, {"e", 0}, {"f", INT32_MAX}, {"g", INT32_MIN}}},
    };
    for (const auto& [text, records] : cases) {
        ScoreTable table;
        EXPECT_EQ(readScoreRecords(text, table), static_cast<int>(records.size())) << text;
        // One slot past the last record must still be empty.
        for (std::size_t i = 0; i <= records.size(); ++i) {
            const Record expected = i < records.size() ? records[i] : Record{};
            EXPECT_EQ(table.TableNames(static_cast<int>(i) + 1), expected.first) << text;
            EXPECT_EQ(table.TablePoints(static_cast<int>(i) + 1), expected.second) << text;
        }
    }
}

TEST(ScoreFileReading, StopsAfterFiftyTwoRecordsAtTheSizeLimitAndWithoutAReadableFile)
{
    std::string sixty;
    for (int i = 1; i <= 60; ++i)
        sixty += "N" + std::to_string(i) + ", " + std::to_string(i) + " \r\n";
    ScoreTable table;
    EXPECT_EQ(readScoreRecords(sixty, table), kScoreSlots);
    EXPECT_EQ(table.TableNames(52), "N52");

    // The second name reaches past the limit: read whole, it would be followed
    // by its points and a third record.
    ScratchFolder folder;
    writeBytes(folder.scoreFile(), "A, 1\r\n" + std::string(kMaxScoreFileBytes, 'x') + ", 2\r\nB, 3\r\n");
    ScoreTable big;
    EXPECT_EQ(readScoreFile(folder.scoreFile(), big), 2);
    EXPECT_EQ(big.TableNames(2).size(), kMaxScoreFileBytes - 6);
    EXPECT_EQ(big.TablePoints(2), 0);

    // An empty file, no file and a folder in its place give nothing.
    writeBytes(folder.scoreFile(), "");
    EXPECT_EQ(readScoreFile(folder.scoreFile(), table), 0);
    std::filesystem::remove(folder.scoreFile());
    EXPECT_EQ(readScoreFile(folder.scoreFile(), table), 0);
    std::filesystem::create_directory(folder.scoreFile());
    EXPECT_EQ(readScoreFile(folder.scoreFile(), table), 0);
}

// The file is edited by hand, copied between machines and cut short by full
// disks: whatever it holds, reading must end well and the rewrite read back.
TEST(ScoreFileReading, AnyBytesGiveAtMostFiftyTwoRecordsAndACleanRewrite)
{
    const char steering[] = {',', '"', '\r', '\n', ' ', '\t', '-', '+', '0', '9', '\0', '\xFF'};
    std::mt19937 draw(20010305);
    for (int round = 0; round < 4000; ++round) {
        // Odd rounds damage a good file; even rounds are any bytes at all.
        std::string text;
        for (unsigned i = round % 2 ? draw() % 70 : 0; i > 0; --i)
            text += (draw() % 4 ? "N" : "\"N,") + std::to_string(draw() % 1000) + ", " +
                    std::to_string(static_cast<i32>(draw())) + " \r\n";
        for (unsigned m = round % 2 ? 1 + draw() % 8 : 0; m > 0 && !text.empty(); --m) {
            const std::size_t at = draw() % text.size();
            const char c = steering[draw() % sizeof steering];
            const unsigned how = draw() % 3;
            if (how == 0)
                text[at] = c;
            else if (how == 1)
                text.insert(at, 1, c);
            else
                text.resize(at);  // cut short, as by a full disk
        }
        for (unsigned i = round % 2 ? 0 : draw() % 1500; i > 0; --i)
            text.push_back(static_cast<char>(draw()));
        ScoreTable table;
        const int records = readScoreRecords(text, table);
        ASSERT_TRUE(records >= 0 && records <= kScoreSlots) << "round " << round;
        rankScoreTable(table);
        const std::string written = scoreFileText(table);
        ASSERT_EQ(crlfLines(written).size(), 50u) << "round " << round;
        ScoreTable back;
        ASSERT_EQ(readScoreRecords(written, back), 50) << "round " << round;
        for (int i = 1; i <= kScoreRows; ++i) {
            ASSERT_EQ(back.TablePoints(i), table.TablePoints(i)) << "round " << round << " row " << i;
            // Blanks around a name do not survive an unquoted line; nothing else changes.
            ASSERT_EQ(trimmed(back.TableNames(i)), trimmed(table.TableNames(i))) << "round " << round << " row " << i;
        }
    }
}

// ---------------------------------------------------------------- ranking

TEST(ScoreRanking, AgreesWithAStableSortSoEqualPointsKeepTheirOrder)
{
    std::mt19937 draw(20010305);
    for (int round = 0; round < 500; ++round) {
        std::vector<Record> slots;
        for (int i = 1; i <= kScoreSlots; ++i)  // few distinct values, so ties are everywhere
            slots.emplace_back("s" + std::to_string(i), static_cast<i32>(draw() % 7) * 10 - 10);
        ScoreTable table = tableOf(slots);
        std::stable_sort(slots.begin(), slots.end(), [](const Record& a, const Record& b) { return a.second > b.second; });
        rankScoreTable(table);
        for (int i = 1; i <= kScoreSlots; ++i)
            ASSERT_EQ(Record(table.TableNames(i), table.TablePoints(i)), slots[static_cast<std::size_t>(i - 1)])
                << "round " << round;
    }
}

// ---------------------------------------------------------------- rows

TEST(ScoreRows, NamesArePaddedOrCutToTwelveAndPointsGroupedWithTheLocaleSeparator)
{
    // Row, Latin-1 name, points, separator, the row's text.
    const std::tuple<int, const char*, i32, const char*, const char*> cases[] = {
        {1, "Brivo", 120, ",", "01 - Brivo        00,120"},
        {50, "", 0, ",", "50 -              00,000"},
        {3, "Nino", 1234, ".", "03 - Nino         01.234"},
        {9, "Nove", 9, ",", "09 - Nove         00,009"},
        {10, "Dieci", 10, ",", "10 - Dieci        00,010"},
        {4, "Meno", -5, ",", "04 - Meno        - 00,005"},  // only a hand-edited file has one
        {3, "Nino", 98765, ",", "03 - Nino         98,765"},
        {3, "Nino", 123456, ",", "03 - Nino         123,456"},
        {3, "Nino", 1234567, ".", "03 - Nino         1.234.567"},
        {1, "Massimiliano Rossi", 5, ",", "01 - Massimiliano 00,005"},
        // ò is one byte in the file, two on screen, and one column either way.
        {1, "Nicol\xF2", 10, ",", "01 - Nicol\xC3\xB2       00,010"},
        {1, "Gianpier\xF2 Bo", 10, ",", "01 - Gianpier\xC3\xB2 Bo 00,010"},
        {1, "Annalisa Nic\xF2", 10, ",", "01 - Annalisa Nic 00,010"},
    };
    for (const auto& [row, name, points, separator, text] : cases)
        EXPECT_EQ(scoreRowText(row, name, points, separator), text);
    EXPECT_EQ(scoreRowText(7, "Brivo", 120, ",").find("00,120"), std::string(kScoreListHeader).find("Punti"));
}

// ---------------------------------------------------------------- writing

TEST(ScoreFileWriting, FiftyCrLfLinesThatReadBackAsTheyWere)
{
    ScoreTable table = tableOf({{"Brivo", 1234}, {"Nino", -5}, {"Bri,vo", 30}, {"\"Ciao\"", 20}, {"Ni\"no", 10}});
    table.TableNames(51) = "Fuori";
    table.TablePoints(51) = 1;
    std::string expected = "Brivo, 1234 \r\nNino,-5 \r\n\"Bri,vo\", 30 \r\n\"'Ciao'\", 20 \r\nNi\"no, 10 \r\n";
    for (int i = 6; i <= kScoreRows; ++i)
        expected += ", 0 \r\n";
    ASSERT_EQ(scoreFileText(table), expected);

    ScoreTable back;
    EXPECT_EQ(readScoreRecords(expected, back), 50);
    EXPECT_EQ(Record(back.TableNames(3), back.TablePoints(3)), Record("Bri,vo", 30));
    EXPECT_EQ(Record(back.TableNames(4), back.TablePoints(4)), Record("'Ciao'", 20));
    EXPECT_EQ(Record(back.TableNames(5), back.TablePoints(5)), Record("Ni\"no", 10));
}


// ---------------------------------------------------------------- building the table

class BuildingTheTable : public ::testing::Test {
protected:
    ScoreTableView build(const std::string& name, i32 score, bool record = true)
    {
        return buildScoreTable({folder.path(), name, score, record, ","}, table);
    }
    std::vector<std::string> fileLines() const { return crlfLines(readBytes(folder.scoreFile())); }

    ScratchFolder folder;
    ScoreTable table;
};

TEST_F(BuildingTheTable, OnlyTheFirstThreeRowsMayBePublished)
{
    // Rows 2, 3 and 4 of the full table hold 4900, 4800 and 4700 points.
    for (const auto& [score, row] : {std::pair{4850, 3}, {4750, 4}}) {
        writeBytes(folder.scoreFile(), fullTableFile());
        const ScoreTableView view = build("Nuovo", score);
        EXPECT_EQ(view.PlayerRow, row);
        EXPECT_EQ(view.publishingEnabled, row <= 3) << row;
    }
}

TEST_F(BuildingTheTable, ATieLandsBelowTheOlderResultAndPushesRowFiftyOut)
{
    writeBytes(folder.scoreFile(), fullTableFile());
    const ScoreTableView view = build("Nuovo", 4800);  // row 3 holds 4800 points
    EXPECT_EQ(view.PlayerRow, 4);
    EXPECT_FALSE(view.publishingEnabled);
    EXPECT_EQ(view.listRows[4], "04 - Nuovo        04,800");
    EXPECT_EQ(view.listRows[50], "50 - Giocatore49  00,200");
    const std::vector<std::string> lines = fileLines();
    ASSERT_EQ(lines.size(), 50u);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.begin() + 5),
              (std::vector<std::string>{"Giocatore03, 4800 ", "Nuovo, 4800 ", "Giocatore04, 4700 "}));
    EXPECT_EQ(lines[49], "Giocatore49, 200 ");
}

TEST_F(BuildingTheTable, LookingShowsFileOrderLeavesTheFileAloneAndFindsTheLastMatchingRow)
{
    // Out of order and with bare line feeds, so any rewrite would show.
    const std::string file =
        "Basso, 10\nBrivo, 900\n\"Virgola, si\", 50\nA, 900\nB, 900\nC, 900\nBrivo, 900\nbrivo, 900\nBrivo, 800\n";
    writeBytes(folder.scoreFile(), file);
    const auto before = std::filesystem::last_write_time(folder.scoreFile());
    const ScoreTableView view = build("Brivo", 900, false);
    EXPECT_EQ(view.listRows[1], "01 - Basso        00,010");
    EXPECT_EQ(view.listRows[2], "02 - Brivo        00,900");
    EXPECT_EQ(view.bestName, "Basso");
    EXPECT_EQ(view.PlayerRow, 7);
    EXPECT_FALSE(view.publishingEnabled);
    EXPECT_FALSE(view.fileWritten);
    EXPECT_EQ(readBytes(folder.scoreFile()), file);
    EXPECT_EQ(std::filesystem::last_write_time(folder.scoreFile()), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST_F(BuildingTheTable, LookingWithoutAFileCreatesNoneAndForgetsEarlierSlots)
{
    table.TableNames(5) = "Fantasma";
    table.TablePoints(5) = 77;
    const ScoreTableView view = build("Brivo", 0, false);
    EXPECT_EQ(view.listRows[5], "05 -              00,000");
    EXPECT_EQ(view.bestName, "");
    EXPECT_FALSE(std::filesystem::exists(folder.scoreFile()));
}

TEST_F(BuildingTheTable, TwoGamesInARowBothStayInTheFileALongNameCutOnlyInTheList)
{
    build("Massimiliano Rossi", 700);
    const ScoreTableView view = build("Brivo", 500);
    EXPECT_EQ(view.listRows[1], "01 - Massimiliano 00,700");
    EXPECT_EQ(view.bestName, "Massimiliano Rossi");
    EXPECT_EQ(view.PlayerRow, 2);
    const std::vector<std::string> lines = fileLines();
    ASSERT_EQ(lines.size(), 50u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 3),
              (std::vector<std::string>{"Massimiliano Rossi, 700 ", "Brivo, 500 ", ", 0 "}));
}

TEST_F(BuildingTheTable, ASaveKilledAtAnyStepLeavesTheOldOrTheNewTableWhole)
{
    writeBytes(folder.scoreFile(), fullTableFile());
    std::string after;
    for (const WriteStep step : kAllWriteSteps) {
        {
            ChildStoppedAt child(step, [&] { build("Nuovo", 4800); });
            ASSERT_TRUE(child.stopped());
            if (after.empty() && step >= WriteStep::Renamed)
                after = readBytes(folder.scoreFile());
        }  // killed here
        const std::string left = readBytes(folder.scoreFile());
        EXPECT_EQ(left, step >= WriteStep::Renamed ? after : fullTableFile()) << static_cast<int>(step);
        EXPECT_EQ(crlfLines(left).size(), 50u);
        // The next save sweeps up; the lock the killed copy held went with it.
        build("Altro", 1);
        EXPECT_EQ(folderEntries(folder.path()), (std::set<std::string>{"vortigo.HIS", "vortigo.HIS.lock"}));
        writeBytes(folder.scoreFile(), fullTableFile());
    }
    EXPECT_NE(after.find("\r\nNuovo, 4800 \r\n"), std::string::npos);
}

// Two copies of the game end a game at the same moment, again and again:
// every result must stay. Without the lock, each reads the table before the
// other has written it, and one result is lost.
TEST_F(BuildingTheTable, TwoCopiesSavingAtTheSameMomentKeepBothResults)
{
    constexpr int kRounds = 25;  // 2 x 25 results: exactly a full table
    int go[2][2];
    int done[2][2];
    pid_t copies[2];
    for (int c = 0; c < 2; ++c) {
        ASSERT_EQ(::pipe(go[c]), 0);
        ASSERT_EQ(::pipe(done[c]), 0);
        copies[c] = ::fork();
        ASSERT_GE(copies[c], 0);
        if (copies[c] == 0) {
            char byte = 0;
            for (int round = 1; round <= kRounds && ::read(go[c][0], &byte, 1) == 1; ++round) {
                ScoreTable mine;
                const std::string name = std::string(c == 0 ? "Primo" : "Secondo") + std::to_string(round);
                const ScoreTableView view = buildScoreTable({folder.path(), name, 1000 * round + c, true, ","}, mine);
                byte = view.fileWritten ? 'y' : 'n';
                if (::write(done[c][1], &byte, 1) != 1)
                    break;
            }
            ::_exit(0);
        }
    }
    for (int round = 1; round <= kRounds; ++round) {
        // Both start the same save on one signal.
        for (int c = 0; c < 2; ++c)
            ASSERT_EQ(::write(go[c][1], "g", 1), 1);
        for (int c = 0; c < 2; ++c) {
            char byte = 0;
            ASSERT_EQ(::read(done[c][0], &byte, 1), 1);
            EXPECT_EQ(byte, 'y') << "copy " << c << " round " << round;
        }
    }
    for (int c = 0; c < 2; ++c) {
        int status = 0;
        ::waitpid(copies[c], &status, 0);
        for (int fd : {go[c][0], go[c][1], done[c][0], done[c][1]})
            ::close(fd);
    }
    ScoreTable saved;
    ASSERT_EQ(readScoreFile(folder.scoreFile(), saved), kScoreRows);
    for (int row = 1; row <= kScoreRows; ++row) {
        // Best first: round 25 of the second copy, then of the first, and so on down.
        const int round = kRounds - (row - 1) / 2;
        const int c = row % 2 == 1 ? 1 : 0;
        EXPECT_EQ(Record(saved.TableNames(row), saved.TablePoints(row)),
                  Record(std::string(c == 0 ? "Primo" : "Secondo") + std::to_string(round), 1000 * round + c))
            << "row " << row;
    }
}

TEST(ScoreFileWriting, TheMessageOfAFailedSaveNamesTheFileAndTheCause)
{
    EXPECT_EQ(scoreWriteFailedMessage({WriteFailure::ReadOnlyFile, EACCES}),
              "Non è stato possibile salvare la tabella dei record nel file \"vortigo.HIS\": il file è in sola lettura.\n"
              "Il risultato di questa partita non resterà in tabella; il gioco continua.");
    EXPECT_NE(scoreWriteFailedMessage({WriteFailure::Busy, EWOULDBLOCK}).find(": un'altra copia del gioco"),
              std::string::npos);
}

}  // namespace
}  // namespace vortigo
