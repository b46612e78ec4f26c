#include "app/dictionary_file.h"
#include "tests/support/fake_platform.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

using namespace vortigo;
namespace fs = std::filesystem;

namespace {

const fs::path kExampleFolder = fs::path(VORTIGO_TEST_DATA) / "dictionaries";
// The ten words of the example file, at positions 409..458.
const std::vector<std::string> kExampleWords = {"ALBUM", "CANTO", "FIUME", "GATTO", "LUNGO",
                                                "MONTE", "NUOVO", "PORTA", "RADIO", "TORRE"};

// An 8-character field, right-aligned as the files write them.
std::string field(long long value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%8lld", value);
    return text;
}

// A 408-byte header with the same start and end for every length but the ones given.
std::string header(const std::vector<std::array<std::string, 3>>& entries = {})
{
    std::string text(200, ' ');
    for (int length = 3; length <= 15; ++length) {
        std::string start = field(409), end = field(409);
        for (const auto& e : entries) {
            if (std::stoi(e[0]) == length) {
                start = e[1];
                end = e[2];
            }
        }
        text += start + end;
    }
    return text;
}

// A folder of its own for each test, removed afterwards.
class TempFolder {
public:
    TempFolder()
    {
        static int serial = 0;
        m_path = fs::temp_directory_path()
            / ("vortigo-dict-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
        fs::remove_all(m_path);
        fs::create_directories(m_path);
    }
    ~TempFolder() { fs::remove_all(m_path); }
    const fs::path& path() const { return m_path; }
    void write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(m_path / name, std::ios::binary) << bytes;
    }

private:
    fs::path m_path;
};

GameState exampleState()
{
    GameState state;
    state.DictionaryIndex = 2;
    test::FakePlatform platform;
    EXPECT_TRUE(apridiz(state, platform, kExampleFolder));
    return state;
}

ClockRandom fixedClockRandom(double seconds = 36000.0)
{
    return ClockRandom([seconds] { return seconds; });
}

}  // namespace

// ---------------------------------------------------------------- header

TEST(DictionaryHeader, TheExampleEntryGivesStart409AndTenFiveLetterWords)
{
    GameState state;
    readDictionaryHeader(header({{"5", "     409", "     459"}}), state);
    EXPECT_EQ(state.WordStart(5), 409);
    EXPECT_EQ(state.WordCount(5), 10);
}

TEST(DictionaryHeader, AnEndFieldOneByteShortOfAWholeWordLeavesThatWordOut)
{
    GameState state;
    readDictionaryHeader(header({{"5", field(409), field(458)}}), state);
    EXPECT_EQ(state.WordCount(5), 9);
}

TEST(DictionaryHeader, EachLengthReadsItsOwnSixteenBytes)
{
    std::vector<std::array<std::string, 3>> entries;
    for (int length = 3; length <= 15; ++length)
        entries.push_back({std::to_string(length), field(1000 * length), field(1000 * length + 7 * length)});
    GameState state;
    readDictionaryHeader(header(entries), state);
    for (int length = 3; length <= 15; ++length) {
        EXPECT_EQ(state.WordStart(length), 1000 * length) << "length " << length;
        EXPECT_EQ(state.WordCount(length), 7) << "length " << length;
    }
}

TEST(DictionaryHeader, AFieldOfEightBlanksReadsAsZero)
{
    GameState state;
    state.WordStart.fill(55);
    state.WordCount.fill(55);
    readDictionaryHeader(header({{"4", "        ", "        "}, {"6", "        ", field(60)}}), state);
    EXPECT_EQ(state.WordStart(4), 0);
    EXPECT_EQ(state.WordCount(4), 0);
    EXPECT_EQ(state.WordStart(6), 0);
    EXPECT_EQ(state.WordCount(6), 10);
}

