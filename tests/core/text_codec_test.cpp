// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text_codec.h"

#include <gtest/gtest.h>

#include <string>

using namespace vortigo;

TEST(TextCodec, EveryLatin1ByteCrossesToUtf8AndBackAndOthersBecomeQuestionMarks)
{
    // Names and words travel between the files (Latin-1) and the windows (UTF-8).
    for (int b = 1; b <= 255; ++b) {
        const std::string latin1(1, static_cast<char>(b));
        EXPECT_EQ(utf8ToLatin1(latin1ToUtf8(latin1)), latin1) << b;
    }
    EXPECT_EQ(latin1ToUtf8("Nicol\xF2 \xFF\xC0"), "Nicol\xC3\xB2 \xC3\xBF\xC3\x80");
    EXPECT_EQ(utf8ToLatin1("Zo\xC3\xAB \xE2\x82\xAC \xF0\x9F\x98\x80!"), "Zo\xEB ? ?!");  // a euro sign and an emoji
    EXPECT_EQ(utf8ToLatin1("\xC3"), "?");  // cut inside a character
}
