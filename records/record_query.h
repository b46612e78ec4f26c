// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the query of "/vortigo.asp" as the game writes it. The game sends
// the player's name and e-mail unencoded, so they may hold blanks and "&":
// the query is cut at the nine keys in their fixed order, never split on
// "&". Browsers may percent-encode what they pass on; each value is decoded
// after the cut, so an encoded "&" (%26) stays inside its value.
// Plain C++, no Qt: the server and the tests share it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace vortigo::records {

/// The longest request target (path and query, as bytes on the wire) that is
/// read at all. The longest honest one, every text field at its limit in
/// four-byte characters and all of it percent-encoded, stays under 1100.
inline constexpr std::size_t kMaxTargetBytes = 2048;

/// One submission, validated. Text is UTF-8.
struct Submission {
    std::string letters;  ///< the three capitals after "Vortigo_"
    std::string name;     ///< 1 to 10 characters
    int day = 0, month = 0, year = 0;
    int hour = 0, minute = 0;
    std::int32_t points = 0;
    int round = 0;        ///< 1..32767
    std::string note;     ///< 0 to 20 characters
    std::string email;    ///< 0 to 40 characters; stored, never shown
    int language = 0;     ///< 1 Italiano, 2 English, 3 Latino

    /// "yyyy-mm-dd" and "hh:mm": the forms stored, which sort as text.
    std::string isoDate() const;
    std::string clockTime() const;
    /// "dd-mm-yyyy", as the game sent it.
    std::string italianDate() const;
};

/// What identifies a submission: reloading the same address must not store
/// it twice. The letters are drawn afresh at every click, so two honest
/// clicks differ here even with the same result.
struct SubmissionKey {
    std::string letters, name, isoDate, clockTime;
    std::int32_t points = 0;
    friend bool operator==(const SubmissionKey&, const SubmissionKey&) = default;
};
SubmissionKey keyOf(const Submission& s);

/// Why a query was refused, in Italian, ready for the error page.
struct QueryError {
    std::string message;
};

/// Reads the query part (everything after "?", without it) of a request to
/// "/vortigo.asp".
std::variant<Submission, QueryError> parseRecordQuery(std::string_view query);

/// "%XX" with two hex digits becomes that byte; a "%" not followed by two hex
/// digits stays as it is, as browsers pass it on. "+" stays "+": the game
/// never form-encodes, and an e-mail may hold a "+".
std::string percentDecode(std::string_view text);

/// The number of characters of valid UTF-8 text, or nothing when the bytes
/// are not valid UTF-8 (overlong forms, surrogates and stray bytes included).
std::optional<std::size_t> utf8Length(std::string_view text);

/// The value of "lingua" in the table page's query ("lingua=2"): 0 when the
/// query is empty, the language 1..3, or nothing when the query is anything else.
std::optional<int> parseTableQuery(std::string_view query);

/// The dictionary's name as the table shows it: Italiano, English, Latino.
std::string_view languageName(int language);

}  // namespace vortigo::records
