// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as the dictionary SLESSICO.1: making it current and drawing words
// of every length must end well, and every word drawn must be one the header
// can point at, read whole from the file.
#include "app/dictionary_file.h"
#include "fuzz/fuzz_support.h"
#include "tests/support/fake_platform.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

using namespace vortigo;

namespace {

// True when `word` stands in the file at a 1-based position p with
// p = start + m * length for a whole m: where the header's start and the
// word length put words.
bool standsWhereAWordCan(const std::string& file, const std::string& word, std::int64_t start, int length)
{
    const std::int64_t size = static_cast<std::int64_t>(file.size());
    std::int64_t first = ((start - 1) % length + length) % length;  // 0-based
    for (std::int64_t at = first; at + length <= size; at += length)
        if (file.compare(static_cast<std::size_t>(at), static_cast<std::size_t>(length), word) == 0)
            return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::filesystem::path& folder = fuzz::scratchFolder();
    fuzz::writeBytes(folder / "SLESSICO.1", bytes);

    GameState state;
    state.DictionaryIndex = 1;
    test::FakePlatform platform;
    fuzz::check(apridiz(state, platform, folder), "a dictionary that is there is taken");
    fuzz::check(platform.messages.empty() && !platform.ended, "no message for a dictionary that is there");

    double clock = 0.0;
    ClockRandom random([&clock] { return clock += 0.37; });
    for (int length = 3; length <= 15; ++length) {
        for (int draw = 0; draw < 4; ++draw) {
            state.WordsDrawn = static_cast<i16>(draw % GameState::kMaxWords);
            const i16 slot = state.WordsDrawn;
            const WordDraw outcome = DrawWord(state, platform, random, folder, length);
            fuzz::check(outcome != WordDraw::Missing, "the file is never missing");
            if (outcome == WordDraw::Stored) {
                fuzz::check(state.WordsDrawn == slot + 1, "a stored word takes the next slot");
                const std::string& word = state.WordList(slot);
                fuzz::check(word.size() == static_cast<std::size_t>(length), "a word has the length asked for");
                fuzz::check(standsWhereAWordCan(bytes, word, state.WordStart(length), length),
                            "a word is read whole from a place the header points at");
            } else {
                fuzz::check(state.WordsDrawn == slot, "a failed draw stores nothing");
            }
        }
    }
    // Lengths no dictionary has fail without touching the list.
    for (double odd : {2.4, 15.6, -3.0, 1e9, std::numeric_limits<double>::quiet_NaN()}) {
        state.WordsDrawn = 0;
        fuzz::check(DrawWord(state, platform, random, folder, odd) == WordDraw::Failed, "odd lengths fail");
        fuzz::check(state.WordsDrawn == 0, "odd lengths store nothing");
    }
    fuzz::check(platform.messages.empty(), "drawing from a present file shows nothing");
    return 0;
}
