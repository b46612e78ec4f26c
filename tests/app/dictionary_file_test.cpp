// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/dictionary_file.h"
#include "tests/support/dictionary_writer.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <tuple>

using namespace vortigo;
namespace fs = std::filesystem;

namespace {

// tests/data/dictionaries/SLESSICO.2: ten five-letter words at positions 409..458.
const fs::path kExampleFolder = fs::path(VORTIGO_TEST_DATA) / "dictionaries";

// The worked example made current.
class DictionaryFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        state.DictionaryIndex = 2;
        ASSERT_TRUE(apridiz(state, platform, kExampleFolder));
    }
    WordDraw draw(double length) { return DrawWord(state, platform, random, kExampleFolder, length); }

    GameState state;
    test::FakePlatform platform;
    ClockRandom random{[] { return 36000.0; }};
};

}  // namespace

TEST(DictionaryHeader, GivesEachLengthItsStartAndWholeWords)
{
    // A length, the 16 header bytes of that length, and the start and word count they give
    // (how a field reads as a number is the number reader's own test; the worked example
    // and a count truncated toward zero are read from whole files below).
    const std::tuple<int, const char*, long long, long long> cases[] = {
        {5, "     409     458", 409, 9},   // one byte short of a word leaves it out
        {4, "  410.5   418.5 ", 410, 2},  // halves go to even
        {5, "     409     405", 409, 0},  // a count below zero is cut toward zero
        {3, "9E99    -9E99   ", 2147483647, (-2147483648LL - 2147483647LL) / 3},  // held within 32 bits
        {4, "0E999   1E9     ", 0, 250000000},
    };
    for (const auto& [length, fields, start, count] : cases) {
        std::string bytes = test::dictionaryBytes({});  // every other field reads 409
        bytes.replace(200 + 16 * static_cast<std::size_t>(length - 3), 16, fields);
        GameState state;
        state.WordStart.fill(55);
        readDictionaryHeader(bytes, state);
        EXPECT_EQ(std::tuple(state.WordStart(length), state.WordCount(length)), std::tuple(start, count)) << fields;
        for (int other = 3; other <= 15; ++other)
            EXPECT_TRUE(other == length || state.WordStart(other) == 409) << fields << " spilled into " << other;
    }
}

TEST_F(DictionaryFile, ReadsOnlyItsHeaderAndNeverAWordCutShort)
{
    EXPECT_EQ(std::tuple(state.WordStart(5), state.WordCount(5)), std::tuple(409, 10));
    // A body that looks like digits must not run on into the last field.
    test::TestFolder folder("vortigo-dict");
    std::string bytes = test::dictionaryBytes({});
    bytes.replace(400, 8, "       4");
    test::writeBytes(folder.path() / "SLESSICO.1", bytes + "09999999");
    state.DictionaryIndex = 1;
    ASSERT_TRUE(apridiz(state, platform, folder.path()));
    EXPECT_EQ(state.WordCount(15), (4 - 409) / 15);

    // A damaged file whose second word is cut short by its end: only the whole first one, read from
    // right after the header, is ever drawn, and the draw reaches the last word too.
    const std::string whole = test::dictionaryBytes({{5, {"ALBUM", "CANTO"}}});
    test::writeBytes(folder.path() / "SLESSICO.1", whole.substr(0, whole.size() - 3));
    ASSERT_TRUE(apridiz(state, platform, folder.path()));
    std::map<WordDraw, int> outcomes;
    for (int i = 0; i < 40; ++i) {
        state.WordsDrawn = 0;
        const WordDraw outcome = DrawWord(state, platform, random, folder.path(), 5);
        ++outcomes[outcome];
        EXPECT_TRUE(outcome == WordDraw::Failed || state.WordList(0) == "ALBUM") << state.WordList(0);
    }
    EXPECT_EQ(outcomes.size(), 2u);  // both words were drawn
}

TEST_F(DictionaryFile, DrawsEveryWordOfItsLengthAlikeAndNoOther)
{
    // Three five-letter words, then the six-letter block: a draw past the
    // last five-letter word would read the start of a longer one.
    test::TestFolder folder("vortigo-draws");
    test::writeDictionary(folder.path() / "SLESSICO.1", {{5, {"ALBUM", "BANCO", "CANTO"}}, {6, {"DADINO"}}});
    state.DictionaryIndex = 1;
    ASSERT_TRUE(apridiz(state, platform, folder.path()));
    std::map<std::string, int> drawn;
    for (int i = 0; i < 600; ++i) {
        state.WordsDrawn = 0;
        ASSERT_EQ(DrawWord(state, platform, random, folder.path(), 5), WordDraw::Stored);
        ++drawn[state.WordList(0)];
    }
    EXPECT_EQ(drawn.size(), 3u);
    for (const auto& [word, times] : drawn)
        EXPECT_GT(times, 150) << word;  // about 200 each
}

TEST_F(DictionaryFile, AnImpossibleDrawDrawsNothing)
{
    for (const double length : {2.0, 16.0, 15.5}) {
        state.WordsDrawn = 0;
        EXPECT_EQ(draw(length), WordDraw::Failed) << length;
    }
    state.WordsDrawn = 20;  // the word list is full
    EXPECT_EQ(draw(5), WordDraw::Failed);
    EXPECT_EQ(state.WordsDrawn, 20);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(DictionaryFile, AMissingOneIsToldAtEveryDrawAndEndsNothing)
{
    // Only start-up and a change of language end the program (the copied game's
    // own test sees that, with a folder or a pipe in the file's place too).
    state.DictionaryIndex = 3;  // the example folder holds no SLESSICO.3
    state.WordsDrawn = 2;
    EXPECT_EQ(draw(5), WordDraw::Missing);
    EXPECT_EQ(draw(6), WordDraw::Missing);
    ASSERT_EQ(platform.messages.size(), 2u);
    for (const auto& message : platform.messages)
        EXPECT_EQ(message.text, "Errore 0002: Non trovato file di vocabolario SLESSICO.3");
    EXPECT_EQ(state.WordsDrawn, 2);
    EXPECT_FALSE(platform.ended);

    // Opening it, though, stops the game with one fatal message.
    EXPECT_FALSE(apridiz(state, platform, kExampleFolder));
    ASSERT_EQ(platform.messages.size(), 3u);
    EXPECT_EQ(platform.messages[2].text, "Errore fatale! non trovato file di vocabolario: SLESSICO.3");
    EXPECT_TRUE(platform.ended);
}
