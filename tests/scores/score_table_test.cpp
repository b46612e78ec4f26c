// SPDX-License-Identifier: GPL-3.0-or-later
// vortigo.HIS: reading it however it was edited, ranking, the rows of the
// list, looking without writing, and saving it whole even with two copies
// of the game at once.
#include "scores/score_table.h"
#include "score_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

namespace vortigo {
namespace {

using namespace test;

using Record = std::pair<std::string, i32>;

Record row(const ScoreTable& table, int i)
{
    return {table.TableNames(i), table.TablePoints(i)};
}

TEST(ScoreFile, ReadsFieldsHoweverTheFileWasEdited)
{
    const std::pair<std::string, std::vector<Record>> cases[] = {
        {"   Gian Maria   ,    77   \r\n", {{"Gian Maria", 77}}},
        {"\" Bri,vo \", 9 \r\nNino, 8 \r\n", {{" Bri,vo ", 9}, {"Nino", 8}}},
        {"\"Bri\" vo, 9 \r\n", {{"Bri", 9}}},  // past the closing quote nothing counts
        {"\tA\t,\t5\t\r\n", {{"A", 5}}},
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
        for (std::size_t i = 0; i <= records.size(); ++i)
            EXPECT_EQ(row(table, static_cast<int>(i) + 1), i < records.size() ? records[i] : Record{}) << text;
    }
    // At most 52 records: the 52nd takes part in the ranking, the 53rd is never read.
    ScoreTable table;
    std::string many;
    for (int i = 1; i <= 53; ++i)
        many += "R" + std::to_string(i) + ", " + std::to_string(i) + "\r\n";
    EXPECT_EQ(readScoreRecords(many, table), 52);
    EXPECT_EQ(row(table, 52), Record("R52", 52));

    // 52 records never need megabytes: a file is read only so far, here into
    // the second name, so its points and the third record are never reached.
    ScratchFolder folder;
    writeBytes(folder.scoreFile(), "A, 1\r\n" + std::string(3 << 20, 'x') + ", 2\r\nB, 3\r\n");
    EXPECT_EQ(readScoreFile(folder.scoreFile(), table), 2);
    EXPECT_EQ(table.TablePoints(2), 0);
    // Short of a megabyte, an edited file is read to its end.
    writeBytes(folder.scoreFile(), "A" + std::string(900 << 10, 'x') + ", 1\r\nB, 3\r\n");
    EXPECT_EQ(readScoreFile(folder.scoreFile(), table), 2);
    EXPECT_EQ(row(table, 2), Record("B", 3));
    std::filesystem::remove(folder.scoreFile());
    std::filesystem::create_directory(folder.scoreFile());
    EXPECT_EQ(readScoreFile(folder.scoreFile(), table), 0);
}

// Each rule of writing a name decides one line: only a comma, a line end or
// a leading quote needs the quotes, and each name reads back as one record.
TEST(ScoreFile, WritesEachNameSoItReadsBackAsOneRecord)
{
    const std::tuple<std::string, i32, std::string, std::string> cases[] = {
        {"Brivo", 1234, "Brivo, 1234 ", "Brivo"},
        {"Meno", -5, "Meno,-5 ", "Meno"},
        {"Bri,vo", 9, "\"Bri,vo\", 9 ", "Bri,vo"},
        {"\"Nuovo", 9, "\"'Nuovo\", 9 ", "'Nuovo"},
        {"  \"Lia", 9, "\"  'Lia\", 9 ", "  'Lia"},
        {"a\"b", 9, "a\"b, 9 ", "a\"b"},
        {"a\nb", 9, "\"a b\", 9 ", "a b"},
    };
    for (const auto& [name, points, line, readBack] : cases) {
        ScoreTable table;
        table.TableNames(1) = name;
        table.TablePoints(1) = points;
        const std::string text = scoreFileText(table);
        EXPECT_EQ(text.substr(0, text.find("\r\n")), line);
        ScoreTable again;
        EXPECT_EQ(readScoreRecords(text, again), 50);
        EXPECT_EQ(row(again, 1), Record(readBack, points));
    }
}

TEST(ScoreRows, FitNamesAndGroupPoints)
{
    // Row, Latin-1 name, points, separator, the row's text.
    const std::tuple<int, const char*, i32, const char*, const char*> cases[] = {
        {50, "", 0, ",", "50 -              00,000"},
        {10, "Dieci", 10, ",", "10 - Dieci        00,010"},
        {4, "Meno", -5, ",", "04 - Meno        - 00,005"},  // only a hand-edited file has one
        {3, "Nino", 1234567, ".", "03 - Nino         1.234.567"},
        // ò is one byte in the file, two on screen, and one column either way.
        {1, "Gianpier\xF2 Bo", 10, ",", "01 - Gianpier\xC3\xB2 Bo 00,010"},
        {1, "Annalisa Nic\xF2", 10, ",", "01 - Annalisa Nic 00,010"},
    };
    for (const auto& [row, name, points, separator, text] : cases)
        EXPECT_EQ(scoreRowText(row, name, points, separator), text);
}

class BuildingTheTable : public ::testing::Test {
protected:
    ScoreTableView build(const std::string& name, i32 score, bool record = true)
    {
        return buildScoreTable({folder.path(), name, score, record, ","}, table);
    }

