// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/record_query.h"
#include "scores/record_address.h"
#include "tests/records/browser_address.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <variant>
#include <vector>

namespace vortigo::records {
namespace {

using test::asBrowserSends;
using test::game;
using test::queryOf;

// A query as the game writes it, with one value swapped for another.
std::string query(std::string_view key, std::string_view value)
{
    std::string text = "Nome=Brivo&programma=Vortigo_QRS&data=05-03-2001&punti=1234&Manches=3&Note=ciao"
                       "&E_MAIL=nome@provider&ora=09:07&Language=1";
    const std::string from = std::string(key) + "=";
    const std::size_t start = text.find(from) + from.size();
    const std::size_t end = text.find('&', start);
    return text.replace(start, (end == std::string::npos ? text.size() : end) - start, value);
}

Submission parsed(const std::string& text)
{
    auto result = parseRecordQuery(text);
    if (const QueryError* error = std::get_if<QueryError>(&result)) {
        ADD_FAILURE() << text << ": " << error->message;
        return {};
    }
    return std::get<Submission>(result);
}

// Every value in its own form: the name and e-mail as typed, the note
// trimmed with its six query-breaking characters made "_", the date turned
// day first, the time cut to minutes.
TEST(RecordAddress, CarriesEachValueInItsOwnForm)
{
    EXPECT_EQ(recordAddress(game(-1234, 3, 2), {" Bri vo ", "  Top 10! 50%=$& ", " a b@x.it "}, "QRS", "03-05-2001",
                            "09:07:45"),
              std::string(kRecordServerAddress) +
                  "?Nome= Bri vo &programma=Vortigo_QRS&data=05-03-2001&punti=-1234&Manches=3"
                  "&Note=Top_10__50____&E_MAIL= a b@x.it &ora=09:07&Language=2");
}

TEST(RecordQuery, ReadsBackWhatTheGameSends)
{
    struct Case {
        GameState state;
        RecordEntry entry;
        std::string name, note, email;
    };
    const Case cases[] = {
        {game(1234, 3, 1), {"io & te", "Top 10! 50%=$&", "io & te@x.it"}, "io & te", "Top_10__50____", "io & te@x.it"},
        {game(98765, 12, 2), {"", "", "nome@provider"}, "Anonimo", "", "nome@provider"},
        {game(-50, 1, 3), {"Nicolò Bo", "  così è +@ ", " me+v@x.it "}, "Nicolò Bo", "così_è_+@", " me+v@x.it "},
        // Texts that look like the keys that follow them.
        {game(7, 32767, 1), {"x&Note=y", "&E_MAIL=", "a&ora=b&Language=2"}, "x&Note=y", "_E_MAIL_", "a&ora=b&Language=2"},
        {game(2147483647, 5, 2), {"100% sì", "", "&E_MAIL=&ora=12:00"}, "100% sì", "", "&E_MAIL=&ora=12:00"},
    };
    for (const Case& c : cases) {
        const std::string address = recordAddress(c.state, c.entry, "QRS", "03-05-2001", "21:07:45");
        for (const std::string& sent : {queryOf(address), queryOf(asBrowserSends(address))}) {
            SCOPED_TRACE(sent);
            const Submission s = parsed(sent);
            EXPECT_EQ(s.name, c.name);
            EXPECT_EQ(s.note, c.note);
            EXPECT_EQ(s.email, c.email);
            EXPECT_EQ(s.isoDate(), "2001-03-05");
            EXPECT_EQ(s.clockTime(), "21:07");
            EXPECT_EQ(s.points, c.state.Score);
            EXPECT_EQ(s.round, c.state.Round);
            EXPECT_EQ(s.language, c.state.DictionaryIndex);
        }
    }
    // What a browser would cut or decode ("#", escapes typed as text) arrives
    // through the platform's handover as typed, "?" included.
    const std::string typed = recordAddress(game(420, 2, 1), {"#1 %41?", "Chi mi batte?", "io#te?@x.it%20"}, "QRS",
                                            "03-05-2001", "21:07:45");
    const Submission s = parsed(queryOf(asBrowserSends(typed)));
    EXPECT_EQ(s.name, "#1 %41?");
    EXPECT_EQ(s.note, "Chi_mi_batte?");
    EXPECT_EQ(s.email, "io#te?@x.it%20");
    EXPECT_EQ(s.language, 1);
}

TEST(RecordQuery, RefusesAnythingPastItsLimitsWithAReason)
{
    const std::pair<const char*, const char*> limits[] = {
        {"Nome", "ÀÀÀÀÀÀÀÀÀÀ"},          {"Nome", "%C3%80%C3%80%C3%80%C3%80%C3%80%C3%80%C3%80%C3%80%C3%80%C3%80"},
        {"Nome", "%F0%9F%98%80"},        {"programma", "Vortigo_ZZZ"},
        {"data", "29-02-2000"},          {"data", "31-12-1900"},
        {"punti", "-2147483648"},        {"Note", "12345678901234567890"},
        {"E_MAIL", "1234567890123456789012345678901234567890"},
        {"ora", "00:00"},                {"ora", "23:59"},
    };
    for (const auto& [key, value] : limits)
        EXPECT_TRUE(std::holds_alternative<Submission>(parseRecordQuery(query(key, value)))) << key << "=" << value;

    const std::pair<const char*, const char*> values[] = {
        // Too short or long, half a character, an overlong "/", a surrogate, not UTF-8, control characters.
        {"Nome", ""}, {"Nome", "ÀÀÀÀÀÀÀÀÀÀÀ"}, {"Nome", "%C3"}, {"Nome", "%C0%AF"}, {"Nome", "%ED%A0%80"},
        {"Nome", "%FF"}, {"Nome", "a%0Ab"}, {"Nome", "a%7Fb"},
        {"programma", "Vortigo_AB"}, {"programma", "Vortigo_ABCD"}, {"programma", "Vortigo_abc"},
        {"programma", "Vortigo_A1C"}, {"programma", "vortigo_ABC"},
        {"data", "31-04-2001"}, {"data", "29-02-2001"}, {"data", "29-02-1900"}, {"data", "00-01-2001"},
        {"data", "05-13-2001"}, {"data", "05-00-2001"}, {"data", "5-3-2001"}, {"data", "05/03/2001"},
        {"data", "05-03-1899"}, {"data", "0a-03-2001"},
        {"punti", "2147483648"}, {"punti", "-2147483649"}, {"punti", "12a"}, {"punti", "+5"}, {"punti", "-"},
        {"Manches", "0"}, {"Manches", "32768"}, {"Manches", "-1"},
        {"Note", "123456789012345678901"}, {"E_MAIL", "12345678901234567890123456789012345678901"},
        {"ora", "24:00"}, {"ora", "12:60"}, {"ora", "9:07"}, {"ora", "09.07"},
        {"Language", "0"}, {"Language", "4"}, {"Language", "12"},
    };
    // Each refusal names the field at fault, so a player sees what to mend.
    const std::map<std::string, std::string> reasons = {
        {"Nome", "Il nome del giocatore deve avere da 1 a 10 caratteri di testo."},
        {"programma", "Il campo programma deve essere «Vortigo_» seguito da tre lettere maiuscole."},
        {"data", "La data deve essere un giorno vero nella forma gg-mm-aaaa."},
        {"punti", "I punti devono essere un numero intero tra -2147483648 e 2147483647."},
        {"Manches", "La manche deve essere un numero tra 1 e 32767."},
        {"Note", "La nota deve avere al massimo 20 caratteri di testo."},
        {"E_MAIL", "L'indirizzo e-mail deve avere al massimo 40 caratteri di testo."},
        {"ora", "L'ora deve essere nella forma hh:mm, da 00:00 a 23:59."},
        {"Language", "Il dizionario (Language) deve essere 1 (Italiano), 2 (English) o 3 (Latino)."}};
    std::vector<std::pair<std::string, std::string>> refused;  // query and reason
    for (const auto& [key, value] : values)
        refused.emplace_back(query(key, value), reasons.at(key));
    // Every month's last day is taken, the day after it is not.
    const int lastDay[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const auto twoDigits = [](int n) { return (n < 10 ? "0" : "") + std::to_string(n); };
    for (int month = 1; month <= 12; ++month) {
        const std::string rest = "-" + twoDigits(month) + "-2001";
        const std::string last = twoDigits(lastDay[month - 1]) + rest;
        EXPECT_TRUE(std::holds_alternative<Submission>(parseRecordQuery(query("data", last)))) << last;
        refused.emplace_back(query("data", twoDigits(lastDay[month - 1] + 1) + rest), reasons.at("data"));
    }
    // Keys missing, renamed, out of order, encoded or followed by more.
    const std::string good = query("Nome", "Brivo");
    const auto lost = [](const std::string& key) {
        return "Manca il campo «" + key + "», oppure i campi non sono nell'ordine del gioco.";
    };
    refused.insert(refused.end(), {
        {"Nome=Brivo", lost("programma")},
        {good + "&extra=1", reasons.at("Language")},
        {"nome" + good.substr(4), "La richiesta non comincia con il nome del giocatore (Nome=)."},
        {"Nome=Brivo&data=05-03-2001&programma=Vortigo_QRS" + good.substr(good.find("&punti")), lost("data")},
        {good.substr(0, good.find("&Note")) + good.substr(good.find("&E_MAIL")), lost("Note")},
        {"Nome=Brivo%26" + good.substr(good.find("programma")), lost("programma")},
        {good + std::string(2048, 'x'), "La richiesta è troppo lunga."},
    });
    for (const auto& [text, reason] : refused) {
        const auto result = parseRecordQuery(text);
        const QueryError* error = std::get_if<QueryError>(&result);
        ASSERT_NE(error, nullptr) << text;
        EXPECT_EQ(error->message, reason) << text.substr(0, 200);
    }
    // What no game address holds: a "%" without two hex digits stays, "+" is no blank, and one pass only.
    EXPECT_EQ(percentDecode("100%-50%=x%2%zz"), "100%-50%=x%2%zz");
    EXPECT_EQ(percentDecode("a+b%2541%3d"), "a+b%41=");
}

TEST(ProgrammeLetters, AreFreshAtEveryClickEvenWithinOneTick)
{
    ClockRandom random;
    std::set<std::string> seen;
    std::set<char> letters;
    for (int click = 0; click < 600; ++click) {
        const std::string drawn = drawProgrammeLetters(random, 32865.0);
        ASSERT_EQ(drawn.size(), 3u);
        seen.insert(drawn);
        letters.insert(drawn.begin(), drawn.end());
    }
    EXPECT_GT(seen.size(), 580u);
    // Every capital and nothing else.
    EXPECT_EQ(std::string(letters.begin(), letters.end()), "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    // Two games just started, their players clicking at different moments,
    // draw different letters: the clock seeds them, not the program's start.
    std::set<std::string> firstClicks;
    for (const double at : {100.0, 32865.0, 32865.5, 86399.0}) {
        ClockRandom fresh;
        firstClicks.insert(drawProgrammeLetters(fresh, at));
    }
    EXPECT_EQ(firstClicks.size(), 4u);
}

}  // namespace
}  // namespace vortigo::records
