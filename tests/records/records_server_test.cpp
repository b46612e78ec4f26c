// SPDX-License-Identifier: GPL-3.0-or-later
// The real vortigo-records on loopback ports, against a fresh SQLite file
// and against a throw-away PostgreSQL cluster, fed with addresses that the
// game's own code builds, as a browser passes them on; and Chromium from
// Debian as a player's browser.
#include "scores/record_address.h"
#include "tests/records/browser_address.h"
#include "tests/records/loopback_http.h"
#include "tests/records/throwaway_postgres.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <regex>
#include <thread>
#include <unistd.h>
#include <tuple>

namespace vortigo::records {
namespace {

using test::asBrowserSends;
using test::game;
using test::targetOf;

using test::Backend;
using test::ServerProcess;

// The address the game opens, as the browser then asks the server for it.
std::string sent(const GameState& state, const RecordEntry& entry, const std::string& letters,
                 const std::string& date, const std::string& time)
{
    return targetOf(asBrowserSends(recordAddress(state, entry, letters, date, time)));
}

// Empty when a page is well-formed as XML, which is stricter than HTML
// needs: every element closed, every "&" an entity.
std::string xmlProblem(const std::string& page)
{
    QXmlStreamReader reader(QString::fromStdString(page));
    while (!reader.atEnd())
        reader.readNext();
    return reader.hasError() ? reader.errorString().toStdString() + " at line " + std::to_string(reader.lineNumber())
                             : std::string();
}

// The page Chromium shows for an address, as its DOM.
std::string inChromium(const std::string& address)
{
    QTemporaryDir profile;
    QProcess chromium;
    chromium.setStandardErrorFile(QProcess::nullDevice());
    chromium.start("chromium", {"--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                                "--disable-background-networking", "--disable-component-update", "--disable-sync",
                                "--disable-dev-shm-usage", "--user-data-dir=" + profile.path(), "--dump-dom",
                                QString::fromStdString(address)});
    EXPECT_TRUE(chromium.waitForFinished(-1)) << "chromium did not run";
    return chromium.readAllStandardOutput().toStdString();
}

class RecordServer : public ::testing::TestWithParam<Backend> {};

TEST_P(RecordServer, ServersShareOneRankedTable)
{
    QTemporaryDir dir;
    QString database = dir.filePath("records.sqlite");
    std::optional<test::ThrowawayPostgres> postgres;
    if (GetParam() == Backend::PostgreSQL) {
        postgres.emplace();
        ASSERT_TRUE(postgres->url.startsWith("postgresql://")) << postgres->problem;
        database = postgres->url;
    }
    ServerProcess server(database);
    ServerProcess second(database, 2);  // two requests a minute from one address
    ASSERT_TRUE(server.port() > 0 && second.port() > 0);

    std::string bodies;
    const auto ask = [&](const ServerProcess& to, const std::string& target) {
        auto result = test::request(to.port(), target);
        EXPECT_TRUE(result) << target;
        if (!result)
            return test::HttpAnswer{};
        // Every page is Italian, made for a phone and well-formed.
        EXPECT_NE(result->body.find("<html lang=\"it\">"), std::string::npos) << target;
        EXPECT_NE(result->body.find("<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\" />"),
                  std::string::npos) << target;
        EXPECT_EQ(xmlProblem(result->body), "") << target << "\n" << result->body;
        // ... and HTML that a browser neither sniffs, nor runs a script in, nor names to another site.
        EXPECT_EQ(result->header("content-type"), "text/html; charset=utf-8") << target;
        EXPECT_EQ(result->header("content-security-policy"), "default-src 'none'; style-src 'unsafe-inline'") << target;
        EXPECT_EQ(result->header("x-content-type-options"), "nosniff") << target;
        EXPECT_EQ(result->header("referrer-policy"), "no-referrer") << target;
        bodies += result->body;
        return *result;
    };
    const std::string first = sent(game(5000, 3, 1), {"io & te", "Top 10! 50%=$&", "io & te@x.it"}, "QRS",
                                   "03-05-2001", "09:07:45");
    const std::tuple<std::string, std::string> records[] = {
        {first, "Italiano: 1ª"},
        // Equal points on the same day, played later: above the first.
        {sent(game(5000, 4, 1), {"Brivo", "", "nome@provider"}, "ABC", "03-05-2001", "10:00:01"), "Italiano: 1ª"},
        {sent(game(9000, 6, 1), {"Nicolò Bo", "", ""}, "XYZ", "12-31-2000", "23:59:59"), "Italiano: 1ª"},
        // What a player typed is shown as typed, never as markup.
        {sent(game(-1234567, 1, 2), {"<b>&amp;\"'", "</td><script>", "tom@x.uk"}, "TOM", "01-02-2003", "00:00:00"),
         "English: 1ª"},
    };
    for (const auto& [target, place] : records) {
        const test::HttpAnswer answer = ask(server, target);
        EXPECT_EQ(answer.header("cache-control"), "no-store");  // its address holds the e-mail
        EXPECT_NE(answer.body.find("<title>Record registrato</title>"), std::string::npos) << target << answer.body;
        EXPECT_NE(answer.body.find("Posizione nella tabella " + place), std::string::npos) << target << answer.body;
    }

    // Nothing of what follows may be stored. The query reader's own test
    // goes through every field; here, that a refusal stores nothing.
    const std::string good = sent(game(7000, 2, 3), {"Nuovo", "", ""}, "NEW", "03-05-2001", "09:07:45");
    std::string badDate = good;
    badDate.replace(badDate.find("data=05-03-2001"), 15, "data=31-02-2001");
    for (const std::string& target : {badDate, good + std::string(3000, 'x'), good + "&x=" + std::string(10000, 'x'),
                                      std::string("/?lingua=7")}) {
        const test::HttpAnswer answer = ask(server, target);
        EXPECT_EQ(answer.status, 400) << target.substr(0, 300);
        EXPECT_NE(answer.body.find("<h1>Richiesta non valida</h1>"), std::string::npos) << target.substr(0, 300);
    }
    // A link checker's HEAD learns that the address is good and stores nothing.
    const auto probe = test::request(server.port(), good, "HEAD");
    EXPECT_TRUE(probe && probe->status == 200 && probe->body.empty());
    // A GET that says it has no body, as some proxies send it, is answered; one with a body is refused.
    const auto raw = [&](const std::string& lengthAndBody) {
        return test::exchange(server.port(), "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n" + lengthAndBody)
            .value_or(test::HttpAnswer{})
            .status;
    };
    EXPECT_EQ(raw("Content-Length: 0\r\n\r\n"), 200);
    EXPECT_EQ(raw("Content-Length: 2\r\n\r\nab"), 400);
    const test::HttpAnswer tables = ask(server, "/");
    EXPECT_EQ(tables.header("cache-control"), "no-cache");  // a reload shows the newest records
    const std::string all = tables.body;
    const test::HttpAnswer missing = ask(server, "/vortigo.php");
    EXPECT_EQ(missing.status, 404);
    EXPECT_NE(missing.body.find("<h1>Pagina non trovata</h1>"), std::string::npos) << missing.body;
    const auto posted = test::request(server.port(), "/", "POST");
    EXPECT_TRUE(posted && posted->status == 405 && posted->header("allow") == "get, head");
    const std::size_t nicolo = all.find("<td>Nicolò Bo</td><td class=\"n\">9.000</td>");
    const std::size_t brivo = all.find("<td>Brivo</td><td class=\"n\">5.000</td>");
    const std::size_t ioETe = all.find("<td>io &amp; te</td><td class=\"n\">5.000</td><td class=\"n\">3</td>"
                                       "<td class=\"d\">05-03-2001</td><td class=\"d\">09:07</td><td>Top_10__50____</td>");
    const std::size_t hostile = all.find("<td>&lt;b&gt;&amp;amp;&quot;&#39;</td><td class=\"n\">-1.234.567</td>"
                                         "<td class=\"n\">1</td><td class=\"d\">02-01-2003</td><td class=\"d\">00:00</td>"
                                         "<td>&lt;/td&gt;&lt;script&gt;</td>");
    ASSERT_TRUE(nicolo != std::string::npos && brivo != std::string::npos && ioETe != std::string::npos &&
                hostile != std::string::npos)
        << all;
    EXPECT_LT(nicolo, brivo);
    EXPECT_LT(brivo, ioETe);
    EXPECT_LT(ioETe, hostile);  // Italiano, then English
    // Every refused request was for Latino; its own page says so too.
    EXPECT_NE(all.find("Nessun record ancora"), std::string::npos);
    EXPECT_NE(ask(server, "/?lingua=3").body.find("Nessun record ancora"), std::string::npos);
    EXPECT_EQ(ask(server, good).status, 200);

    // The second server, on the same database, takes a reload of the first
    // record as what it is and has the same tables; then its rate limit says no.
    const test::HttpAnswer reload = ask(second, first);
    EXPECT_NE(reload.body.find("<title>Record già registrato</title>"), std::string::npos) << reload.body;
    EXPECT_NE(reload.body.find("Posizione nella tabella Italiano: 3ª"), std::string::npos) << reload.body;
    EXPECT_EQ(ask(second, "/?lingua=1").body, ask(server, "/?lingua=1").body);
    const test::HttpAnswer refused = ask(second, "/");
    EXPECT_EQ(refused.statusLine(), "http/1.1 429 too many requests");
    EXPECT_NE(refused.body.find("<h1>Troppe richieste</h1>"), std::string::npos) << refused.body;
    EXPECT_EQ(refused.header("retry-after"), "60");

    // Chromium opens the address as the platform hands it over (blanks and
    // "?" as typed, "#" encoded), then shows the table.
    const std::string base = "http://127.0.0.1:" + std::to_string(server.port());
    std::string address = recordAddress(game(31415, 7, 1), {"Gian Maria", "Chi mi batte?", "io#te & co@x.it"}, "WEB",
                                        "03-05-2001", "09:07:45");
    address.replace(0, address.find("/vortigo.asp"), base);
    EXPECT_NE(inChromium(browserAddress(address)).find("<h1>Record registrato</h1>"), std::string::npos);
    const std::string table = inChromium(base + "/");
    EXPECT_NE(table.find("<td>Gian Maria</td><td class=\"n\">31.415</td>"), std::string::npos) << table;
    EXPECT_NE(table.find("<td>Chi_mi_batte?</td>"), std::string::npos) << table;

    // The e-mail is kept for the maker: no page shows one.
    bodies += table;
    EXPECT_EQ(bodies.find('@'), std::string::npos);
    EXPECT_EQ(bodies.find("<script>"), std::string::npos);
    EXPECT_EQ(bodies.find("<b>"), std::string::npos);
    EXPECT_EQ(second.stop(), 0);
    EXPECT_EQ(server.stop(), 0);
    // A log line names the path alone: the query carries the e-mail.
    EXPECT_FALSE(std::regex_search(server.log(), std::regex("(GET|HEAD) [^ ]*\\?"))) << server.log();
    EXPECT_NE(server.log().find("SIGTERM"), std::string::npos);
}

// A start refused on a read-only SQLite file leaves nothing behind that
// would refuse the next start once the file is writable again. Run as an
// ordinary user: root could write the file anyway.
TEST(RecordServerStart, StartsOnceAReadOnlyDatabaseIsWritable)
{
    QTemporaryDir dir;
    QStringList runAs;
    if (getuid() == 0) {
        ASSERT_EQ(QProcess::execute("chown", {"nobody:", dir.path()}), 0);
        runAs = {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"};
    }
    const QString database = dir.filePath("records.sqlite");
    ASSERT_EQ(ServerProcess(database, 0, runAs).stop(), 0);
    ASSERT_TRUE(QFile::setPermissions(database, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    EXPECT_EQ(ServerProcess(database, 0, runAs).stop(), 1);
    ASSERT_TRUE(QFile::setPermissions(database, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    EXPECT_EQ(ServerProcess(database, 0, runAs).stop(), 0) << QDir(dir.path()).entryList().join(' ').toStdString();
}

// One address may hold as many connections as its cap, and the server as
// many as its own, and not one more; a connection closed frees its place.
// (The command line's port and database win over the variables'.)
TEST(RecordServerStart, HoldsConnectionsToTheirCaps)
{
    QTemporaryDir dir;
    ServerProcess server(dir.filePath("records.sqlite"), 0, {},
                         {{"VORTIGO_RECORDS_MAX_PER_CLIENT", "2"}, {"VORTIGO_RECORDS_MAX_CONNECTIONS", "3"},
                          {"VORTIGO_RECORDS_PORT", "1"}, {"VORTIGO_RECORDS_DATABASE", "/nessuna/cartella.sqlite"}});
    const int port = server.port();
    ASSERT_GT(port, 0) << server.log();
    const auto hold = [port](const char* from) {
        const int fd = test::beginRequest(port, from);
        EXPECT_GE(fd, 0);
        return fd;
    };
    // Served at last, once a place is free (a ceiling against a hang).
    const auto servedFrom = [port](const char* from) {
        std::optional<test::HttpAnswer> answer;
        for (const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
             !answer && std::chrono::steady_clock::now() < until;)
            answer = test::request(port, "/", "GET", from);
        return answer && answer->status == 200;
    };
    const int first = hold("127.0.0.7"), second = hold("127.0.0.7");
    EXPECT_FALSE(test::request(port, "/", "GET", "127.0.0.7")) << "a third connection from one address was served";
    const int third = hold("127.0.0.8");
    EXPECT_FALSE(test::request(port, "/", "GET", "127.0.0.9")) << "a fourth connection was served";
    ::close(third);
    EXPECT_TRUE(servedFrom("127.0.0.9"));
    ::close(first);
    EXPECT_TRUE(servedFrom("127.0.0.7"));
    ::close(second);
    // Ctrl+C in a terminal stops it as cleanly as systemd's SIGTERM.
    EXPECT_EQ(server.stop(SIGINT), 0);
    EXPECT_NE(server.log().find("SIGINT ricevuto"), std::string::npos) << server.log();
}

// A browser asks for the next page on the connection it has; "Connection:
// close" ends it once the answer is out. A HEAD's answer is the head alone,
// with the length its page would have, so the next answer is read whole.
TEST(RecordServerStart, KeepsAConnectionOpenUntilToldToClose)
{
    QTemporaryDir dir;
    ServerProcess server(dir.filePath("records.sqlite"));
    const int fd = test::connectLoopback(server.port());
    ASSERT_GE(fd, 0) << server.log();
    const auto ask = [fd](const std::string& method, const std::string& connection) {
        return test::sendAll(fd, method + " / HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: " + connection + "\r\n\r\n");
    };
    std::string text;
    char chunk[16384];
    ssize_t n = 0;
    ASSERT_TRUE(ask("GET", "keep-alive"));
    std::optional<test::HttpAnswer> first;
    while (!(first = test::parseAnswer(text, false)) && (n = ::recv(fd, chunk, sizeof chunk, 0)) > 0)
        text.append(chunk, static_cast<std::size_t>(n));
    ASSERT_TRUE(first) << text;
    EXPECT_EQ(std::tuple(first->status, first->header("connection")), std::tuple(200, "keep-alive"));
    text.clear();
    EXPECT_TRUE(ask("HEAD", "keep-alive") && ask("GET", "close"));
    while ((n = ::recv(fd, chunk, sizeof chunk, 0)) > 0)
        text.append(chunk, static_cast<std::size_t>(n));
    EXPECT_EQ(n, 0) << "the connection was not closed";
    const std::size_t headEnd = text.find("\r\n\r\n") + 4;
    const auto head = test::parseAnswer(text.substr(0, headEnd), true);
    const auto last = test::parseAnswer(text.substr(headEnd), false);
    ASSERT_TRUE(head && last) << text.substr(0, 2000);
    EXPECT_EQ(std::tuple(head->status, head->header("content-length")),
              std::tuple(200, std::to_string(first->body.size())));
    EXPECT_TRUE(last->status == 200 && last->header("connection") == "close" && last->body == first->body);
    ::close(fd);
    // Two requests sent in one go, as a pipelining client sends them: two answers, in their order.
    const int both = test::connectLoopback(server.port());
    ASSERT_TRUE(test::sendAll(both, "GET /?lingua=2 HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"
                                    "GET /?lingua=3 HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n"));
    text = test::receiveAll(both, std::chrono::steady_clock::now() + std::chrono::seconds(5));
    ::close(both);
    const std::size_t secondAt = text.find("HTTP/1.1 ", 1);
    const auto english = test::parseAnswer(text.substr(0, secondAt), false);
    const auto latin = test::parseAnswer(secondAt == std::string::npos ? "" : text.substr(secondAt), false);
    ASSERT_TRUE(english && latin) << text.substr(0, 2000);
    EXPECT_EQ(english->body, test::request(server.port(), "/?lingua=2")->body);
    EXPECT_EQ(latin->body, test::request(server.port(), "/?lingua=3")->body);
    EXPECT_NE(english->body, latin->body);
    EXPECT_EQ(server.stop(), 0);

    // The server closed that connection itself, which keeps its port in
    // TIME_WAIT for a minute: a restart on the same port still listens.
    QProcess again;
    again.start(VORTIGO_RECORDS_BINARY, {"--port", QString::number(server.port()), "--database", dir.filePath("records.sqlite")});
    const std::regex listening("in ascolto su 127\\.0\\.0\\.1 porta " + std::to_string(server.port()) + ",");
    const std::string said = test::errorsUntil(again, listening);
    EXPECT_TRUE(std::regex_search(said, listening)) << said;
    again.terminate();
    EXPECT_TRUE(again.waitForFinished(10000));
}

// What a careless or hostile client sends gets a plain answer: too many or
// too long headers, an address that is not a path, a line that is not HTTP.
// The log shows a client's bytes only as printable text, cut short.
TEST(RecordServerStart, AnswersMalformedRequestsAndLogsThemSafely)
{
    QTemporaryDir dir;
    ServerProcess server(dir.filePath("records.sqlite"));
    ASSERT_GT(server.port(), 0) << server.log();
    const auto send = [&](const std::string& bytes) {
        return test::exchange(server.port(), bytes).value_or(test::HttpAnswer{});
    };
    const auto get = [&](const std::string& target, const std::string& headers = "") {
        return send("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n" + headers + "\r\n");
    };
    std::string fields;  // with Host and Connection, 100 header fields in all
    for (int i = 0; i < 98; ++i)
        fields += "X-" + std::to_string(i) + ": b\r\n";
    const test::HttpAnswer full = get("/", fields);
    EXPECT_EQ(full.statusLine(), "http/1.1 200 ok");
    EXPECT_TRUE(std::regex_match(full.header("date"), std::regex("[a-z]{3}, [0-9]{2} [a-z]{3} [0-9]{4} "
                                                                   "[0-9]{2}:[0-9]{2}:[0-9]{2} gmt")))
        << full.header("date");
    const std::string tooLong = "La richiesta è troppo lunga.", notUnderstood = "La richiesta non è stata capita.";
    const std::tuple<std::string, std::string, std::string> refused[] = {
        {"one field too many", "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n" + fields + "X: b\r\n\r\n",
         tooLong},
        {"a head over 16 KiB", "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nX: " + std::string(16400, 'b') + "\r\n\r\n", tooLong},
        {"a target over 2 KiB", "GET /" + std::string(2048, 'a') + " HTTP/1.1\r\nConnection: close\r\n\r\n", tooLong},
        {"an absolute address", "GET http://127.0.0.1/ HTTP/1.1\r\nConnection: close\r\n\r\n", notUnderstood},
        {"a line that is not HTTP", "CIAO\r\n\r\n", notUnderstood},
        {"a GET with a body", "GET / HTTP/1.1\r\nContent-Length: 3\r\nConnection: close\r\n\r\nabc", notUnderstood},
    };
    for (const auto& [what, bytes, reason] : refused) {
        const test::HttpAnswer answer = send(bytes);
        EXPECT_EQ(answer.statusLine(), "http/1.1 400 bad request") << what;
        EXPECT_NE(answer.body.find(reason), std::string::npos) << what << "\n" << answer.body;
    }
    // A client still sending the rest of a refused head is read and dropped
    // for a while, not reset: it can send on after its answer has come.
    const int sending = test::connectLoopback(server.port());
    test::sendAll(sending, "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nX: " + std::string(16400, 'b'));
    const auto refusal = test::parseAnswer(test::receiveAll(sending, std::chrono::steady_clock::now() + std::chrono::seconds(5)), false);
    EXPECT_EQ(refusal ? refusal->statusLine() : "", "http/1.1 400 bad request");
    bool taken = true;
    for (int i = 0; i < 10 && taken; ++i) {
        taken = test::sendAll(sending, std::string(1024, 'b'));
        QThread::msleep(10);
    }
    EXPECT_TRUE(taken) << "the connection was reset";
    ::close(sending);
    // A target of 2 KiB exactly is read, and the page is not there.
    const test::HttpAnswer missing = get("/" + std::string(2047, 'a'));
    EXPECT_EQ(missing.statusLine(), "http/1.1 404 not found");
    EXPECT_NE(missing.body.find("Questa pagina non esiste."), std::string::npos) << missing.body;
    const test::HttpAnswer posted = send("POST / HTTP/1.1\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(std::tuple(posted.statusLine(), posted.header("allow")), std::tuple("http/1.1 405 method not allowed", "get, head"));
    EXPECT_NE(posted.body.find("Qui si accettano solo richieste GET."), std::string::npos) << posted.body;
    // (The server reads the coarse clock, which may lag a tick behind.)
    const auto utcNow = [](int shift) { return QDateTime::currentDateTimeUtc().addSecs(shift).toString(Qt::ISODate).toStdString(); };
    const std::string before = utcNow(-1);
    const test::HttpAnswer odd = get("/caf\xC3\xA9/\\" + std::string(80, 'z'));
    const std::string after = utcNow(0);
    EXPECT_EQ(server.stop(), 0);
    const std::string log = server.log();
    const std::size_t at = log.find(" GET /caf\\xC3\\xA9/\\x5C" + std::string(72, 'z') + "... 404 ");
    ASSERT_NE(at, std::string::npos) << log;
    // Each line: when (UTC), who, what, the answer's status and length, and how long it took.
    const std::size_t lineStart = log.rfind('\n', at) + 1;
    const std::string line = log.substr(lineStart, log.find('\n', at) - lineStart);
    std::smatch found;
    ASSERT_TRUE(std::regex_match(line, found, std::regex("(\\S+) 127\\.0\\.0\\.1 GET \\S+ 404 ([0-9]+) [0-9]+\\.[0-9]ms"))) << line;
    EXPECT_TRUE(before <= found[1].str() && found[1].str() <= after) << line << " between " << before << " and " << after;
    EXPECT_EQ(found[2].str(), std::to_string(odd.body.size())) << line;
    EXPECT_NE(log.find(" GET /" + std::string(79, 'a') + "... 404 "), std::string::npos) << log;
}

// Servers sharing one SQLite file take turns at it: a record sent while
// another holds the file for writing waits its turn rather than failing.
TEST(RecordServerStart, WaitsItsTurnAtASharedSQLiteFile)
{
    QTemporaryDir dir;
    const QString database = dir.filePath("records.sqlite");
    ServerProcess server(database);
    ASSERT_GT(server.port(), 0) << server.log();
    {
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other-server");
        other.setDatabaseName(database);
        ASSERT_TRUE(other.open());
        ASSERT_TRUE(QSqlQuery(other).exec("BEGIN IMMEDIATE"));
        std::optional<test::HttpAnswer> answer;
        std::thread player([&] {
            answer = test::request(server.port(), sent(game(5000, 3, 1), {"Brivo", "", ""}, "ABC", "03-05-2001",
                                                       "10:00:01"));
        });
        QThread::msleep(500);  // the other server writes for half a second
        EXPECT_TRUE(QSqlQuery(other).exec("COMMIT"));
        player.join();
        EXPECT_TRUE(answer && answer->status == 200) << (answer ? answer->body : server.log());
    }
    QSqlDatabase::removeDatabase("other-server");
    EXPECT_EQ(server.stop(), 0);
}

// A database that goes away is no reason to stop: a table already shown
// stays shown; what needs the database is told as not reachable for now,
// with a time to try again, and the log says why; once the database is
// back, records are stored again.
TEST(RecordServerStart, RidesOutItsDatabaseGoingAway)
{
    test::ThrowawayPostgres postgres;
    ASSERT_TRUE(postgres.url.startsWith("postgresql://")) << postgres.problem;
    ServerProcess server(postgres.url);
    ASSERT_GT(server.port(), 0) << server.log();
    const auto shown = test::request(server.port(), "/?lingua=1");
    ASSERT_TRUE(shown && shown->status == 200);
    postgres.stop();
    const std::string record = sent(game(5000, 3, 1), {"Brivo", "", ""}, "ABC", "03-05-2001", "10:00:01");
    for (const std::string& target : {std::string("/?lingua=2"), record}) {
        const auto answer = test::request(server.port(), target);
        ASSERT_TRUE(answer) << target;
        EXPECT_EQ(std::tuple(answer->statusLine(), answer->header("retry-after"),
                             answer->header("cache-control")),
                  std::tuple("http/1.1 503 service unavailable", "30", "no-store")) << target;
        EXPECT_NE(answer->body.find("<h1>Tabella non disponibile</h1>"), std::string::npos) << answer->body;
    }
    const auto still = test::request(server.port(), "/?lingua=1");
    EXPECT_TRUE(still && still->status == 200 && still->body == shown->body);
    ASSERT_TRUE(postgres.resume());
    const auto stored = test::request(server.port(), record);
    EXPECT_TRUE(stored && stored->status == 200) << (stored ? stored->body : server.log());
    EXPECT_EQ(server.stop(), 0);
    EXPECT_NE(server.log().find("vortigo-records: database: "), std::string::npos) << server.log();
}

// A host's settings file may leave a variable empty (taken as unset) and
// turn the per-address cap off with 0, as behind a proxy; a value out of
// its range stops the start.
TEST(RecordServerStart, TakesEmptyVariablesAsUnsetAndACapOfZeroAsNone)
{
    QTemporaryDir dir;
    ServerProcess server(dir.filePath("records.sqlite"), 0, {},
                         {{"VORTIGO_RECORDS_ADDRESS", ""}, {"VORTIGO_RECORDS_PORT", ""}, {"VORTIGO_RECORDS_DATABASE", ""},
                          {"VORTIGO_RECORDS_THREADS", ""}, {"VORTIGO_RECORDS_MAX_CONNECTIONS", ""},
                          {"VORTIGO_RECORDS_MAX_PER_CLIENT", "0"}});
    ASSERT_GT(server.port(), 0) << server.log();
    // More connections from one address than the usual cap of 64, and still served.
    std::vector<int> held;
    for (int i = 0; i < 70; ++i) {
        held.push_back(test::beginRequest(server.port(), "127.0.0.7"));
        EXPECT_GE(held.back(), 0);
    }
    const auto answer = test::request(server.port(), "/", "GET", "127.0.0.7");
    EXPECT_TRUE(answer && answer->status == 200);
    for (int fd : held)
        ::close(fd);
    EXPECT_EQ(server.stop(), 0);

    // Started with no setting at all, as a host first tries it: its table is
    // vortigo-records.sqlite in the current folder, and one address may ask
    // sixty times in a burst, and then about once a second.
    ASSERT_TRUE(QDir(dir.path()).mkdir("plain"));
    QProcess plain;
    QProcessEnvironment bare = QProcessEnvironment::systemEnvironment();
    for (const QString& name : bare.keys())
        if (name.startsWith("VORTIGO_RECORDS_"))
            bare.remove(name);
    plain.setProcessEnvironment(bare);
    plain.setWorkingDirectory(dir.filePath("plain"));
    plain.start(VORTIGO_RECORDS_BINARY, {"--port=0"});
    static const std::regex listening("in ascolto su 127\\.0\\.0\\.1 porta ([0-9]+), database SQLite vortigo-records\\.sqlite\n");
    const std::string started = test::errorsUntil(plain, listening);
    std::smatch found;
    ASSERT_TRUE(std::regex_search(started, found, listening)) << started;
    EXPECT_TRUE(QFile::exists(dir.filePath("plain/vortigo-records.sqlite")));
    int served = 0;
    for (int i = 0; i < 70; ++i) {
        const auto page = test::request(std::stoi(found[1]), "/", "GET", "127.0.0.11");
        served += page && page->status == 200;
    }
    EXPECT_TRUE(served >= 60 && served < 70) << served;
    plain.terminate();
    EXPECT_TRUE(plain.waitForFinished(10000));

    // Started where the soft limit of open files is low, it raises that to
    // the hard limit and fits its connections to what this leaves.
    ServerProcess limited(dir.filePath("limited.sqlite"), 0, {"prlimit", "--nofile=1024:4096"});
    ASSERT_GT(limited.port(), 0) << limited.log();
    EXPECT_EQ(limited.stop(), 0);
    EXPECT_NE(limited.log().find("al massimo 4032 connessioni (limite dei file aperti 4096)"), std::string::npos)
        << limited.log();

    // What stops the start is told on standard error: a setting out of its
    // range, from a flag or from a variable, ends with status 2 and the way
    // to the help; a database or a port the machine refuses, with status 1.
    ServerProcess holder(dir.filePath("holder.sqlite"));
    ASSERT_GT(holder.port(), 0) << holder.log();
    const std::string port = std::to_string(holder.port()), toHelp = "\nProva: vortigo-records --help\n";
    const QString newer = dir.filePath("newer.sqlite");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "newer");
        db.setDatabaseName(newer);
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec("CREATE TABLE vortigo_schema (id INTEGER PRIMARY KEY, version INTEGER NOT NULL)");
        ASSERT_TRUE(QSqlQuery(db).exec("INSERT INTO vortigo_schema VALUES (1, 3)"));
    }
    QSqlDatabase::removeDatabase("newer");
    const std::tuple<QStringList, const char*, int, std::string> refused[] = {
        {{"--port", "65536"}, nullptr, 2, "porta non valida: 65536" + toHelp},
        {{"--port=80x"}, nullptr, 2, "porta non valida: 80x" + toHelp},
        {{"--threads", "0"}, nullptr, 2, "numero di thread non valido: 0" + toHelp},
        {{"--threads", "257"}, nullptr, 2, "numero di thread non valido: 257" + toHelp},
        {{"--max-connections", "0"}, nullptr, 2, "numero di connessioni non valido: 0" + toHelp},
        {{"--rate-limit", "-1"}, nullptr, 2, "limite non valido: -1" + toHelp},
        {{"--max-per-client", "-1"}, nullptr, 2, "numero di connessioni per client non valido: -1" + toHelp},
        {{"--unknown"}, nullptr, 2, "opzione sconosciuta: --unknown" + toHelp},
        {{"--port"}, nullptr, 2, "manca il valore di --port" + toHelp},
        {{}, "VORTIGO_RECORDS_THREADS", 2, "numero di thread non valido: 0 (VORTIGO_RECORDS_THREADS)" + toHelp},
        {{"--database", "postgresql://host/"}, nullptr, 2,
         "database non valido (un file SQLite o postgresql://...)" + toHelp},
        {{"--database", newer}, nullptr, 1,
         "non si apre: lo schema del database (versione 3) è più recente di questo server (versione 2)\n"},
        {{"--address", "nessuno"}, nullptr, 1, "non posso ascoltare su nessuno porta 8080: Invalid argument\n"},
        {{"--port", QString::fromStdString(port)}, nullptr, 1,
         "non posso ascoltare su 127.0.0.1 porta " + port + ": Address already in use\n"},
    };
    for (const auto& [arguments, variable, status, said] : refused) {
        QProcess start;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LC_ALL", "C");  // the system's own reasons, in words the test can match
        if (variable)
            environment.insert(variable, "0");
        start.setProcessEnvironment(environment);
        start.start(VORTIGO_RECORDS_BINARY, QStringList{"--database", dir.filePath("other.sqlite")} << arguments);
        if (!start.waitForFinished(10000))  // a ceiling against a server that started after all
            start.kill();
        const std::string what = arguments.join(' ').toStdString() + (variable ? variable : "");
        const std::string errors = start.readAllStandardError().toStdString();
        EXPECT_EQ(start.exitCode(), status) << what;
        EXPECT_TRUE(errors.starts_with("vortigo-records: ") && errors.ends_with(said)) << what << "\n" << errors;
    }
    // The help names every setting, each with its variable, and starts nothing.
    QProcess help;
    help.start(VORTIGO_RECORDS_BINARY, {"--port", "1", "--help"});
    ASSERT_TRUE(help.waitForFinished(10000));
    const std::string usage = help.readAllStandardOutput().toStdString();
    EXPECT_EQ(help.exitCode(), 0);
    EXPECT_TRUE(usage.starts_with("Uso: vortigo-records [opzioni]\n")) << usage;
    for (const char* setting : {"ADDRESS", "PORT", "DATABASE", "RATE_LIMIT", "THREADS", "MAX_CONNECTIONS", "MAX_PER_CLIENT"}) {
        std::string flag = std::string("--") + setting;
        std::transform(flag.begin(), flag.end(), flag.begin(), [](char c) { return c == '_' ? '-' : std::tolower(c); });
        EXPECT_NE(usage.find("  " + flag + " "), std::string::npos) << flag;
        EXPECT_NE(usage.find(std::string("(VORTIGO_RECORDS_") + setting + ")"), std::string::npos) << setting;
    }
    EXPECT_EQ(holder.stop(), 0);
}

INSTANTIATE_TEST_SUITE_P(Backends, RecordServer, ::testing::Values(Backend::SQLite, Backend::PostgreSQL),
                         test::backendName);

}  // namespace
}  // namespace vortigo::records