TEST(DictionaryHeader, BytesBeyondAShortHeaderReadAsBlanks)
{
    const std::string full = header({{"15", field(500), field(530)}});
    GameState state;
    state.WordStart.fill(55);
    state.WordCount.fill(55);
    // Cut inside the start field of length 15: what is left of it still reads.
    readDictionaryHeader(full.substr(0, 200 + 16 * 12 + 7), state);
    EXPECT_EQ(state.WordStart(15), 50);
    EXPECT_EQ(state.WordCount(15), -3);  // (0 - 50) \ 15, toward zero
    EXPECT_EQ(state.WordStart(14), 409);

    readDictionaryHeader("", state);
    for (int length = 3; length <= 15; ++length) {
        EXPECT_EQ(state.WordStart(length), 0);
        EXPECT_EQ(state.WordCount(length), 0);
    }
}

TEST(DictionaryHeader, FieldsAreReadLooselyAndRoundedToEven)
{
    GameState state;
    readDictionaryHeader(header({{"3", " 4 0 9  ", "420xx999"}, {"4", "  409.5 ", "  418.5 "}, {"5", "+409    ", "abc"}}),
                         state);
    EXPECT_EQ(state.WordStart(3), 409);  // blanks inside a field are skipped
    EXPECT_EQ(state.WordCount(3), 3);    // reading stops at the first letter: (420 - 409) \ 3
    EXPECT_EQ(state.WordStart(4), 410);  // 409.5 goes to the even 410
    EXPECT_EQ(state.WordCount(4), 2);    // 418.5 -> 418, (418 - 410) \ 4
    EXPECT_EQ(state.WordStart(5), 409);
    EXPECT_EQ(state.WordCount(5), -81);  // (0 - 409) \ 5 truncates toward zero
}

TEST(DictionaryHeader, AStartAfterTheEndGivesANegativeCountTruncatedTowardZero)
{
    GameState state;
    readDictionaryHeader(header({{"7", field(500), field(490)}}), state);
    EXPECT_EQ(state.WordCount(7), -1);
}

TEST(DictionaryHeader, HugeAndEmptyExponentsAreHeldWithin32Bits)
{
    GameState state;
    readDictionaryHeader(header({{"3", "9E99    ", "-9E99   "}, {"4", "0E999   ", "1E9     "}, {"5", "-1E300  ", "1E300   "}}),
                         state);
    EXPECT_EQ(state.WordStart(3), 2147483647);
    EXPECT_EQ(state.WordCount(3), (-2147483648LL - 2147483647LL) / 3);
    EXPECT_EQ(state.WordStart(4), 0);
    EXPECT_EQ(state.WordCount(4), 250000000);
    EXPECT_EQ(state.WordStart(5), -2147483648LL);
    EXPECT_EQ(state.WordCount(5), (2147483647LL + 2147483648LL) / 5);
}

// ---------------------------------------------------------------- apridiz

TEST(Apridiz, ReadsTheHeaderOfTheCurrentDictionary)
{
    GameState state;
    state.DictionaryIndex = 2;
    test::FakePlatform platform;
    EXPECT_TRUE(apridiz(state, platform, kExampleFolder));
    EXPECT_EQ(state.WordStart(5), 409);
    EXPECT_EQ(state.WordCount(5), 10);
    EXPECT_EQ(state.WordStart(9), 459);
    EXPECT_EQ(state.WordCount(9), 0);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_FALSE(platform.ended);
}

TEST(Apridiz, AMissingDictionaryIsFatalAndNamesTheFile)
{
    GameState state;
    state.DictionaryIndex = 3;
    state.WordStart.fill(77);
    test::FakePlatform platform;
    EXPECT_FALSE(apridiz(state, platform, kExampleFolder));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Errore fatale! non trovato file di vocabolario: SLESSICO.3");
    EXPECT_EQ(platform.messages[0].buttons, Buttons::Ok);
    EXPECT_TRUE(platform.ended);
    EXPECT_EQ(state.WordStart(5), 77);  // nothing half-read
}

