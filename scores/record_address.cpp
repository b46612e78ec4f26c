// SPDX-License-Identifier: GPL-3.0-or-later
#include "record_address.h"

#include <string_view>

namespace vortigo {

namespace {

// Characters from..from+count-1 (from 1), or fewer when the text is shorter.
std::string mid(const std::string& text, std::size_t from, std::size_t count = std::string::npos)
{
    if (from - 1 >= text.size())
        return {};
    return text.substr(from - 1, count);
}

std::string trimBlanks(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

}  // namespace

std::string& cmbS(std::string& t)
{
    constexpr std::string_view kBreaksTheQuery = " %$&!=";
    for (char& c : t) {
        if (kBreaksTheQuery.find(c) != std::string_view::npos)
            c = '_';
    }
    return t;
}

std::string drawProgrammeLetters(ClockRandom& random, double secondsSinceMidnight)
{
    random.reseed(secondsSinceMidnight);
    std::string letters;
    for (int k = 0; k < 3; ++k)
        letters.push_back(static_cast<char>('A' + static_cast<int>(26.0 * random.next())));
    return letters;
}

std::string recordAddress(const GameState& state, const RecordEntry& entry, const std::string& programmeLetters,
                          const std::string& dateText, const std::string& timeText)
{
    std::string note = trimBlanks(entry.note);
    std::string address = kRecordServerAddress;
    address += "?Nome=";
    address += entry.playerName.empty() ? std::string(kAnonymousName) : entry.playerName;
    address += "&programma=Vortigo_";
    address += programmeLetters;
    // "mm-dd-yyyy" becomes "dd-mm-yyyy".
    address += "&data=";
    address += mid(dateText, 4, 3) + mid(dateText, 1, 3) + mid(dateText, 7);
    address += "&punti=";
    address += std::to_string(state.Score);
    address += "&Manches=";
    address += std::to_string(state.Round);
    address += "&Note=";
    address += cmbS(note);
    address += "&E_MAIL=";
    address += entry.email;
    address += "&ora=";
    address += mid(timeText, 1, 5);
    address += "&Language=";
    address += std::to_string(state.DictionaryIndex);
    return address;
}

std::string recordAddress(const GameState& state, const RecordEntry& entry, Platform& platform, ClockRandom& random)
{
    const std::string letters = drawProgrammeLetters(random, platform.secondsSinceMidnight());
    return recordAddress(state, entry, letters, platform.dateText(), platform.timeText());
}

void openRecordAddress(const GameState& state, const RecordEntry& entry, Platform& platform, ClockRandom& random)
{
    platform.runCommand("start " + recordAddress(state, entry, platform, random), kNormalWithFocus);
}

}  // namespace vortigo
