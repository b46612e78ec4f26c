// SPDX-License-Identifier: GPL-3.0-or-later
#include "record_query.h"

#include <array>
#include <charconv>
#include <cstdio>

namespace vortigo::records {

namespace {

// The keys after the first, with their separators, in the order the game writes them.
enum Field { Nome, Programma, Data, Punti, Manches, Note, EMail, Ora, Language, FieldCount };
constexpr std::array<std::string_view, FieldCount> kKeys = {
    "Nome=", "&programma=", "&data=", "&punti=", "&Manches=", "&Note=", "&E_MAIL=", "&ora=", "&Language=",
};

constexpr std::string_view kProgrammePrefix = "Vortigo_";

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool allDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// Digits only, as an int; the caller bounds the length so it cannot overflow.
int digitsValue(std::string_view text)
{
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int month, int year)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// Decoded, valid UTF-8 without control characters, at most maxChars long
// (and at least minChars).
bool readText(std::string_view raw, std::size_t minChars, std::size_t maxChars, std::string& out)
{
    out = percentDecode(raw);
    for (unsigned char c : out) {
        if (c < 0x20 || c == 0x7F)
            return false;
    }
    const std::optional<std::size_t> length = utf8Length(out);
    return length && *length >= minChars && *length <= maxChars;
}

QueryError refuse(std::string message)
{
    return QueryError{std::move(message)};
}

std::string twoDigits(int n)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02d", n);
    return text;
}

}  // namespace

std::string Submission::isoDate() const
{
    return std::to_string(year) + "-" + twoDigits(month) + "-" + twoDigits(day);
}

std::string Submission::clockTime() const
{
    return twoDigits(hour) + ":" + twoDigits(minute);
}

std::string Submission::italianDate() const
{
    return twoDigits(day) + "-" + twoDigits(month) + "-" + std::to_string(year);
}

SubmissionKey keyOf(const Submission& s)
{
    return SubmissionKey{s.letters, s.name, s.isoDate(), s.clockTime(), s.points};
}

std::string percentDecode(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
            out.push_back(static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2])));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::optional<std::size_t> utf8Length(std::string_view text)
{
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        char32_t code = 0;
        if (lead < 0x80) {
            code = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            code = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            code = lead & 0x07;
        } else {
            return std::nullopt;
        }
        if (i + extra >= text.size())
            return std::nullopt;
        for (std::size_t k = 1; k <= extra; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return std::nullopt;
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF.
        if ((extra == 2 && code < 0x800) || (extra == 3 && (code < 0x10000 || code > 0x10FFFF)) ||
            (code >= 0xD800 && code <= 0xDFFF))
            return std::nullopt;
        i += extra + 1;
        ++count;
    }
    return count;
}

