// SPDX-License-Identifier: GPL-3.0-or-later
#include "record_pages.h"

namespace vortigo::records {

namespace {

// Small screens first: the table scrolls sideways inside its box rather than
// widening the page.
constexpr std::string_view kStyle =
    "body{font-family:sans-serif;margin:0 auto;max-width:46em;padding:0.5em 0.8em;color:#111;background:#fff}"
    "h1{font-size:1.4em;background:#ffff80;border:1px solid #444;padding:0.3em;text-align:center}"
    "h2{font-size:1.15em;margin-top:1.2em}"
    "nav a{margin-right:0.8em}"
    ".tabella{overflow-x:auto}"
    "table{border-collapse:collapse;width:100%;font-size:0.92em}"
    "th,td{border:1px solid #999;padding:0.2em 0.3em;text-align:left}"
    "th{background:#c0ffff}"
    "td.n{text-align:right;white-space:nowrap}"
    "td.d{white-space:nowrap}"
    "dl{display:grid;grid-template-columns:auto 1fr;gap:0.2em 0.8em}"
    "dt{font-weight:bold}dd{margin:0}"
    ".errore{border:2px solid #c00;padding:0.5em}";

std::string pageStart(std::string_view title)
{
    std::string page = "<!DOCTYPE html>\n<html lang=\"it\">\n<head>\n<meta charset=\"utf-8\" />\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\" />\n<title>";
    page += htmlEscape(title);
    page += "</title>\n<style>";
    page += kStyle;
    page += "</style>\n</head>\n<body>\n<h1>";
    page += htmlEscape(title);
    page += "</h1>\n";
    return page;
}

std::string navigation()
{
    std::string nav = "<nav><a href=\"/\">Tutte le tabelle</a>";
    for (int language = 1; language <= 3; ++language) {
        nav += " <a href=\"/?lingua=" + std::to_string(language) + "\">";
        nav += languageName(language);
        nav += "</a>";
    }
    nav += "</nav>\n";
    return nav;
}

constexpr std::string_view kPageEnd = "</body>\n</html>\n";

std::string italianDateOf(const std::string& isoDate)
{
    if (isoDate.size() != 10)
        return isoDate;
    return isoDate.substr(8, 2) + "-" + isoDate.substr(5, 2) + "-" + isoDate.substr(0, 4);
}

void addDetail(std::string& page, std::string_view label, std::string_view value)
{
    page += "<dt>";
    page += label;
    page += "</dt><dd>";
    page += htmlEscape(value);
    page += "</dd>\n";
}

}  // namespace

std::string htmlEscape(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

std::string italianPoints(std::int32_t points)
{
    const std::string digits = std::to_string(points < 0 ? -static_cast<std::int64_t>(points) : points);
    std::string out = points < 0 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out.push_back('.');
        out.push_back(digits[i]);
    }
    return out;
}

std::string recordPage(const Submission& record, int place, bool alreadyStored)
{
    std::string page = pageStart(alreadyStored ? "Record già registrato" : "Record registrato");
    page += navigation();
    page += "<p>";
    page += alreadyStored ? "Questo risultato era già nella tabella mondiale: non è stato registrato di nuovo."
                          : "Il tuo risultato è stato registrato nella tabella mondiale.";
    page += "</p>\n<p><strong>Posizione nella tabella ";
    page += languageName(record.language);
    page += ": " + std::to_string(place) + "ª</strong></p>\n<dl>\n";
    addDetail(page, "Giocatore", record.name);
    addDetail(page, "Punti", italianPoints(record.points));
    addDetail(page, "Manche", std::to_string(record.round));
    addDetail(page, "Dizionario", languageName(record.language));
    addDetail(page, "Data", record.italianDate());
    addDetail(page, "Ora", record.clockTime());
    addDetail(page, "Note", record.note);
    page += "</dl>\n<p><a href=\"/?lingua=" + std::to_string(record.language) + "\">Vedi la tabella ";
    page += languageName(record.language);
    page += "</a></p>\n";
    page += kPageEnd;
    return page;
}

std::string tablePage(const std::vector<WorldTable>& tables)
{
    std::string page = pageStart(tables.size() == 1 ? "Tabella mondiale dei record: " +
                                                          std::string(languageName(tables[0].language))
                                                    : std::string("Tabella mondiale dei record"));
    page += navigation();
    for (const WorldTable& table : tables) {
        page += "<h2 id=\"lingua-" + std::to_string(table.language) + "\">";
        page += languageName(table.language);
        page += "</h2>\n";
        if (table.rows.empty()) {
            page += "<p>Nessun record ancora.</p>\n";
            continue;
        }
        page += "<div class=\"tabella\"><table>\n<thead><tr><th>Pos.</th><th>Giocatore</th><th>Punti</th>"
                "<th>Manche</th><th>Data</th><th>Ora</th><th>Note</th></tr></thead>\n<tbody>\n";
        int place = 0;
        for (const TableRow& row : table.rows) {
            page += "<tr><td class=\"n\">" + std::to_string(++place) + "</td><td>" + htmlEscape(row.name) +
                    "</td><td class=\"n\">" + italianPoints(row.points) + "</td><td class=\"n\">" +
                    std::to_string(row.round) + "</td><td class=\"d\">" + htmlEscape(italianDateOf(row.isoDate)) +
                    "</td><td class=\"d\">" + htmlEscape(row.clockTime) + "</td><td>" + htmlEscape(row.note) +
                    "</td></tr>\n";
        }
        page += "</tbody>\n</table></div>\n";
    }
    page += kPageEnd;
    return page;
}

std::string errorPage(std::string_view title, std::string_view reason)
{
    std::string page = pageStart(title);
    page += "<p class=\"errore\">";
    page += htmlEscape(reason);
    page += "</p>\n<p>Niente è stato registrato.</p>\n";
    page += navigation();
    page += kPageEnd;
    return page;
}

}  // namespace vortigo::records
