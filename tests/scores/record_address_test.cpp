#include "scores/record_address.h"

#include "tests/support/fake_platform.h"

#include <gtest/gtest.h>

#include <set>

namespace vortigo {
namespace {

using test::FakePlatform;

GameState gameOf(i32 score, i16 round, i16 dictionary)
{
    GameState state;
    state.Score = score;
    state.Round = round;
    state.DictionaryIndex = dictionary;
    return state;
}

RecordEntry entryOf(std::string name, std::string note, std::string email)
{
    return {std::move(name), std::move(note), std::move(email)};
}

std::string valueOf(const std::string& address, const std::string& key)
{
    const std::size_t at = address.find(key);
    if (at == std::string::npos)
        return "<missing>";
    const std::size_t from = at + key.size();
    const std::size_t to = address.find("&", from);
    return address.substr(from, to == std::string::npos ? std::string::npos : to - from);
}

// ---------------------------------------------------------------- cmbS

TEST(CmbS, BlanksAndTheQueryBreakingSignsBecomeUnderscores)
{
    std::string note = "Top 10! 50%=$&";
    EXPECT_EQ(cmbS(note), "Top_10__50____");
}

TEST(CmbS, TheChangeIsMadeInTheStringItselfWhichIsAlsoTheResult)
{
    std::string note = "a b";
    std::string& result = cmbS(note);
    EXPECT_EQ(&result, &note);
    EXPECT_EQ(note, "a_b");
}

TEST(CmbS, EveryOtherCharacterStaysAsItWas)
{
    std::string note = "Così è: #1?+@/\"'";
    EXPECT_EQ(cmbS(note), "Così_è:_#1?+@/\"'");
    std::string empty;
    EXPECT_EQ(cmbS(empty), "");
}

// ---------------------------------------------------------------- address

TEST(RecordAddress, CarriesTheNineKeysInOrder)
{
    const std::string address = recordAddress(gameOf(1234, 3, 1), entryOf("Brivo", "Top 10! 50%=$&", "nome@provider"),
                                              "QRS", "03-05-2001", "09:07:45");
    EXPECT_EQ(address,
              "http://record.vortigo.example/vortigo.asp?Nome=Brivo&programma=Vortigo_QRS&data=05-03-2001"
              "&punti=1234&Manches=3&Note=Top_10__50____&E_MAIL=nome@provider&ora=09:07&Language=1");
}

TEST(RecordAddress, AnEmptyNameIsSentAsAnonimo)
{
    const std::string address = recordAddress(gameOf(1, 1, 2), entryOf("", "", ""), "AAA", "03-05-2001", "09:07:45");
    EXPECT_EQ(valueOf(address, "?Nome="), "Anonimo");
}

TEST(RecordAddress, ANameIsSentAsItStandsBlanksAndAccentsIncluded)
{
    const std::string address =
        recordAddress(gameOf(1, 1, 2), entryOf("Nicolò Bo", "", ""), "AAA", "03-05-2001", "09:07:45");
    EXPECT_EQ(valueOf(address, "?Nome="), "Nicolò Bo");
}

TEST(RecordAddress, TheDateIsSentDayFirstAndTheTimeWithoutSeconds)
{
    const std::string address = recordAddress(gameOf(1, 1, 1), entryOf("B", "", ""), "AAA", "03-05-2001", "09:07:45");
    EXPECT_EQ(valueOf(address, "&data="), "05-03-2001");
    EXPECT_EQ(valueOf(address, "&ora="), "09:07");
}

TEST(RecordAddress, TheNoteLosesItsOuterBlanksBeforeTheSignsAreReplaced)
{
    const std::string address =
        recordAddress(gameOf(1, 1, 1), entryOf("B", "   ciao a tutti  ", ""), "AAA", "03-05-2001", "09:07:45");
    EXPECT_EQ(valueOf(address, "&Note="), "ciao_a_tutti");
}

TEST(RecordAddress, TheEmailIsSentUntouched)
{
    const std::string address =
        recordAddress(gameOf(1, 1, 1), entryOf("B", "", " io @x.it "), "AAA", "03-05-2001", "09:07:45");
    EXPECT_NE(address.find("&E_MAIL= io @x.it &ora="), std::string::npos);
}

TEST(RecordAddress, ANegativeScoreKeepsItsSignAndHasNoSeparators)
{
    const std::string low = recordAddress(gameOf(-50, 2, 3), entryOf("B", "", ""), "AAA", "03-05-2001", "09:07:45");
    EXPECT_EQ(valueOf(low, "&punti="), "-50");
    const std::string high =
        recordAddress(gameOf(1234567, 12, 3), entryOf("B", "", ""), "AAA", "03-05-2001", "09:07:45");
    EXPECT_EQ(valueOf(high, "&punti="), "1234567");
    EXPECT_EQ(valueOf(high, "&Manches="), "12");
    EXPECT_EQ(valueOf(high, "&Language="), "3");
}

// ---------------------------------------------------------------- letters

TEST(ProgrammeLetters, ThreeCapitalsFromASingleClockReading)
{
    FakePlatform platform;
    ClockRandom random;
    const std::string address = recordAddress(gameOf(1, 1, 1), entryOf("B", "", ""), platform, random);
    EXPECT_EQ(platform.clockReadings, 1);
    const std::string letters = valueOf(address, "&programma=Vortigo_");
    ASSERT_EQ(letters.size(), 3u);
    for (char c : letters)
        EXPECT_TRUE(c >= 'A' && c <= 'Z') << letters;
}

TEST(ProgrammeLetters, TheSameStateAndClockGiveTheSameLetters)
{
    ClockRandom first;
    ClockRandom second;
    EXPECT_EQ(drawProgrammeLetters(first, 3600.5), drawProgrammeLetters(second, 3600.5));
}

TEST(ProgrammeLetters, AreDrawnAnewAtEveryClickEvenWithinOneTick)
{
    ClockRandom random;
    std::set<std::string> seen;
    std::set<char> letters;
    for (int click = 0; click < 600; ++click) {
        const std::string drawn = drawProgrammeLetters(random, 32865.0);
        seen.insert(drawn);
        letters.insert(drawn.begin(), drawn.end());
        for (char c : drawn)
            ASSERT_TRUE(c >= 'A' && c <= 'Z');
    }
    EXPECT_GT(seen.size(), 580u);
    EXPECT_EQ(letters.size(), 26u);
}

// ---------------------------------------------------------------- opening

TEST(OpeningTheRecordAddress, HandsTheWholeAddressToTheSystemInANormalWindow)
{
    FakePlatform platform;
    platform.date = "03-05-2001";
    platform.time = "09:07:45";
    ClockRandom random;
    openRecordAddress(gameOf(120, 2, 1), entryOf("Gian Maria", "Sono il migliore", "io e te@x.it"), platform, random);
    ASSERT_EQ(platform.commands.size(), 1u);
    const FakePlatform::Command& command = platform.commands.front();
    EXPECT_EQ(command.style, 1);
    ASSERT_EQ(command.line.rfind("start ", 0), 0u);
    const std::string address = command.line.substr(6);
    EXPECT_EQ(address.rfind("http://record.vortigo.example/vortigo.asp?Nome=Gian Maria&programma=Vortigo_", 0), 0u);
    EXPECT_NE(address.find("&data=05-03-2001&punti=120&Manches=2&Note=Sono_il_migliore&E_MAIL=io e te@x.it"
                           "&ora=09:07&Language=1"),
              std::string::npos);
}

}  // namespace
}  // namespace vortigo