std::variant<Submission, QueryError> parseRecordQuery(std::string_view query)
{
    if (query.size() > kMaxTargetBytes)
        return refuse("La richiesta è troppo lunga.");
    if (!query.starts_with(kKeys[Nome]))
        return refuse("La richiesta non comincia con il nome del giocatore (Nome=).");

    // Where each value starts and ends. The name and the note cannot hold the
    // key that follows them (the name is too short, the note has its "&"
    // replaced by the game), so the first match ends them; the e-mail can hold
    // anything, so it runs to the last "&ora=", whose value and the
    // language's have fixed forms.
    std::array<std::string_view, FieldCount> raw;
    std::size_t start = kKeys[Nome].size();
    for (int field = Nome; field < Language; ++field) {
        const std::string_view next = kKeys[field + 1];
        const std::size_t end = field == EMail ? query.rfind(next) : query.find(next, start);
        if (end == std::string_view::npos || end < start) {
            std::string key(next.substr(1, next.size() - 2));
            return refuse("Manca il campo «" + key + "», oppure i campi non sono nell'ordine del gioco.");
        }
        raw[field] = query.substr(start, end - start);
        start = end + next.size();
    }
    raw[Language] = query.substr(start);

    Submission s;
    if (!readText(raw[Nome], 1, 10, s.name))
        return refuse("Il nome del giocatore deve avere da 1 a 10 caratteri di testo.");

    const std::string programme = percentDecode(raw[Programma]);
    if (programme.size() != kProgrammePrefix.size() + 3 || !programme.starts_with(kProgrammePrefix))
        return refuse("Il campo programma deve essere «Vortigo_» seguito da tre lettere maiuscole.");
    s.letters = programme.substr(kProgrammePrefix.size());
    for (char c : s.letters) {
        if (c < 'A' || c > 'Z')
            return refuse("Il campo programma deve essere «Vortigo_» seguito da tre lettere maiuscole.");
    }

    const std::string date = percentDecode(raw[Data]);
    const std::string_view d(date);
    if (d.size() != 10 || d[2] != '-' || d[5] != '-' || !allDigits(d.substr(0, 2)) || !allDigits(d.substr(3, 2)) ||
        !allDigits(d.substr(6, 4)))
        return refuse("La data deve essere un giorno vero nella forma gg-mm-aaaa.");
    s.day = digitsValue(d.substr(0, 2));
    s.month = digitsValue(d.substr(3, 2));
    s.year = digitsValue(d.substr(6, 4));
    if (s.year < 1900 || s.month < 1 || s.month > 12 || s.day < 1 || s.day > daysInMonth(s.month, s.year))
        return refuse("La data deve essere un giorno vero nella forma gg-mm-aaaa.");

    const std::string points = percentDecode(raw[Punti]);
    {
        const std::string_view digits = std::string_view(points).substr(points.starts_with('-') ? 1 : 0);
        long long value = 0;
        if (!allDigits(digits) || digits.size() > 10 ||
            std::from_chars(points.data(), points.data() + points.size(), value).ec != std::errc() ||
            value < INT32_MIN || value > INT32_MAX)
            return refuse("I punti devono essere un numero intero tra -2147483648 e 2147483647.");
        s.points = static_cast<std::int32_t>(value);
    }

    const std::string round = percentDecode(raw[Manches]);
    if (!allDigits(round) || round.size() > 5 || digitsValue(round) < 1 || digitsValue(round) > 32767)
        return refuse("La manche deve essere un numero tra 1 e 32767.");
    s.round = digitsValue(round);

    if (!readText(raw[Note], 0, 20, s.note))
        return refuse("La nota deve avere al massimo 20 caratteri di testo.");
    if (!readText(raw[EMail], 0, 40, s.email))
        return refuse("L'indirizzo e-mail deve avere al massimo 40 caratteri di testo.");

    const std::string time = percentDecode(raw[Ora]);
    const std::string_view t(time);
    if (t.size() != 5 || t[2] != ':' || !allDigits(t.substr(0, 2)) || !allDigits(t.substr(3, 2)) ||
        digitsValue(t.substr(0, 2)) > 23 || digitsValue(t.substr(3, 2)) > 59)
        return refuse("L'ora deve essere nella forma hh:mm, da 00:00 a 23:59.");
    s.hour = digitsValue(t.substr(0, 2));
    s.minute = digitsValue(t.substr(3, 2));

    const std::string language = percentDecode(raw[Language]);
    if (language != "1" && language != "2" && language != "3")
        return refuse("Il dizionario (Language) deve essere 1 (Italiano), 2 (English) o 3 (Latino).");
    s.language = language[0] - '0';
    return s;
}

std::optional<int> parseTableQuery(std::string_view query)
{
    if (query.empty())
        return 0;
    if (query == "lingua=1" || query == "lingua=2" || query == "lingua=3")
        return query.back() - '0';
    return std::nullopt;
}

std::string_view languageName(int language)
{
    switch (language) {
    case 1:
        return "Italiano";
    case 2:
        return "English";
    case 3:
        return "Latino";
    default:
        return "";
    }
}

}  // namespace vortigo::records
