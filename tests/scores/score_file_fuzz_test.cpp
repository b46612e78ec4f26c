// The table file is edited by hand, copied between machines and cut short by
// full disks; whatever it holds, reading it must end well and the game's own
// rewrite must give a well-formed file again.
#include "scores/score_table.h"
#include "score_files.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace vortigo {
namespace {

using test::crlfLines;

// Bytes that steer the reader: separators, quotes, line ends, blanks, digits, signs.
constexpr char kSpecial[] = {',', '"', '\r', '\n', ' ', '\t', '-', '+', '0', '9', '\0', '\x1A', '\xFF'};

std::string randomBytes(std::mt19937& draw, std::size_t length)
{
    std::string text(length, '\0');
    for (char& c : text)
        c = static_cast<char>(draw() & 0xFF);
    return text;
}

std::string randomFieldSoup(std::mt19937& draw, std::size_t length)
{
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        if (draw() % 3 == 0)
            text.push_back(kSpecial[draw() % sizeof kSpecial]);
        else
            text.push_back(static_cast<char>('A' + draw() % 26));
    }
    return text;
}

std::string wellFormedFile(std::mt19937& draw)
{
    std::string text;
    const int records = static_cast<int>(draw() % 70);
    for (int i = 0; i < records; ++i) {
        std::string name;
        for (unsigned k = draw() % 14; k > 0; --k)
            name.push_back(static_cast<char>(' ' + draw() % 224));
        if (draw() % 4 == 0)
            name = "\"" + name + "\"";
        text += name + ", " + std::to_string(static_cast<std::int32_t>(draw())) + " \r\n";
    }
    return text;
}

// Flips, inserts, deletes and duplicates bytes of a valid file.
std::string mutated(std::mt19937& draw, std::string text)
{
    for (unsigned m = 1 + draw() % 8; m > 0; --m) {
        const std::size_t at = text.empty() ? 0 : draw() % text.size();
        switch (draw() % 5) {
        case 0:
            if (!text.empty())
                text[at] = kSpecial[draw() % sizeof kSpecial];
            break;
        case 1:
            text.insert(at, 1, kSpecial[draw() % sizeof kSpecial]);
            break;
        case 2:
            if (!text.empty())
                text.erase(at, 1 + draw() % 10);
            break;
        case 3:
            text.insert(at, text.substr(at, draw() % 40));
            break;
        default:
            text.resize(at);  // cut short, as a full disk would
            break;
        }
    }
    return text;
}

std::string trimmedBlanks(const std::string& s)
{
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

void checkReadAndRewrite(const std::string& input)
{
    ScoreTable table;
    const int records = readScoreRecords(input, table);
    ASSERT_GE(records, 0);
    ASSERT_LE(records, kScoreSlots);
    rankScoreTable(table);

    // The rewrite is 50 CR LF lines, each reading back as one record.
    const std::string written = scoreFileText(table);
    bool wellFormed = false;
    ASSERT_EQ(crlfLines(written, &wellFormed).size(), 50u);
    ASSERT_TRUE(wellFormed);

    ScoreTable back;
    ASSERT_EQ(readScoreRecords(written, back), 50);
    for (int i = 1; i <= kScoreRows; ++i) {
        ASSERT_EQ(back.TablePoints(i), table.TablePoints(i)) << "row " << i;
        // Blanks around a name do not survive an unquoted line; nothing else changes.
        ASSERT_EQ(trimmedBlanks(back.TableNames(i)), trimmedBlanks(table.TableNames(i))) << "row " << i;
    }
    // From then on the file is a fixed point of read and write.
    const std::string rewritten = scoreFileText(back);
    ScoreTable again;
    readScoreRecords(rewritten, again);
    ASSERT_EQ(scoreFileText(again), rewritten);

    for (int i = 1; i <= kScoreRows; ++i)
        ASSERT_EQ(scoreRowText(i, table.TableNames(i), table.TablePoints(i), ".").empty(), false);
}

TEST(ScoreFileFuzz, RandomBytesReadAndRewriteCleanly)
{
    std::mt19937 draw(1);
    for (int round = 0; round < 3000; ++round) {
        const std::string input = randomBytes(draw, draw() % 2048);
        checkReadAndRewrite(input);
        if (testing::Test::HasFatalFailure())
            FAIL() << "round " << round;
    }
}

TEST(ScoreFileFuzz, SoupsOfCommasQuotesAndLineEndsReadAndRewriteCleanly)
{
    std::mt19937 draw(2);
    for (int round = 0; round < 5000; ++round) {
        const std::string input = randomFieldSoup(draw, draw() % 600);
        checkReadAndRewrite(input);
        if (testing::Test::HasFatalFailure())
            FAIL() << "round " << round;
    }
}

TEST(ScoreFileFuzz, MutatedTableFilesReadAndRewriteCleanly)
{
    std::mt19937 draw(3);
    for (int round = 0; round < 5000; ++round) {
        const std::string input = mutated(draw, wellFormedFile(draw));
        checkReadAndRewrite(input);
        if (testing::Test::HasFatalFailure())
            FAIL() << "round " << round;
    }
}

TEST(ScoreFileFuzz, TheWholeRoundTripThroughTheFolderSurvivesDamagedFiles)
{
    std::mt19937 draw(4);
    test::ScratchFolder folder;
    for (int round = 0; round < 150; ++round) {
        test::writeBytes(folder.scoreFile(), mutated(draw, wellFormedFile(draw)));
        ScoreTableRequest request;
        request.folder = folder.path();
        request.playerName = randomFieldSoup(draw, draw() % 11);
        request.Score = static_cast<i32>(draw() % 100000);
        request.recordNewScore = true;
        request.separator = ".";
        ScoreTable table;
        const ScoreTableView view = buildScoreTable(request, table);
        ASSERT_TRUE(view.fileWritten) << "round " << round;
        ASSERT_EQ(view.listRows.size(), 51u);
        bool wellFormed = false;
        ASSERT_EQ(crlfLines(test::readBytes(folder.scoreFile()), &wellFormed).size(), 50u) << "round " << round;
        ASSERT_TRUE(wellFormed);
    }
}

}  // namespace
}  // namespace vortigo
