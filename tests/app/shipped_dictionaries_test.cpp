// SPDX-License-Identifier: GPL-3.0-or-later
// The three dictionaries delivered with the game, read as the game reads them.
#include "app/dictionary_file.h"
#include "tests/support/fake_platform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

using namespace vortigo;

namespace {

const std::filesystem::path kDataFolder = VORTIGO_DATA_DIR;

class ShippedDictionary : public ::testing::TestWithParam<int> {};

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
        std::set<std::string> distinct;
        for (int k = 0; k < state.WordCount(length); ++k, position += length) {
            ASSERT_LE(position + length - 1, static_cast<long long>(bytes.size())) << "length " << length;
            const std::string word = bytes.substr(static_cast<std::size_t>(position - 1), static_cast<std::size_t>(length));
            for (char c : word)
                ASSERT_TRUE(c >= 'A' && c <= 'Z') << "\"" << word << "\" in length " << length;
            distinct.insert(word);
        }
        // A round asks for up to four distinct words of one length; a thin list would repeat.
        EXPECT_TRUE(length < 5 || length > 10 || distinct.size() >= 500) << distinct.size() << " of length " << length;
    }
    EXPECT_EQ(position, static_cast<long long>(bytes.size()) + 1);
}

INSTANTIATE_TEST_SUITE_P(ItalianoEnglishLatino, ShippedDictionary, ::testing::Values(1, 2, 3), fileLabel);
