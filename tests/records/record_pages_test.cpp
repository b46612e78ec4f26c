// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/record_pages.h"
#include "records/record_query.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace vortigo::records {
namespace {

// Each character a player may type that markup would take for its own,
// alone in a value: every rule of the escaping decides one case.
const std::pair<std::string, std::string> kEscaped[] = {
    {"&", "&amp;"}, {"<", "&lt;"}, {">", "&gt;"}, {"\"", "&quot;"}, {"'", "&#39;"},
};

TEST(RecordPages, NameAndNoteShownAsTyped)
{
    for (const auto& [typed, entity] : kEscaped) {
        const std::string table = tablePage({WorldTable{2, {TableRow{typed, 50, 1, "2001-03-05", "09:07", typed}}}});
        EXPECT_NE(table.find("<td>" + entity + "</td><td class=\"n\">50</td><td class=\"n\">1</td><td class=\"d\">"
                             "05-03-2001</td><td class=\"d\">09:07</td><td>" + entity + "</td></tr>"),
                  std::string::npos)
            << typed << "\n" << table;

        const std::string page = recordPage({"QRS", typed, 5, 3, 2001, 9, 7, 50, 1, typed, "", 2}, 7, false);
        EXPECT_NE(page.find("<dt>Giocatore</dt><dd>" + entity + "</dd>"), std::string::npos) << typed << "\n" << page;
        EXPECT_NE(page.find("<dt>Note</dt><dd>" + entity + "</dd>"), std::string::npos) << typed << "\n" << page;
        EXPECT_NE(page.find("Posizione nella tabella English: 7ª"), std::string::npos);
    }
    // Text that needs nothing stays as it is, accents included.
    EXPECT_EQ(htmlEscape("Nicolò 10%=$"), "Nicolò 10%=$");
}

// The player reads back what was stored, where it stands, and how to see its table;
// a reload is told apart; a refusal says that nothing was stored.
TEST(RecordPages, ARecordPageSaysWhatWasStoredAndWhere)
{
    const Submission record{"QRS", "Nino", 5, 3, 2001, 9, 7, -1234, 12, "di sera", "n@x.it", 3};
    const std::string stored = recordPage(record, 2, false);
    EXPECT_NE(stored.find("<p>Il tuo risultato è stato registrato nella tabella mondiale.</p>\n"
                          "<p><strong>Posizione nella tabella Latino: 2ª</strong></p>\n<dl>\n"
                          "<dt>Giocatore</dt><dd>Nino</dd>\n<dt>Punti</dt><dd>-1.234</dd>\n"
                          "<dt>Manche</dt><dd>12</dd>\n<dt>Dizionario</dt><dd>Latino</dd>\n"
                          "<dt>Data</dt><dd>05-03-2001</dd>\n<dt>Ora</dt><dd>09:07</dd>\n"
                          "<dt>Note</dt><dd>di sera</dd>\n</dl>\n<p><a href=\"/?lingua=3\">Vedi la tabella Latino</a></p>"),
              std::string::npos)
        << stored;
    const std::string again = recordPage(record, 2, true);
    EXPECT_NE(again.find("<title>Record già registrato</title>"), std::string::npos);
    EXPECT_NE(again.find("<p>Questo risultato era già nella tabella mondiale: non è stato registrato di nuovo.</p>"),
              std::string::npos)
        << again;
    const std::string refused = errorPage("Richiesta non valida", "Manca <il> campo");
    EXPECT_NE(refused.find("<h1>Richiesta non valida</h1>"), std::string::npos) << refused;
    EXPECT_NE(refused.find("<p class=\"errore\">Manca &lt;il&gt; campo</p>\n<p>Niente è stato registrato.</p>"),
              std::string::npos)
        << refused;
}

TEST(RecordPages, PointsGroupedByThousands)
{
    const std::pair<std::int32_t, std::string> cases[] = {
        {0, "0"},           {999, "999"},           {1000, "1.000"},          {-1000, "-1.000"},
        {-999, "-999"},     {1234567, "1.234.567"}, {INT_MAX, "2.147.483.647"}, {INT_MIN, "-2.147.483.648"},
    };
    for (const auto& [points, shown] : cases)
        EXPECT_EQ(italianPoints(points), shown) << points;
}

TEST(RecordPages, TablesNumberRowsAndSayWhenEmpty)
{
    const std::string page = tablePage({WorldTable{1, {TableRow{"A", 900, 2, "2001-03-05", "09:07", ""},
                                                       TableRow{"B", 800, 1, "2001-03-05", "09:07", ""}}},
                                        WorldTable{2, {}}, WorldTable{3, {}}});
    EXPECT_NE(page.find("<title>Tabella mondiale dei record</title>"), std::string::npos);
    const std::size_t first = page.find("<tr><td class=\"n\">1</td><td>A</td>");
    const std::size_t second = page.find("<tr><td class=\"n\">2</td><td>B</td>");
    EXPECT_TRUE(first != std::string::npos && second != std::string::npos && first < second) << page;
    const std::size_t english = page.find("<h2 id=\"lingua-2\">English</h2>\n<p>Nessun record ancora.</p>");
    const std::size_t latin = page.find("<h2 id=\"lingua-3\">Latino</h2>\n<p>Nessun record ancora.</p>");
    EXPECT_TRUE(english != std::string::npos && latin != std::string::npos && english < latin) << page;
    EXPECT_EQ(page.find("<table"), page.rfind("<table")) << "an empty table drawn all the same\n" << page;

    EXPECT_NE(tablePage({WorldTable{3, {}}}).find("<title>Tabella mondiale dei record: Latino</title>"),
              std::string::npos);

    // Every page leads to every table.
    for (const std::string& any : {page, recordPage({"QRS", "A", 5, 3, 2001, 9, 7, 50, 1, "", "", 3}, 1, false),
                                   errorPage("Richiesta non valida", "Manca il nome")})
        EXPECT_NE(any.find("<nav><a href=\"/\">Tutte le tabelle</a> <a href=\"/?lingua=1\">Italiano</a> "
                           "<a href=\"/?lingua=2\">English</a> <a href=\"/?lingua=3\">Latino</a></nav>"),
                  std::string::npos)
            << any;
}

}  // namespace
}  // namespace vortigo::records