TEST(Apridiz, AFolderWhereTheDictionaryShouldBeIsTreatedAsMissing)
{
    TempFolder folder;
    fs::create_directory(folder.path() / "SLESSICO.1");
    GameState state;
    state.DictionaryIndex = 1;
    test::FakePlatform platform;
    EXPECT_FALSE(apridiz(state, platform, folder.path()));
    EXPECT_EQ(platform.lastMessage(), "Errore fatale! non trovato file di vocabolario: SLESSICO.1");
    EXPECT_TRUE(platform.ended);
}

TEST(Apridiz, OnlyTheFirst408BytesAreTheHeader)
{
    // A body that looks like numbers must not leak into the last field.
    TempFolder folder;
    std::string bytes = header({{"15", field(409), "       4"}});
    bytes += "09999999";
    folder.write("SLESSICO.1", bytes);
    GameState state;
    state.DictionaryIndex = 1;
    test::FakePlatform platform;
    ASSERT_TRUE(apridiz(state, platform, folder.path()));
    EXPECT_EQ(state.WordCount(15), (4 - 409) / 15);
}

// ---------------------------------------------------------------- DrawWord

TEST(DrawWord, TheWordNumberComesFromTheDrawAndReadsItsOwnFiveBytes)
{
    GameState state = exampleState();
    test::FakePlatform platform;
    ClockRandom random = fixedClockRandom();
    std::set<std::string> seen;
    for (int i = 0; i < 300; ++i) {
        ClockRandom twin = random;
        state.WordsDrawn = 0;
        ASSERT_EQ(DrawWord(state, platform, random, kExampleFolder, 5.0), DrawOutcome::Stored);
        const int k = static_cast<int>(std::floor(twin.draw() * 10 + 1));
        ASSERT_EQ(state.WordList(0), kExampleWords.at(static_cast<std::size_t>(k - 1)));
        EXPECT_EQ(state.WordsDrawn, 1);
        seen.insert(state.WordList(0));
    }
    // Word 1 (positions 409..413) and word 10 (454..458) included.
    EXPECT_EQ(seen.size(), 10u);
    EXPECT_TRUE(platform.messages.empty());
}

TEST(DrawWord, EachCallReseedsFromTheClock)
{
    GameState state = exampleState();
    test::FakePlatform platform;
    int readings = 0;
    ClockRandom random([&readings] {
        ++readings;
        return 100.0;
    });
    state.WordsDrawn = 0;
    DrawWord(state, platform, random, kExampleFolder, 5);
    DrawWord(state, platform, random, kExampleFolder, 5);
    EXPECT_EQ(readings, 2);
    EXPECT_EQ(state.WordsDrawn, 2);
}

TEST(DrawWord, WordsFillTheSlotsInOrder)
{
    GameState state = exampleState();
    test::FakePlatform platform;
    ClockRandom random = fixedClockRandom();
    state.WordsDrawn = 0;
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(DrawWord(state, platform, random, kExampleFolder, 5), DrawOutcome::Stored);
    EXPECT_EQ(state.WordsDrawn, 20);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(state.WordList(i).size(), 5u) << "slot " << i;
}

TEST(DrawWord, TheIncompleteLastWordIsNeverDrawn)
{
    TempFolder folder;
    std::string bytes = header({{"5", field(409), field(458)}});
    bytes += "ALBUMCANTOFIUMEGATTOLUNGOMONTENUOVOPORTARADIOTORRE";
    folder.write("SLESSICO.1", bytes);
    GameState state;
    state.DictionaryIndex = 1;
    test::FakePlatform platform;
    ASSERT_TRUE(apridiz(state, platform, folder.path()));
    ClockRandom random = fixedClockRandom();
    for (int i = 0; i < 300; ++i) {
        state.WordsDrawn = 0;
        ASSERT_EQ(DrawWord(state, platform, random, folder.path(), 5), DrawOutcome::Stored);
        ASSERT_NE(state.WordList(0), "TORRE");
    }
}

