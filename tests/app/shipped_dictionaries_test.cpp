// SPDX-License-Identifier: GPL-3.0-or-later
// The three dictionaries delivered with the game, read as the game reads them.
#include "app/dictionary_file.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace vortigo;

namespace {

const std::filesystem::path kDataFolder = VORTIGO_DATA_DIR;

// A shipped dictionary read as the game reads it: its header, then its bytes.
class ShippedDictionary : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        state.DictionaryIndex = static_cast<i16>(GetParam());
        test::FakePlatform platform;
        ASSERT_TRUE(apridiz(state, platform, kDataFolder));
        bytes = test::readBytes(kDataFolder / dictionaryFileName(GetParam()));
    }
    GameState state;
    std::string bytes;
};

}  // namespace

TEST_P(ShippedDictionary, HoldsSortedWordsAPlayerWouldName)
{
    std::set<std::string> words;
    long long position = 409;  // lengths follow one another without gaps or overlaps
    for (int length = 3; length <= 15; ++length) {
        ASSERT_EQ(state.WordStart(length), position) << "length " << length;
        ASSERT_GE(state.WordCount(length), 0) << "length " << length;
        std::string previous;
        for (int k = 0; k < state.WordCount(length); ++k, position += length) {
            ASSERT_LE(position + length - 1, static_cast<long long>(bytes.size())) << "length " << length;
            const std::string w = bytes.substr(static_cast<std::size_t>(position - 1), static_cast<std::size_t>(length));
            for (char c : w)
                ASSERT_TRUE(c >= 'A' && c <= 'Z') << "\"" << w << "\" in length " << length;
            // Sorted and without repeats: a word of the wrong length shifts every
            // word after it and breaks the order at once.
            ASSERT_LT(previous, w) << "length " << length;
            previous = w;
            words.insert(w);
        }
        // A round asks for up to four distinct words of one length; a thin list would repeat.
        if (length >= 5 && length <= 10) {
            EXPECT_GE(state.WordCount(length), 500) << "length " << length;
        }
    }
    EXPECT_EQ(position, static_cast<long long>(bytes.size()) + 1);

    // Everyday words, some close to a blocked one or a dropped form, are there; vulgar, offensive,
    // function words and bare inflected forms or variant spellings are not: a player names nouns,
    // adjectives and verbs in their dictionary form.
    static const std::map<int, std::pair<std::vector<std::string>, std::vector<std::string>>> kByDictionary = {
        {1, {{"CASA", "LIBRO", "ZOCCOLO", "FINOCCHIO", "CAZZOTTO", "INTERESSATO"},
             {"ZOCCOLA", "CAZZO", "FROCIO", "NEGRO", "PORNOGRAFIA", "DELLA", "SOTTO", "DEBBO", "PROGETTATO"}}},
        {2, {{"HOUSE", "EVENING", "INTERESTED", "STOVE", "COCKPIT"},
             {"BUMMEST", "BITCH", "FAGGOT", "PORNOGRAPHY", "ABOUT", "QUICKLY", "GEESE", "AMAZING"}}},
        {3, {{"ROSA", "BELLUM", "ALLOQUOR", "SUBTILITAS", "VINCULUM"},
             {"MERETRIX", "STUPRUM", "ADLOQUOR", "SUPTILITAS", "VINCLUM", "QUOMODO", "NOSTER"}}},
    };
    for (const std::string& word : kByDictionary.at(GetParam()).first)
        EXPECT_EQ(words.count(word), 1U) << word << " is missing";
    for (const std::string& word : kByDictionary.at(GetParam()).second)
        EXPECT_EQ(words.count(word), 0U) << word << " should not be there";
}

INSTANTIATE_TEST_SUITE_P(ItalianoEnglishLatino, ShippedDictionary, ::testing::Values(1, 2, 3),
                         [](const auto& param) { return "SLESSICO_" + std::to_string(param.param); });
