// The three dictionaries delivered with the game, read as the game reads them.
#include "app/dictionary_file.h"
#include "tests/support/fake_platform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace vortigo;
namespace fs = std::filesystem;

namespace {

const fs::path kDataFolder = VORTIGO_DATA_DIR;

std::string wholeFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Shipped {
    GameState state;
    std::string bytes;
    std::map<int, std::vector<std::string>> words;  ///< by length, in file order
};

Shipped load(int index)
{
    Shipped d;
    d.state.DictionaryIndex = static_cast<i16>(index);
    test::FakePlatform platform;
    EXPECT_TRUE(apridiz(d.state, platform, kDataFolder)) << dictionaryFileName(index);
    d.bytes = wholeFile(kDataFolder / dictionaryFileName(index));
    for (int length = 3; length <= 15; ++length) {
        const long long start = d.state.WordStart(length);
        for (long long k = 1; k <= d.state.WordCount(length); ++k) {
            const long long at = start + (k - 1) * length - 1;
            if (at < 0 || at + length > static_cast<long long>(d.bytes.size()))
                break;
            d.words[length].push_back(d.bytes.substr(static_cast<std::size_t>(at), static_cast<std::size_t>(length)));
        }
    }
    return d;
}

class ShippedDictionary : public ::testing::TestWithParam<int> {};

std::string fileLabel(const ::testing::TestParamInfo<int>& param)
{
    return "SLESSICO_" + std::to_string(param.param);
}

}  // namespace

TEST_P(ShippedDictionary, HeaderDescribesTheWholeFileWithoutGapsOrOverlaps)
{
    const Shipped d = load(GetParam());
    ASSERT_GT(d.bytes.size(), 408u);
    long long expected = 409;
    for (int length = 3; length <= 15; ++length) {
        EXPECT_EQ(d.state.WordStart(length), expected) << "length " << length;
        EXPECT_GE(d.state.WordCount(length), 0) << "length " << length;
        expected = d.state.WordStart(length) + static_cast<long long>(d.state.WordCount(length)) * length;
    }
    EXPECT_EQ(expected, static_cast<long long>(d.bytes.size()) + 1);
    // The identification text is plain ASCII.
    for (std::size_t i = 0; i < 200; ++i)
        ASSERT_TRUE(d.bytes[i] >= ' ' && d.bytes[i] <= '~') << "byte " << i + 1;
}

TEST_P(ShippedDictionary, EveryWordIsUpperCaseAToZOfItsStatedLength)
{
    const Shipped d = load(GetParam());
    for (const auto& [length, words] : d.words) {
        ASSERT_EQ(static_cast<long long>(words.size()), d.state.WordCount(length));
        for (const std::string& word : words) {
            ASSERT_EQ(static_cast<int>(word.size()), length);
            for (char c : word)
                ASSERT_TRUE(c >= 'A' && c <= 'Z') << "\"" << word << "\" in length " << length;
        }
    }
}

TEST_P(ShippedDictionary, EveryPlayedLengthHasAtLeast500DifferentWords)
{
    // A round asks for up to four words of one length and keeps them
    // distinct, so a thin list would make rounds repetitive.
    const Shipped d = load(GetParam());
    for (int length = 5; length <= 10; ++length) {
        const auto found = d.words.find(length);
        ASSERT_NE(found, d.words.end()) << "length " << length;
        const std::set<std::string> distinct(found->second.begin(), found->second.end());
        EXPECT_GE(distinct.size(), 500u) << "length " << length;
    }
}

TEST_P(ShippedDictionary, WordsOfOneLengthAreSortedAndNeverRepeated)
{
    const Shipped d = load(GetParam());
    for (const auto& [length, words] : d.words) {
        for (std::size_t i = 1; i < words.size(); ++i)
            ASSERT_LT(words[i - 1], words[i]) << "length " << length;
    }
}

TEST_P(ShippedDictionary, AWholeRoundOfWordsCanBeDrawn)
{
    Shipped d = load(GetParam());
    test::FakePlatform platform;
    ClockRandom random([&platform] { return platform.secondsSinceMidnight(); });
    d.state.WordsDrawn = 0;
    for (int i = 0; i <= 19; ++i) {
        const int length = (i + 22) / 4;
        ASSERT_EQ(DrawWord(d.state, platform, random, kDataFolder, length), DrawOutcome::Stored) << "slot " << i;
        EXPECT_EQ(static_cast<int>(d.state.WordList(i).size()), length);
    }
    EXPECT_EQ(d.state.WordsDrawn, 20);
    EXPECT_TRUE(platform.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(ItalianoEnglishLatino, ShippedDictionary, ::testing::Values(1, 2, 3), fileLabel);
