// SPDX-License-Identifier: GPL-3.0-or-later
// What reaches the server of the address the game builds: the platform
// hands the browser its browserAddress ("#" and "%" of the query encoded),
// then the browser keeps what comes before a "#" (the rest is the page's
// fragment, never sent) and makes blanks, quotes, angle brackets, control
// bytes and every byte of a non-ASCII character %XX; "&", "=", "?", "+" and
// "@" pass as they are.
#pragma once

#include "app/browser_address.h"
#include "core/game_state.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace vortigo::records::test {

inline std::string asBrowserSends(std::string_view address)
{
    std::string handed = browserAddress(std::string(address));
    handed = handed.substr(0, handed.find('#'));
    std::string out;
    for (char c : handed) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u >= 0x7F || c == '"' || c == '<' || c == '>' || c == '`') {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", u);
            out += escaped;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

/// The query of an address the game built: everything after its "?".
inline std::string queryOf(std::string_view address)
{
    return std::string(address.substr(address.find('?') + 1));
}

/// Path and query of an address the game built: everything from the "/" after the host.
inline std::string targetOf(std::string_view address)
{
    return std::string(address.substr(address.find('/', address.find("//") + 2)));
}

/// A finished game as the address builder reads it.
inline GameState game(i32 score, i16 round, i16 dictionary)
{
    GameState state;
    state.Score = score;
    state.Round = round;
    state.DictionaryIndex = dictionary;
    return state;
}

}  // namespace vortigo::records::test
