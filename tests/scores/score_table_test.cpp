#include "scores/score_table.h"
#include "score_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <random>

namespace vortigo {
namespace {

using test::crlfLines;
using test::fullTableFile;
using test::readBytes;
using test::ScratchFolder;
using test::writeBytes;

std::string emptyRow(int row)
{
    return (row < 10 ? "0" : "") + std::to_string(row) + " - " + std::string(12, ' ') + " 00,000";
}

ScoreTableRequest recording(const std::filesystem::path& folder, const std::string& name, i32 score)
{
    ScoreTableRequest request;
    request.folder = folder;
    request.playerName = name;
    request.Score = score;
    request.recordNewScore = true;
    request.separator = ",";
    return request;
}

ScoreTableRequest looking(const std::filesystem::path& folder, const std::string& name, i32 score)
{
    ScoreTableRequest request = recording(folder, name, score);
    request.recordNewScore = false;
    return request;
}

// ---------------------------------------------------------------- reading

TEST(ScoreFileReading, RecordsFillTheSlotsInFileOrderFromSlotOne)
{
    ScoreTable table;
    EXPECT_EQ(readScoreRecords("Nino, 50 \r\nBrivo, 1234 \r\n", table), 2);
    EXPECT_EQ(table.TableNames(1), "Nino");
    EXPECT_EQ(table.TablePoints(1), 50);
    EXPECT_EQ(table.TableNames(2), "Brivo");
    EXPECT_EQ(table.TablePoints(2), 1234);
    EXPECT_EQ(table.TableNames(3), "");
    EXPECT_EQ(table.TablePoints(3), 0);
}

TEST(ScoreFileReading, BlanksAroundTheNameAndThePointsAreDropped)
{
    ScoreTable table;
    readScoreRecords("   Gian Maria   ,    77   \r\n", table);
    EXPECT_EQ(table.TableNames(1), "Gian Maria");
    EXPECT_EQ(table.TablePoints(1), 77);
}

TEST(ScoreFileReading, AQuotedNameRunsToItsClosingQuoteCommasAndBlanksIncluded)
{
    ScoreTable table;
    EXPECT_EQ(readScoreRecords("\" Bri,vo \", 9 \r\nNino, 8 \r\n", table), 2);
    EXPECT_EQ(table.TableNames(1), " Bri,vo ");
    EXPECT_EQ(table.TablePoints(1), 9);
    EXPECT_EQ(table.TableNames(2), "Nino");
}

TEST(ScoreFileReading, TextBetweenAClosingQuoteAndTheCommaIsDropped)
{
    ScoreTable table;
    readScoreRecords("\"Brivo\" il grande, 9\r\n", table);
    EXPECT_EQ(table.TableNames(1), "Brivo");
    EXPECT_EQ(table.TablePoints(1), 9);
}

TEST(ScoreFileReading, AQuoteLeftOpenEndsWithItsLine)
{
    ScoreTable table;
    readScoreRecords("\"Brivo, 5\r\n7\r\nNino, 8\r\n", table);
    EXPECT_EQ(table.TableNames(1), "Brivo, 5");
    EXPECT_EQ(table.TablePoints(1), 7);
    EXPECT_EQ(table.TableNames(2), "Nino");
    EXPECT_EQ(table.TablePoints(2), 8);
}

TEST(ScoreFileReading, TheEndOfALineEndsAFieldSoARecordMaySpanTwoLines)
{
    ScoreTable table;
    EXPECT_EQ(readScoreRecords("Brivo\r\n120\r\nNino, 5\r\n", table), 2);
    EXPECT_EQ(table.TableNames(1), "Brivo");
    EXPECT_EQ(table.TablePoints(1), 120);
    EXPECT_EQ(table.TableNames(2), "Nino");
}

TEST(ScoreFileReading, BareLineFeedsAndBareCarriageReturnsEndLinesToo)
{
    ScoreTable table;
    EXPECT_EQ(readScoreRecords("A, 1\nB, 2\rC, 3", table), 3);
    EXPECT_EQ(table.TableNames(2), "B");
    EXPECT_EQ(table.TablePoints(2), 2);
    EXPECT_EQ(table.TableNames(3), "C");
    EXPECT_EQ(table.TablePoints(3), 3);
}

TEST(ScoreFileReading, PointsAreTheLeadingDecimalIntegerOfTheirField)
{
    ScoreTable table;
    readScoreRecords("a,-5\r\nb,+7\r\nc, 12abc\r\nd, abc\r\ne,\r\nf, 99999999999\r\ng, -99999999999\r\n", table);
    EXPECT_EQ(table.TablePoints(1), -5);
    EXPECT_EQ(table.TablePoints(2), 7);
    EXPECT_EQ(table.TablePoints(3), 12);
    EXPECT_EQ(table.TablePoints(4), 0);
    EXPECT_EQ(table.TablePoints(5), 0);
    EXPECT_EQ(table.TablePoints(6), INT32_MAX);
    EXPECT_EQ(table.TablePoints(7), INT32_MIN);
    EXPECT_EQ(table.TableNames(7), "g");
}

TEST(ScoreFileReading, ReadingStopsAfterTheFiftySecondRecord)
{
    std::string text;
    for (int i = 1; i <= 60; ++i)
        text += "N" + std::to_string(i) + ", " + std::to_string(i) + " \r\n";
    ScoreTable table;
    EXPECT_EQ(readScoreRecords(text, table), kScoreSlots);
    EXPECT_EQ(table.TableNames(52), "N52");
    EXPECT_EQ(table.TablePoints(52), 52);
}

TEST(ScoreFileReading, AnEmptyFileGivesAnEmptyTable)
{
    ScratchFolder folder;
    writeBytes(folder.scoreFile(), "");
    ScoreTable table;
    EXPECT_EQ(readScoreFile(folder.scoreFile(), table), 0);
    EXPECT_EQ(table.TableNames(1), "");
}

TEST(ScoreFileReading, NoFileGivesAnEmptyTable)
{
    ScratchFolder folder;
    ScoreTable table;
    EXPECT_EQ(readScoreFile(folder.scoreFile(), table), 0);
}

TEST(ScoreFileReading, AFolderInPlaceOfTheFileReadsAsAnEmptyTable)
{
    ScratchFolder folder;
    std::filesystem::create_directory(folder.scoreFile());
    ScoreTable table;
    EXPECT_EQ(readScoreFile(folder.scoreFile(), table), 0);
}

TEST(ScoreFileReading, AHugeFileIsReadOnlyUpToTheLimit)
{
    // The second name reaches past the limit: read whole, it would be followed
    // by its points and a third record.
    ScratchFolder folder;
    const std::string text = "A, 1\r\n" + std::string(kMaxScoreFileBytes, 'x') + ", 2\r\nB, 3\r\n";
    writeBytes(folder.scoreFile(), text);
    ScoreTable table;
    EXPECT_EQ(readScoreFile(folder.scoreFile(), table), 2);
    EXPECT_EQ(table.TablePoints(2), 0);
    EXPECT_EQ(table.TableNames(2).size(), kMaxScoreFileBytes - 6);
    EXPECT_EQ(table.TableNames(3), "");
}

// ---------------------------------------------------------------- ranking

TEST(ScoreRanking, ANewResultEqualToOlderOnesGoesBelowThemAll)
{
    ScoreTable table;
    readScoreRecords("A, 500\r\nB, 300\r\nC, 300\r\nD, 100\r\n", table);
    table.TableNames(51) = "Nuovo";
    table.TablePoints(51) = 300;
    rankScoreTable(table);
    const std::vector<std::string> expected = {"A", "B", "C", "Nuovo", "D"};
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(table.TableNames(i), expected[static_cast<std::size_t>(i - 1)]) << "row " << i;
    EXPECT_EQ(table.TablePoints(4), 300);
    EXPECT_EQ(table.TableNames(6), "");
}

TEST(ScoreRanking, NamesTravelWithTheirPoints)
{
    ScoreTable table;
    readScoreRecords("Basso, 1\r\nMedio, 20\r\nAlto, 300\r\n", table);
    rankScoreTable(table);
    EXPECT_EQ(table.TableNames(1), "Alto");
    EXPECT_EQ(table.TablePoints(1), 300);
    EXPECT_EQ(table.TableNames(3), "Basso");
    EXPECT_EQ(table.TablePoints(3), 1);
}

TEST(ScoreRanking, ANegativeEntrySinksBelowTheEmptyRowsAndOutOfTheTable)
{
    ScoreTable table;
    readScoreRecords("A, 5\r\nMeno,-5\r\n", table);
    rankScoreTable(table);
    EXPECT_EQ(table.TableNames(1), "A");
    EXPECT_EQ(table.TableNames(2), "");
    EXPECT_EQ(table.TableNames(52), "Meno");
}

TEST(ScoreRanking, AgreesWithAStableSortOnRandomTables)
{
    std::mt19937 draw(20010305);
    for (int round = 0; round < 500; ++round) {
        ScoreTable table;
        std::vector<std::pair<i32, std::string>> slots;
        for (int i = 1; i <= kScoreSlots; ++i) {
            // Few distinct values, so ties are everywhere.
            const i32 points = static_cast<i32>(draw() % 7) * 10 - 10;
            table.TablePoints(i) = points;
            table.TableNames(i) = "s" + std::to_string(i);
            slots.emplace_back(points, table.TableNames(i));
        }
        std::stable_sort(slots.begin(), slots.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
        rankScoreTable(table);
        for (int i = 1; i <= kScoreSlots; ++i) {
            ASSERT_EQ(table.TableNames(i), slots[static_cast<std::size_t>(i - 1)].second) << "round " << round;
            ASSERT_EQ(table.TablePoints(i), slots[static_cast<std::size_t>(i - 1)].first);
        }
    }
}

// ---------------------------------------------------------------- rows

TEST(ScoreRows, TheFirstResultEverReadsAsInTheDesign)
{
    EXPECT_EQ(scoreRowText(1, "Brivo", 120, ","), "01 - Brivo        00,120");
    EXPECT_EQ(scoreRowText(2, "", 0, ","), "02 -              00,000");
    EXPECT_EQ(scoreRowText(50, "", 0, ","), "50 -              00,000");
}

TEST(ScoreRows, ThePointsSitUnderTheHeadersPunti)
{
    const std::string row = scoreRowText(7, "Brivo", 120, ",");
    EXPECT_EQ(std::string(kScoreListHeader), "N. - Nome         Punti");
    EXPECT_EQ(row.find("00,120"), std::string(kScoreListHeader).find("Punti"));
}

TEST(ScoreRows, PointsAreGroupedWithTheLocaleSeparator)
{
    EXPECT_EQ(scoreRowText(3, "Nino", 1234, "."), "03 - Nino         01.234");
    EXPECT_EQ(scoreRowText(3, "Nino", 1234, ","), "03 - Nino         01,234");
    EXPECT_EQ(scoreRowText(3, "Nino", 98765, ","), "03 - Nino         98,765");
    EXPECT_EQ(scoreRowText(3, "Nino", 123456, ","), "03 - Nino         123,456");
    EXPECT_EQ(scoreRowText(3, "Nino", 1234567, "."), "03 - Nino         1.234.567");
}

TEST(ScoreRows, ALongNameIsCutToTwelveCharacters)
{
    EXPECT_EQ(scoreRowText(1, "Massimiliano Rossi", 5, ","), "01 - Massimiliano 00,005");
}

TEST(ScoreRows, AccentedNamesAreCutByCharacterAndShownAsUtf8)
{
    // "Nicolò" and "Annalisa Niccolò" in Latin-1: ò is one byte in the file.
    EXPECT_EQ(scoreRowText(1, "Nicol\xF2", 10, ","), "01 - Nicol\xC3\xB2       00,010");
    EXPECT_EQ(scoreRowText(1, "Gianpier\xF2 Bo", 10, ","), "01 - Gianpier\xC3\xB2 Bo 00,010");
    EXPECT_EQ(scoreRowText(1, "Annalisa Nic\xF2", 10, ","), "01 - Annalisa Nic 00,010");
}

// ---------------------------------------------------------------- writing

TEST(ScoreFileWriting, TheFileHasFiftyLinesInThePrintedNumberForm)
{
    ScoreTable table;
    table.TableNames(1) = "Brivo";
    table.TablePoints(1) = 1234;
    table.TableNames(2) = "Nino";
    table.TablePoints(2) = -5;
    bool wellFormed = false;
    const std::vector<std::string> lines = crlfLines(scoreFileText(table), &wellFormed);
    EXPECT_TRUE(wellFormed);
    ASSERT_EQ(lines.size(), 50u);
    EXPECT_EQ(lines[0], "Brivo, 1234 ");
    EXPECT_EQ(lines[1], "Nino,-5 ");
    for (std::size_t i = 2; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], ", 0 ");
}

TEST(ScoreFileWriting, SlotsBeyondTheFiftiethAreNotWritten)
{
    ScoreTable table;
    table.TableNames(51) = "Fuori";
    table.TablePoints(51) = 1;
    EXPECT_EQ(scoreFileText(table).find("Fuori"), std::string::npos);
}

TEST(ScoreFileWriting, NamesThatWouldReadBackWrongAreQuotedAndKeepTheFileInStep)
{
    ScoreTable table;
    table.TableNames(1) = "Bri,vo";
    table.TablePoints(1) = 30;
    table.TableNames(2) = "\"Ciao\"";
    table.TablePoints(2) = 20;
    table.TableNames(3) = "Ni\"no";
    table.TablePoints(3) = 10;
    const std::string text = scoreFileText(table);
    const std::vector<std::string> lines = crlfLines(text);
    EXPECT_EQ(lines[0], "\"Bri,vo\", 30 ");
    EXPECT_EQ(lines[2], "Ni\"no, 10 ");

    ScoreTable back;
    EXPECT_EQ(readScoreRecords(text, back), 50);
    EXPECT_EQ(back.TableNames(1), "Bri,vo");
    EXPECT_EQ(back.TablePoints(1), 30);
    EXPECT_EQ(back.TableNames(2), "'Ciao'");
    EXPECT_EQ(back.TablePoints(2), 20);
    EXPECT_EQ(back.TableNames(3), "Ni\"no");
    EXPECT_EQ(back.TablePoints(3), 10);
    EXPECT_EQ(back.TableNames(4), "");
}

TEST(ScoreFileWriting, AWriteReplacesTheFileAndLeavesNoTemporaryFile)
{
    ScratchFolder folder;
    writeBytes(folder.scoreFile(), "Vecchio, 1 \r\n");
    ScoreTable table;
    table.TableNames(1) = "Brivo";
    table.TablePoints(1) = 120;
    ASSERT_TRUE(writeScoreFile(folder.scoreFile(), table));
    EXPECT_EQ(readBytes(folder.scoreFile()), scoreFileText(table));
    EXPECT_FALSE(std::filesystem::exists(scoreTemporaryFile(folder.scoreFile())));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(ScoreFileWriting, WhenTheNewTextCannotBeWrittenTheOldFileStaysAsItWas)
{
    // Something that is not a file sits where the new text would go first.
    ScratchFolder folder;
    const std::string old = fullTableFile();
    writeBytes(folder.scoreFile(), old);
    std::filesystem::create_directory(scoreTemporaryFile(folder.scoreFile()));
    ScoreTable table;
    table.TableNames(1) = "Brivo";
    EXPECT_FALSE(writeScoreFile(folder.scoreFile(), table));
    EXPECT_EQ(readBytes(folder.scoreFile()), old);
}

TEST(ScoreFileWriting, WhenTheFileCannotBeReplacedNothingIsLeftBehind)
{
    ScratchFolder folder;
    std::filesystem::create_directories(folder.scoreFile() / "dentro");
    ScoreTable table;
    EXPECT_FALSE(writeScoreFile(folder.scoreFile(), table));
    EXPECT_TRUE(std::filesystem::is_directory(folder.scoreFile() / "dentro"));
    EXPECT_FALSE(std::filesystem::exists(scoreTemporaryFile(folder.scoreFile())));
}

TEST(ScoreFileWriting, AReadOnlyFolderKeepsTheOldFile)
{
    ScratchFolder folder;
    const std::string old = fullTableFile();
    writeBytes(folder.scoreFile(), old);
    std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    {
        std::ofstream probe(folder.path() / "prova");
        if (probe)
            GTEST_SKIP() << "this user writes into read-only folders";
    }
    ScoreTable table;
    EXPECT_FALSE(writeScoreFile(folder.scoreFile(), table));
    EXPECT_EQ(readBytes(folder.scoreFile()), old);
}

TEST(ScoreFileWriting, AMissingFolderIsReportedNotThrown)
{
    ScratchFolder folder;
    ScoreTable table;
    EXPECT_FALSE(writeScoreFile(folder.path() / "manca" / kScoreFileName, table));
}

// ---------------------------------------------------------------- player's row

TEST(PlayerRow, TheLastRowWithTheSameNameAndPointsWins)
{
    ScoreTable table;
    table.TableNames(2) = "Brivo";
    table.TablePoints(2) = 900;
    table.TableNames(7) = "Brivo";
    table.TablePoints(7) = 900;
    table.TableNames(9) = "Brivo";
    table.TablePoints(9) = 800;
    table.TableNames(10) = "brivo";
    table.TablePoints(10) = 900;
    EXPECT_EQ(findPlayerRow(table, "Brivo", 900), 7);
    EXPECT_EQ(findPlayerRow(table, "Brivo", 700), 0);
}

TEST(PlayerRow, SlotsOutsideTheTableDoNotCount)
{
    ScoreTable table;
    table.TableNames(51) = "Brivo";
    table.TablePoints(51) = 5;
    EXPECT_EQ(findPlayerRow(table, "Brivo", 5), 0);
}

TEST(PlayerRow, OnlyTheFirstThreeRowsMayPublish)
{
    EXPECT_FALSE(mayPublishRecord(0));
    EXPECT_TRUE(mayPublishRecord(1));
    EXPECT_TRUE(mayPublishRecord(3));
    EXPECT_FALSE(mayPublishRecord(4));
}

// ---------------------------------------------------------------- building the table

TEST(BuildingTheTable, TheFirstResultEverStartsTheFile)
{
    ScratchFolder folder;
    ScoreTable table;
    const ScoreTableView view = buildScoreTable(recording(folder.path(), "Brivo", 120), table);

    ASSERT_EQ(view.listRows.size(), 51u);
    EXPECT_EQ(view.listRows[0], "N. - Nome         Punti");
    EXPECT_EQ(view.listRows[1], "01 - Brivo        00,120");
    EXPECT_EQ(view.listRows[2], emptyRow(2));
    EXPECT_EQ(view.listRows[50], emptyRow(50));
    EXPECT_EQ(view.bestName, "Brivo");
    EXPECT_EQ(view.PlayerRow, 1);
    EXPECT_TRUE(view.publishingEnabled);
    EXPECT_TRUE(view.fileWritten);
    EXPECT_FALSE(view.writeFailed);

    const std::vector<std::string> lines = crlfLines(readBytes(folder.scoreFile()));
    ASSERT_EQ(lines.size(), 50u);
    EXPECT_EQ(lines[0], "Brivo, 120 ");
    for (std::size_t i = 1; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], ", 0 ");
}

TEST(BuildingTheTable, ATieLandsBelowTheOlderResultAndPushesTheLastRowOut)
{
    ScratchFolder folder;
    writeBytes(folder.scoreFile(), fullTableFile());
    ScoreTable table;
    // Row 3 holds 4800 points, row 4 holds 4700.
    const ScoreTableView view = buildScoreTable(recording(folder.path(), "Nuovo", 4800), table);

    EXPECT_EQ(view.PlayerRow, 4);
    EXPECT_FALSE(view.publishingEnabled);
    const std::vector<std::string> lines = crlfLines(readBytes(folder.scoreFile()));
    ASSERT_EQ(lines.size(), 50u);
    EXPECT_EQ(lines[2], "Giocatore03, 4800 ");
    EXPECT_EQ(lines[3], "Nuovo, 4800 ");
    EXPECT_EQ(lines[4], "Giocatore04, 4700 ");
    EXPECT_EQ(lines[49], "Giocatore49, 200 ");
    EXPECT_EQ(readBytes(folder.scoreFile()).find("Giocatore50"), std::string::npos);
    EXPECT_EQ(view.listRows[4], "04 - Nuovo        04,800");
    EXPECT_EQ(view.listRows[50], "50 - Giocatore49  00,200");
}

TEST(BuildingTheTable, AResultBelowFiftyFullRowsIsDropped)
{
    ScratchFolder folder;
    writeBytes(folder.scoreFile(), fullTableFile());
    ScoreTable table;
    const ScoreTableView view = buildScoreTable(recording(folder.path(), "Ultimo", 99), table);

    EXPECT_EQ(view.PlayerRow, 0);
    EXPECT_FALSE(view.publishingEnabled);
    EXPECT_TRUE(view.fileWritten);
    EXPECT_EQ(readBytes(folder.scoreFile()), fullTableFile());
    EXPECT_EQ(view.bestName, "Giocatore01");
}

TEST(BuildingTheTable, LookingAtTheTableShowsFileOrderAndLeavesTheFileAlone)
{
    // Out of order and with bare line feeds: any rewrite would show.
    ScratchFolder folder;
    const std::string file = "Basso, 10\nAlto, 900\n\"Virgola, sì\", 50\n";
    writeBytes(folder.scoreFile(), file);
    const auto before = std::filesystem::last_write_time(folder.scoreFile());
    ScoreTable table;
    const ScoreTableView view = buildScoreTable(looking(folder.path(), "Alto", 900), table);

    EXPECT_EQ(view.listRows[1], "01 - Basso        00,010");
    EXPECT_EQ(view.listRows[2], "02 - Alto         00,900");
    EXPECT_EQ(view.bestName, "Basso");
    EXPECT_EQ(view.PlayerRow, 2);
    EXPECT_TRUE(view.publishingEnabled);
    EXPECT_FALSE(view.fileWritten);
    EXPECT_FALSE(view.writeFailed);
    EXPECT_EQ(readBytes(folder.scoreFile()), file);
    EXPECT_EQ(std::filesystem::last_write_time(folder.scoreFile()), before);
    EXPECT_FALSE(std::filesystem::exists(scoreTemporaryFile(folder.scoreFile())));
}

TEST(BuildingTheTable, LookingWithoutAFileCreatesNone)
{
    ScratchFolder folder;
    ScoreTable table;
    const ScoreTableView view = buildScoreTable(looking(folder.path(), "Brivo", 0), table);
    EXPECT_EQ(view.listRows[1], emptyRow(1));
    EXPECT_EQ(view.bestName, "");
    EXPECT_FALSE(std::filesystem::exists(folder.scoreFile()));
}

TEST(BuildingTheTable, ALongNameIsCutInTheListButKeptWholeInTheFile)
{
    ScratchFolder folder;
    writeBytes(folder.scoreFile(), "Massimiliano Rossi, 700 \r\n");
    ScoreTable table;
    const ScoreTableView view = buildScoreTable(recording(folder.path(), "Brivo", 5), table);
    EXPECT_EQ(view.listRows[1], "01 - Massimiliano 00,700");
    EXPECT_EQ(view.bestName, "Massimiliano Rossi");
    EXPECT_EQ(crlfLines(readBytes(folder.scoreFile()))[0], "Massimiliano Rossi, 700 ");
}

TEST(BuildingTheTable, TheSameNameAndPointsOnRowsTwoAndSevenGiveRowSeven)
{
    ScratchFolder folder;
    writeBytes(folder.scoreFile(),
               "Capo, 990\r\nBrivo, 900\r\nA, 900\r\nB, 900\r\nC, 900\r\nD, 900\r\nBrivo, 900\r\nE, 10\r\n");
    ScoreTable table;
    const ScoreTableView view = buildScoreTable(looking(folder.path(), "Brivo", 900), table);
    EXPECT_EQ(view.PlayerRow, 7);
    EXPECT_FALSE(view.publishingEnabled);
}

TEST(BuildingTheTable, TwoGamesInARowBothStayInTheFile)
{
    ScratchFolder folder;
    ScoreTable table;
    buildScoreTable(recording(folder.path(), "Brivo", 300), table);
    const ScoreTableView second = buildScoreTable(recording(folder.path(), "Brivo", 500), table);
    EXPECT_EQ(second.PlayerRow, 1);
    const std::vector<std::string> lines = crlfLines(readBytes(folder.scoreFile()));
    ASSERT_EQ(lines.size(), 50u);
    EXPECT_EQ(lines[0], "Brivo, 500 ");
    EXPECT_EQ(lines[1], "Brivo, 300 ");
    EXPECT_EQ(lines[2], ", 0 ");
}

TEST(BuildingTheTable, EachBuildStartsFromEmptySlots)
{
    ScratchFolder folder;
    ScoreTable table;
    table.TableNames(5) = "Fantasma";
    table.TablePoints(5) = 77;
    buildScoreTable(looking(folder.path(), "Brivo", 0), table);
    EXPECT_EQ(table.TableNames(5), "");
    EXPECT_EQ(table.TablePoints(5), 0);
}

TEST(BuildingTheTable, AFailedWriteIsReportedAndTheOldFileKept)
{
    ScratchFolder folder;
    const std::string old = fullTableFile();
    writeBytes(folder.scoreFile(), old);
    std::filesystem::create_directory(scoreTemporaryFile(folder.scoreFile()));
    ScoreTable table;
    const ScoreTableView view = buildScoreTable(recording(folder.path(), "Brivo", 99999), table);
    EXPECT_TRUE(view.writeFailed);
    EXPECT_FALSE(view.fileWritten);
    // The table on screen still shows the result of the game just ended.
    EXPECT_EQ(view.PlayerRow, 1);
    EXPECT_EQ(readBytes(folder.scoreFile()), old);
}

TEST(BuildingTheTable, AnEmptyFileIsAnEmptyTable)
{
    ScratchFolder folder;
    writeBytes(folder.scoreFile(), "");
    ScoreTable table;
    const ScoreTableView view = buildScoreTable(recording(folder.path(), "Brivo", 120), table);
    EXPECT_EQ(view.listRows[1], "01 - Brivo        00,120");
    EXPECT_EQ(crlfLines(readBytes(folder.scoreFile())).size(), 50u);
}

TEST(BuildingTheTable, ASixtyRecordFileIsReadToSlotFiftyTwoAndTheNewResultTakesSlotFiftyOne)
{
    ScratchFolder folder;
    std::string text;
    for (int i = 1; i <= 60; ++i)
        text += "N" + std::to_string(i) + ", " + std::to_string(i) + " \r\n";
    writeBytes(folder.scoreFile(), text);
    ScoreTable table;
    const ScoreTableView view = buildScoreTable(recording(folder.path(), "Brivo", 1), table);
    // Records 53 to 60 are never read, and record 51 gives its slot to the new result.
    const std::string file = readBytes(folder.scoreFile());
    const std::vector<std::string> lines = crlfLines(file);
    ASSERT_EQ(lines.size(), 50u);
    EXPECT_EQ(lines[0], "N52, 52 ");
    EXPECT_EQ(lines[1], "N50, 50 ");
    EXPECT_EQ(lines[49], "N2, 2 ");
    EXPECT_EQ(file.find("N51"), std::string::npos);
    EXPECT_EQ(file.find("N53"), std::string::npos);
    EXPECT_EQ(view.PlayerRow, 0);
}

TEST(BuildingTheTable, BinaryJunkNeverStopsTheTable)
{
    ScratchFolder folder;
    std::string junk;
    for (int i = 0; i < 4096; ++i)
        junk.push_back(static_cast<char>((i * 37 + 11) % 256));
    writeBytes(folder.scoreFile(), junk);
    ScoreTable table;
    const ScoreTableView view = buildScoreTable(recording(folder.path(), "Brivo", 120), table);
    EXPECT_EQ(view.listRows.size(), 51u);
    bool wellFormed = false;
    EXPECT_EQ(crlfLines(readBytes(folder.scoreFile()), &wellFormed).size(), 50u);
    EXPECT_TRUE(wellFormed);
}

}  // namespace
}  // namespace vortigo
