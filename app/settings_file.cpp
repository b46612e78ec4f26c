// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings_file.h"

#include "core/file_reading.h"


namespace vortigo {

namespace {

std::string leftTrimBlanks(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    return std::string(s.substr(i));
}

std::string rightTrimBlanks(std::string_view s)
{
    std::size_t n = s.size();
    while (n > 0 && s[n - 1] == ' ')
        --n;
    return std::string(s.substr(0, n));
}

// Latin-1 case mapping: A-Z and the accented capitals 0xC0-0xDE (but 0xD7).
char lowerLatin1(char c)
{
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7))
        return static_cast<char>(u + 32);
    return c;
}

char upperLatin1(char c)
{
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7))
        return static_cast<char>(u - 32);
    return c;
}

int levelFromWord(std::string_view value)
{
    std::string word = leftTrimBlanks(value);
    for (char& c : word)
        c = lowerLatin1(c);
    if (word == "principiante")
        return 1;
    if (word == "medio")
        return 2;
    if (word == "esperto")
        return 3;
    return 0;  // anything else, the written "Basso" included, is Allenamento
}

bool soundFromWord(std::string_view value)
{
    std::string word = leftTrimBlanks(value);
    for (char& c : word)
        c = upperLatin1(c);
    return word == "SI";
}

void applyLine(std::string_view line, SettingsRead& out)
{
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return;
    const std::string_view value = line.substr(eq + 1);
    if (line.find("Livello=") != std::string_view::npos)
        out.level = levelFromWord(value);
    else if (line.find("Giocatore1=") != std::string_view::npos)
        out.playerName = rightTrimBlanks(value);
    else if (line.find("Suono=") != std::string_view::npos)
        out.sound = soundFromWord(value);
}

}  // namespace

SettingsRead parseSettings(std::string_view text)
{
    if (text.size() > kSettingsReadLimit)
        text = text.substr(0, kSettingsReadLimit);
    SettingsRead out;
    // Lines end in CR LF as written; a lone CR or LF (a file edited
    // elsewhere) ends a line too.
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        applyLine(text.substr(start, end - start), out);
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return out;
}

std::string formatSettings(const std::array<bool, 4>& levelChecked, std::string_view playerName, bool soundOn)
{
    const char* level = levelChecked[3]   ? "Esperto"
                        : levelChecked[2] ? "Medio"
                        : levelChecked[0] ? "Basso"
                                          : "Principiante";
    std::string out = "Livello=";
    out += level;
    out += "\r\nGiocatore1=";
    out += playerName;
    out += "\r\nSuono=";
    out += soundOn ? "SI" : "NO";
    out += "\r\n";
    return out;
}

std::optional<SettingsRead> readSettingsFile(const std::filesystem::path& folder)
{
    const std::optional<std::string> text = readFileStart(folder / kSettingsFileName, kSettingsReadLimit);
    if (!text)
        return std::nullopt;
    return parseSettings(*text);
}

WriteOutcome writeSettingsFile(const std::filesystem::path& folder, std::string_view text)
{
    return replaceFile(folder / kSettingsFileName, text);
}

std::string settingsWriteFailedMessage(const WriteOutcome& outcome)
{
    return "Non riesco a salvare le impostazioni nel file \"vortigo.INI\": " + writeFailureReason(outcome) +
           ".\nIl gioco continua, ma livello, nome e suono non verranno ricordati.";
}

}  // namespace vortigo