    ScratchFolder folder;
    ScoreTable table;
};

TEST_F(BuildingTheTable, RanksATieBelowAndPublishesOnlyThePodium)
{
    // Rows 2, 3 and 4 of the full table hold 4900, 4800 and 4700 points.
    for (const auto& [score, row] : {std::pair{4850, 3}, {4800, 4}}) {
        writeBytes(folder.scoreFile(), fullTableFile());
        const ScoreTableView view = build("\"Nuo,vo\"", score);
        EXPECT_EQ(view.PlayerRow, row);
        EXPECT_EQ(view.publishingEnabled, row <= 3) << row;
    }
    // The newcomer's name is quoted for its comma, its own quotes turned into apostrophes.
    std::string file = fullTableFile();
    file.insert(file.find("Giocatore04"), "\"'Nuo,vo'\", 4800 \r\n");
    file.erase(file.find("Giocatore50"));
    EXPECT_EQ(readBytes(folder.scoreFile()), file);
}

TEST_F(BuildingTheTable, LookingKeepsTheFileAsItIs)
{
    // Looking, as the menu does: the rows follow the file, here edited out of
    // order with bare line feeds, the player's row is the last that matches,
    // and nothing is written.
    const std::string edited = "Basso, 10\nBrivo, 900\n\"Virgola, si\", 50\nA, 900\nBrivo, 900\nbrivo, 900\nBrivo, 800\n";
    writeBytes(folder.scoreFile(), edited);
    const ScoreTableView view = build("Brivo", 900, false);
    EXPECT_EQ(view.listRows[1], "01 - Basso        00,010");
    EXPECT_EQ(view.bestName, "Basso");
    EXPECT_EQ(view.PlayerRow, 5);
    EXPECT_FALSE(view.publishingEnabled || view.fileWritten);
    EXPECT_EQ(readBytes(folder.scoreFile()), edited);

    // Without a file none is made, and nothing from an earlier table stays.
    std::filesystem::remove(folder.scoreFile());
    EXPECT_EQ(build("Brivo", 0, false).bestName, "");
    EXPECT_FALSE(std::filesystem::exists(folder.scoreFile()));
}

// A table whose lock cannot be opened is not written: another copy might be
// saving its result at that moment. The player is told why.
TEST_F(BuildingTheTable, NeverSavesWithoutItsLock)
{
    writeBytes(folder.scoreFile(), "Nino, 50 \r\n");
    const std::filesystem::path lock = folder.path() / "vortigo.HIS.lock";
    std::filesystem::create_symlink(folder.path() / "altrove", lock);  // a link that leads nowhere
    const ScoreTableView view = build("Brivo", 120);
    EXPECT_FALSE(view.fileWritten);
    EXPECT_EQ(view.write.failure, WriteFailure::LockUnavailable);
    EXPECT_EQ(view.PlayerRow, 1);  // the result is still shown
    EXPECT_EQ(readBytes(folder.scoreFile()), "Nino, 50 \r\n");
    EXPECT_NE(scoreWriteFailedMessage(view.write).find("il file di blocco che lo accompagna (lo stesso nome con "
                                                        "\".lock\" in fondo) non si può aprire"),
              std::string::npos);

    // A lock another copy holds too long (ten seconds) is not waited for for
    // ever: the table is shown, not saved, and the player hears why.
    std::filesystem::remove(lock);
    const int held = ::open(lock.c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    const ScoreTableView busy = build("Brivo", 120);
    EXPECT_EQ(std::tuple(busy.fileWritten, busy.write.failure, busy.PlayerRow), std::tuple(false, WriteFailure::Busy, 1));
    EXPECT_NE(scoreWriteFailedMessage(busy.write).find("un'altra copia del gioco lo sta usando da troppo tempo"),
              std::string::npos);
    ::close(held);
    EXPECT_TRUE(build("Brivo", 120).fileWritten);

    // A table reached through a link is locked beside the file the link
    // leads to, where a copy that reaches it another way meets the same lock.
    const std::filesystem::path elsewhere = folder.path() / "cartella";
    std::filesystem::create_directory(elsewhere);
    std::filesystem::rename(folder.scoreFile(), elsewhere / "vortigo.HIS");
    std::filesystem::remove(lock);
    std::filesystem::create_symlink(elsewhere / "vortigo.HIS", folder.scoreFile());
    EXPECT_TRUE(build("Brivo", 130).fileWritten);
    EXPECT_TRUE(std::filesystem::exists(elsewhere / "vortigo.HIS.lock"));
    EXPECT_FALSE(std::filesystem::exists(lock));
    EXPECT_TRUE(std::filesystem::is_symlink(folder.scoreFile()));
}

// Two copies of the game save their results at the same moment, again and
// again: every result must stay. Without the lock, each reads the table
// before the other has written it, and one result is lost.
TEST_F(BuildingTheTable, TwoCopiesSavingAtOnceKeepBothResults)
{
    constexpr int kRounds = 25;  // 2 x 25 results: exactly a full table
    const char* const names[2] = {"Primo", "Secondo"};
    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    pid_t copies[2];
    for (int c = 0; c < 2; ++c) {
        copies[c] = ::fork();
        ASSERT_GE(copies[c], 0);
        if (copies[c] == 0) {
            char byte = 0;
            int written = ::read(go[0], &byte, 1) == 1 ? 0 : -1;  // both start on one signal
            for (int round = 1; round <= kRounds && written >= 0; ++round) {
                ScoreTable mine;
                const std::string name = names[c] + std::to_string(round);
                written += buildScoreTable({folder.path(), name, 1000 * round + c, true, ","}, mine).fileWritten;
            }
            ::_exit(written);
        }
    }
    ASSERT_EQ(::write(go[1], "gg", 2), 2);
    for (int c = 0; c < 2; ++c) {
        int status = 0;
        ::waitpid(copies[c], &status, 0);
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, kRounds) << names[c];
    }
    ::close(go[0]);
    ::close(go[1]);
    ScoreTable saved;
    ASSERT_EQ(readScoreFile(folder.scoreFile(), saved), 50);
    for (int i = 1; i <= 50; ++i) {
        // Best first: round 25 of the second copy, then of the first, and so on down.
        const int round = kRounds - (i - 1) / 2;
        const int c = i % 2;
        EXPECT_EQ(row(saved, i), Record(names[c] + std::to_string(round), 1000 * round + c)) << "row " << i;
    }
}

}  // namespace
}  // namespace vortigo
