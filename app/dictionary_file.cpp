// SPDX-License-Identifier: GPL-3.0-or-later
#include "dictionary_file.h"

#include "core/file_reading.h"
#include "core/number_rules.h"

#include <cmath>
#include <cstdint>
#include <fstream>
#include <limits>
#include <optional>
#include <system_error>

namespace vortigo {

namespace {

constexpr int kShortestWord = 3;
constexpr int kLongestWord = 15;
constexpr std::size_t kHeaderSize = 408;
constexpr std::size_t kFieldSize = 8;
// 0-based offset of the start field of the shortest length; each length
// takes 16 bytes, start field first, end field right after.
constexpr std::size_t kFirstEntryOffset = 200;
constexpr std::size_t kEntrySize = 16;

// The 8 characters of a field; bytes past the end of a short header are blanks.
std::string fieldAt(std::string_view header, std::size_t offset)
{
    std::string field(kFieldSize, ' ');
    for (std::size_t i = 0; i < kFieldSize && offset + i < header.size(); ++i)
        field[i] = header[offset + i];
    return field;
}

// A field's value as a whole number. The fields are text, so an exponent can
// make one as large as it likes: such values are held at the 32-bit limits,
// where they behave as any other position beyond the file.
std::int64_t fieldValue(std::string_view header, std::size_t offset)
{
    const double value = roundEven(readLooseNumber(fieldAt(header, offset)));
    if (std::isnan(value))  // "0E999" is 0 times infinity
        return 0;
    constexpr auto lo = static_cast<double>(std::numeric_limits<std::int32_t>::min());
    constexpr auto hi = static_cast<double>(std::numeric_limits<std::int32_t>::max());
    if (value <= lo)
        return std::numeric_limits<std::int32_t>::min();
    if (value >= hi)
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int64_t>(value);
}

// Opens the dictionary for raw reading. Nothing when the file cannot be read
// at all: absent, a folder of that name, or no permission to read it.
std::optional<std::ifstream> openDictionary(const std::filesystem::path& file)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in.is_open())
        return std::nullopt;
    return in;
}

}  // namespace

std::string dictionaryFileName(int dictionaryIndex)
{
    return "SLESSICO." + std::to_string(dictionaryIndex);
}

void readDictionaryHeader(std::string_view header, GameState& state)
{
    for (int length = kShortestWord; length <= kLongestWord; ++length) {
        const std::size_t entry = kFirstEntryOffset + kEntrySize * static_cast<std::size_t>(length - kShortestWord);
        const std::int64_t start = fieldValue(header, entry);
        const std::int64_t end = fieldValue(header, entry + kFieldSize);
        // Both values lie within 32 bits, so their difference cannot overflow
        // 64 and the quotient (by at least 3) fits back in 32. C++ division
        // truncates toward zero, as the count is defined.
        state.WordStart(length) = static_cast<std::int32_t>(start);
        state.WordCount(length) = static_cast<std::int32_t>((end - start) / length);
    }
}

bool apridiz(GameState& state, Platform& platform, const std::filesystem::path& folder)
{
    const std::string name = dictionaryFileName(state.DictionaryIndex);
    const std::optional<std::string> header = readFileStart(folder / name, kHeaderSize);
    if (!header) {
        // A file we cannot read is as useless as one that is not there: the
        // same fatal message, and the program stops before anything is saved.
        platform.messageBox("Errore fatale! non trovato file di vocabolario: " + name, Buttons::Ok);
        platform.endProgram();
        return false;
    }
    readDictionaryHeader(*header, state);
    return true;
}

WordDraw DrawWord(GameState& state, Platform& platform, ClockRandom& random,
                  const std::filesystem::path& folder, double length)
{
    const std::optional<std::int16_t> rounded = toInt16(roundEven(length));
    if (!rounded || *rounded < kShortestWord || *rounded > kLongestWord)
        return WordDraw::Failed;
    const int wordLength = *rounded;

    const std::string name = dictionaryFileName(state.DictionaryIndex);
    std::optional<std::ifstream> in = openDictionary(folder / name);
    if (!in) {
        platform.messageBox("Errore 0002: Non trovato file di vocabolario " + name, Buttons::Ok);
        return WordDraw::Missing;
    }

    // k runs from 1 to WordCount; with a count of 0 or less it is 1 or below,
    // and whatever stands at the start position is what the header asked for.
    const double u = random.draw();
    const std::optional<std::int16_t> k = toInt16(std::floor(u * state.WordCount(wordLength) + 1.0));
    if (!k)
        return WordDraw::Failed;

    const std::int64_t position = static_cast<std::int64_t>(state.WordStart(wordLength))
        + (static_cast<std::int64_t>(*k) - 1) * wordLength;
    if (position < 1)
        return WordDraw::Failed;

    std::string word(static_cast<std::size_t>(wordLength), ' ');
    in->seekg(static_cast<std::streamoff>(position - 1));
    if (!*in)
        return WordDraw::Failed;
    in->read(word.data(), wordLength);
    // A word cut short by the end of the file is no word.
    if (in->gcount() != wordLength)
        return WordDraw::Failed;

    if (state.WordsDrawn < 0 || state.WordsDrawn >= GameState::kMaxWords)
        return WordDraw::Failed;
    state.WordList(state.WordsDrawn) = std::move(word);
    ++state.WordsDrawn;
    return WordDraw::Stored;
}

}  // namespace vortigo