TEST(DrawWord, ALengthWithNoWordsStillYieldsTheBytesAtItsStart)
{
    GameState state = exampleState();
    state.WordStart(7) = 409;
    state.WordCount(7) = 0;
    test::FakePlatform platform;
    ClockRandom random = fixedClockRandom();
    for (int i = 0; i < 20; ++i) {
        state.WordsDrawn = 0;
        ASSERT_EQ(DrawWord(state, platform, random, kExampleFolder, 7), DrawOutcome::Stored);
        EXPECT_EQ(state.WordList(0), "ALBUMCA");
    }
}

TEST(DrawWord, TheLengthIsRoundedToEvenBeforeUse)
{
    GameState state = exampleState();
    test::FakePlatform platform;
    ClockRandom random = fixedClockRandom();
    state.WordStart(4) = 409;
    state.WordCount(4) = 1;
    state.WordStart(6) = 409;
    state.WordCount(6) = 1;

    state.WordsDrawn = 0;
    ASSERT_EQ(DrawWord(state, platform, random, kExampleFolder, 4.5), DrawOutcome::Stored);
    EXPECT_EQ(state.WordList(0), "ALBU");
    ASSERT_EQ(DrawWord(state, platform, random, kExampleFolder, 5.5), DrawOutcome::Stored);
    EXPECT_EQ(state.WordList(1), "ALBUMC");
    ASSERT_EQ(DrawWord(state, platform, random, kExampleFolder, 5.4), DrawOutcome::Stored);
    EXPECT_EQ(state.WordList(2).size(), 5u);
}

TEST(DrawWord, LengthsOutsideThreeToFifteenStoreNothingAndSayNothing)
{
    GameState state = exampleState();
    test::FakePlatform platform;
    ClockRandom random = fixedClockRandom();
    state.WordsDrawn = 3;
    state.WordList(3) = "before";
    for (double length : {2.0, 16.0, 2.5, 15.5, 0.0, -5.0, 40000.0, 1e300, std::nan("")}) {
        EXPECT_EQ(DrawWord(state, platform, random, kExampleFolder, length), DrawOutcome::Failed) << length;
    }
    EXPECT_EQ(state.WordsDrawn, 3);
    EXPECT_EQ(state.WordList(3), "before");
    EXPECT_TRUE(platform.messages.empty());
}

TEST(DrawWord, AFullWordListStoresNothingAndSaysNothing)
{
    GameState state = exampleState();
    test::FakePlatform platform;
    ClockRandom random = fixedClockRandom();
    state.WordsDrawn = 20;
    EXPECT_EQ(DrawWord(state, platform, random, kExampleFolder, 5), DrawOutcome::Failed);
    EXPECT_EQ(state.WordsDrawn, 20);
    state.WordsDrawn = -1;
    EXPECT_EQ(DrawWord(state, platform, random, kExampleFolder, 5), DrawOutcome::Failed);
    EXPECT_EQ(state.WordsDrawn, -1);
    EXPECT_TRUE(platform.messages.empty());
}

TEST(DrawWord, AMissingDictionaryIsReportedOnEveryDrawAndStoresNothing)
{
    GameState state = exampleState();
    state.DictionaryIndex = 3;
    state.WordsDrawn = 2;
    state.WordList(2) = "before";
    test::FakePlatform platform;
    ClockRandom random = fixedClockRandom();
    EXPECT_EQ(DrawWord(state, platform, random, kExampleFolder, 5), DrawOutcome::Missing);
    EXPECT_EQ(DrawWord(state, platform, random, kExampleFolder, 6), DrawOutcome::Missing);
    ASSERT_EQ(platform.messages.size(), 2u);
    for (const auto& message : platform.messages) {
        EXPECT_EQ(message.text, "Errore 0002: Non trovato file di vocabolario SLESSICO.3");
        EXPECT_EQ(message.buttons, Buttons::Ok);
    }
    EXPECT_EQ(state.WordsDrawn, 2);
    EXPECT_EQ(state.WordList(2), "before");
    EXPECT_FALSE(platform.ended);  // only start-up and a change of language end the program
}

