// SPDX-License-Identifier: GPL-3.0-or-later
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

namespace {

const std::filesystem::path kDataFolder = VORTIGO_DATA_DIR;

class ShippedDictionary : public ::testing::TestWithParam<int> {};

// Every word of a dictionary file, read through its header as the game reads it.
std::set<std::string> wordsOf(int dictionary)
{
    GameState state;
    state.DictionaryIndex = static_cast<i16>(dictionary);
    test::FakePlatform platform;
    std::set<std::string> words;
    if (!apridiz(state, platform, kDataFolder))
        return words;
    std::ifstream in(kDataFolder / dictionaryFileName(dictionary), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    for (int length = 3; length <= 15; ++length)
        for (long long k = 0; k < state.WordCount(length); ++k) {
            const long long at = state.WordStart(length) - 1 + k * length;
            if (at >= 0 && at + length <= static_cast<long long>(bytes.size()))
                words.insert(bytes.substr(static_cast<std::size_t>(at), static_cast<std::size_t>(length)));
        }
    return words;
}

std::string fileLabel(const ::testing::TestParamInfo<int>& param)
{
    return "SLESSICO_" + std::to_string(param.param);
}

}  // namespace

TEST_P(ShippedDictionary, TheHeaderCoversTheWholeFileAndEachLengthHoldsItsOwnAToZWords)
{
    GameState state;
    state.DictionaryIndex = static_cast<i16>(GetParam());
    test::FakePlatform platform;
    ASSERT_TRUE(apridiz(state, platform, kDataFolder));
    std::ifstream in(kDataFolder / dictionaryFileName(GetParam()), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};

    long long position = 409;  // lengths follow one another without gaps or overlaps
    for (int length = 3; length <= 15; ++length) {
        ASSERT_EQ(state.WordStart(length), position) << "length " << length;
        ASSERT_GE(state.WordCount(length), 0) << "length " << length;
        std::string previous;
        for (int k = 0; k < state.WordCount(length); ++k, position += length) {
            ASSERT_LE(position + length - 1, static_cast<long long>(bytes.size())) << "length " << length;
            const std::string word = bytes.substr(static_cast<std::size_t>(position - 1), static_cast<std::size_t>(length));
            for (char c : word)
                ASSERT_TRUE(c >= 'A' && c <= 'Z') << "\"" << word << "\" in length " << length;
            // Sorted and without repeats: a word of the wrong length shifts every
            // word after it and breaks the order at once.
            ASSERT_LT(previous, word) << "length " << length;
            previous = word;
        }
        // A round asks for up to four distinct words of one length; a thin list would repeat.
        if (length >= 5 && length <= 10) {
            EXPECT_GE(state.WordCount(length), 500) << "length " << length;
        }
    }
    EXPECT_EQ(position, static_cast<long long>(bytes.size()) + 1);
}

TEST_P(ShippedDictionary, HoldsEverydayWordsButNothingAFamilyWouldNotExpect)
{
    struct Expectation {
        std::vector<std::string> present;  // ordinary words, some of them close to a blocked one
        std::vector<std::string> absent;   // vulgar, offensive or bare inflected forms
    };
    static const std::map<int, Expectation> kByDictionary = {
        {1, {{"CASA", "LIBRO", "ZOCCOLO", "SCOPA", "FINOCCHIO", "CAZZOTTO", "SUCCESSO"},
             {"ZOCCOLA", "FICA", "FIGA", "CAZZO", "MERDA", "STRONZO", "PUTTANA", "TROIA", "FROCIO", "NEGRO",
              "SGUALDRINA", "PROSTITUTA", "PORNOGRAFIA", "VAGINA", "SPERMA"}}},
        {2, {{"HOUSE", "MEETING", "BUILDING", "INTERESTED", "GREATEST", "COCKPIT", "BUTTON", "ANALYSIS"},
             {"BUMMEST", "RUMMEST", "WANNEST", "BUMMING", "HAMMED", "HOTTER", "BITCH", "WHORE", "PUSSY", "FAGGOT",
              "RETARD", "MIDGET", "EROTIC", "PORNOGRAPHY", "PROSTITUTE", "TESTICLE"}}},
        {3, {{"ROSA", "BELLUM", "AMICITIA", "MANUS", "OCULUS", "ALLOQUOR", "SUBTILITAS"},
             {"MERETRIX", "SCORTUM", "STUPRUM", "STERCUS", "LENOCINIUM", "ANUS", "ADLOQUOR", "SUPTILITAS"}}},
    };
    const std::set<std::string> words = wordsOf(GetParam());
    ASSERT_FALSE(words.empty());
    for (const std::string& word : kByDictionary.at(GetParam()).present)
        EXPECT_EQ(words.count(word), 1U) << word << " is missing";
    for (const std::string& word : kByDictionary.at(GetParam()).absent)
        EXPECT_EQ(words.count(word), 0U) << word << " should not be there";
}

INSTANTIATE_TEST_SUITE_P(ItalianoEnglishLatino, ShippedDictionary, ::testing::Values(1, 2, 3), fileLabel);