TEST(DrawWord, AReadPastTheEndOfTheFileOrBeforeItsStartStoresNothing)
{
    GameState state = exampleState();
    test::FakePlatform platform;
    ClockRandom random = fixedClockRandom();
    state.WordsDrawn = 0;
    state.WordCount(5) = 1;
    for (int start : {455, 459, 100000, 2147483647, 0, -3, -2147483647 - 1}) {
        state.WordStart(5) = start;
        EXPECT_EQ(DrawWord(state, platform, random, kExampleFolder, 5), DrawOutcome::Failed) << start;
    }
    // The last five bytes are still a word.
    state.WordStart(5) = 454;
    EXPECT_EQ(DrawWord(state, platform, random, kExampleFolder, 5), DrawOutcome::Stored);
    EXPECT_EQ(state.WordList(0), "TORRE");
    EXPECT_EQ(state.WordsDrawn, 1);
    EXPECT_TRUE(platform.messages.empty());
}

TEST(DrawWord, AWordNumberBeyond16BitsStoresNothing)
{
    GameState state = exampleState();
    test::FakePlatform platform;
    ClockRandom random = fixedClockRandom();
    state.WordStart(5) = 409;
    state.WordCount(5) = 2000000000;
    state.WordsDrawn = 0;
    for (int i = 0; i < 50; ++i) {
        ClockRandom twin = random;
        const DrawOutcome outcome = DrawWord(state, platform, random, kExampleFolder, 5);
        const double k = std::floor(twin.draw() * 2000000000.0 + 1);
        if (k > 32767)
            EXPECT_EQ(outcome, DrawOutcome::Failed);
        else
            EXPECT_NE(outcome, DrawOutcome::Missing);  // fits, so it reads (and here runs past the end)
    }
    EXPECT_EQ(state.WordsDrawn, 0);
}

TEST(DrawWord, BytesAreStoredExactlyAsTheyStand)
{
    TempFolder folder;
    std::string bytes = header({{"6", field(409), field(415)}});
    bytes += std::string("a b\xE9") + '\0' + "Z";
    folder.write("SLESSICO.1", bytes);
    GameState state;
    state.DictionaryIndex = 1;
    test::FakePlatform platform;
    ASSERT_TRUE(apridiz(state, platform, folder.path()));
    ClockRandom random = fixedClockRandom();
    state.WordsDrawn = 0;
    ASSERT_EQ(DrawWord(state, platform, random, folder.path(), 6), DrawOutcome::Stored);
    EXPECT_EQ(state.WordList(0), std::string("a b\xE9", 4) + std::string(1, '\0') + "Z");
}

// ---------------------------------------------------------------- fuzz

namespace {

// Text that header fields are likely to hold, and a few that they are not.
char fuzzChar(std::mt19937& rng)
{
    static const std::string alphabet = "0123456789        +-.EeDd,xA\t\r\n";
    std::uniform_int_distribution<int> pick(0, 9);
    if (pick(rng) == 0)
        return static_cast<char>(std::uniform_int_distribution<int>(0, 255)(rng));
    return alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(rng)];
}

// A well-formed little dictionary, then broken in some random way.
std::string fuzzDictionary(std::mt19937& rng)
{
    std::uniform_int_distribution<int> coin(0, 3);
    std::string body;
    std::string text(200, ' ');
    long long position = 409;
    for (int length = 3; length <= 15; ++length) {
        const int count = std::uniform_int_distribution<int>(0, 6)(rng);
        text += field(position) + field(position + count * length);
        for (int i = 0; i < count * length; ++i)
            body += static_cast<char>('A' + std::uniform_int_distribution<int>(0, 25)(rng));
        position += count * length;
    }
    text += body;

    switch (coin(rng)) {
    case 0:  // a few bytes of the header changed
        for (int n = std::uniform_int_distribution<int>(1, 8)(rng); n > 0; --n)
            text[std::uniform_int_distribution<std::size_t>(200, 407)(rng)] = fuzzChar(rng);
        break;
    case 1:  // whole fields replaced by noise
        for (int n = std::uniform_int_distribution<int>(1, 6)(rng); n > 0; --n) {
            const std::size_t at = 200 + 8 * std::uniform_int_distribution<std::size_t>(0, 25)(rng);
            for (std::size_t i = 0; i < 8; ++i)
                text[at + i] = fuzzChar(rng);
        }
        break;
    case 2:  // cut anywhere, header included
        text.resize(std::uniform_int_distribution<std::size_t>(0, text.size())(rng));
        break;
    default:  // noise of any length
        text.assign(std::uniform_int_distribution<std::size_t>(0, 600)(rng), ' ');
        for (char& c : text)
            c = fuzzChar(rng);
        break;
    }
    return text;
}

}  // namespace

TEST(DictionaryFuzz, RandomHeadersAlwaysGiveValuesWithin32Bits)
{
    std::mt19937 rng(20240611);
    for (int i = 0; i < 20000; ++i) {
        std::string text(std::uniform_int_distribution<std::size_t>(0, 450)(rng), ' ');
        for (char& c : text)
            c = fuzzChar(rng);
        GameState state;
        readDictionaryHeader(text, state);
        for (int length = 3; length <= 15; ++length) {
            // Whatever the field, the count is an honest quotient of 32-bit values.
            const long long start = state.WordStart(length);
            const long long count = state.WordCount(length);
            ASSERT_LE(std::llabs(count), (4294967295LL / length) + 1);
            (void)start;
        }
    }
}

TEST(DictionaryFuzz, BrokenFilesNeverCrashAndAStoredWordIsExactlyTheBytesAtItsPlace)
{
    TempFolder folder;
    std::mt19937 rng(7);
    test::FakePlatform platform;
    // The clock keeps its own count, so a copy of the generator replays it.
    ClockRandom random([n = 0]() mutable { return static_cast<double>((n++ * 7919) % 86400); });
    int stored = 0;
    for (int i = 0; i < 2500; ++i) {
        const std::string bytes = fuzzDictionary(rng);
        folder.write("SLESSICO.1", bytes);
        GameState state;
        state.DictionaryIndex = 1;
        ASSERT_TRUE(apridiz(state, platform, folder.path()));
        for (int d = 0; d < 4; ++d) {
            const double length = std::uniform_int_distribution<int>(1, 17)(rng);
            state.WordsDrawn = static_cast<i16>(std::uniform_int_distribution<int>(0, 21)(rng));
            const i16 before = state.WordsDrawn;
            ClockRandom twin = random;
            const DrawOutcome outcome = DrawWord(state, platform, random, folder.path(), length);
            ASSERT_NE(outcome, DrawOutcome::Missing);
            if (outcome != DrawOutcome::Stored) {
                ASSERT_EQ(state.WordsDrawn, before);
                continue;
            }
            ++stored;
            const int l = static_cast<int>(length);
            ASSERT_EQ(state.WordsDrawn, before + 1);
            const std::string& word = state.WordList(before);
            ASSERT_EQ(word.size(), static_cast<std::size_t>(l));
            const long long k = static_cast<long long>(std::floor(twin.draw() * state.WordCount(l) + 1));
            const long long position = state.WordStart(l) + (k - 1) * l;
            ASSERT_GE(position, 1);
            ASSERT_EQ(word, bytes.substr(static_cast<std::size_t>(position - 1), static_cast<std::size_t>(l)));
        }
    }
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_GT(stored, 1000);  // the fuzz reaches the reading, not only the early exits
}
