// SPDX-License-Identifier: GPL-3.0-or-later
// The real vortigo-records on a loopback port, against a fresh SQLite file
// and against a throw-away PostgreSQL cluster, fed with addresses that the
// game's own code builds, as a browser passes them on.
#include "scores/record_address.h"
#include "tests/records/browser_address.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <QUrlQuery>

#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <memory>
#include <regex>
#include <tuple>
#include <thread>
#include <vector>

namespace vortigo::records {
namespace {

using test::asBrowserSends;
using test::game;
using test::targetOf;

enum class Backend { SQLite, PostgreSQL };

// --- a throw-away PostgreSQL cluster for the whole program --------------------

class Postgres {
public:
    static Postgres& instance()
    {
        if (!s_instance)
            s_instance.reset(new Postgres);
        return *s_instance;
    }
    /// Stops the cluster, if one was started, while Qt is still up.
    static void release() { s_instance.reset(); }
    ~Postgres()
    {
        if (!m_url.isEmpty())
            QProcess::execute(QStringLiteral(VORTIGO_THROWAWAY_POSTGRES), {"stop", m_cluster});
    }
    bool ready() const { return !m_url.isEmpty(); }
    const QString& problem() const { return m_problem; }

    // A fresh database in the cluster, as the server's --database URL.
    QString newDatabase()
    {
        const QString name = QStringLiteral("records_%1").arg(++m_databases);
        QSqlDatabase admin = open(m_url, "postgres-admin");
        QSqlQuery(admin).exec("CREATE DATABASE " + name);
        return QString(m_url).replace("/postgres?", "/" + name + "?");
    }

    static QSqlDatabase open(const QString& url, const QString& connection)
    {
        const QUrl parsed(url);
        QSqlDatabase db = QSqlDatabase::contains(connection) ? QSqlDatabase::database(connection, false)
                                                             : QSqlDatabase::addDatabase("QPSQL", connection);
        db.setHostName(QUrlQuery(parsed).queryItemValue("host"));
        db.setUserName(parsed.userName());
        db.setDatabaseName(parsed.path().mid(1));
        EXPECT_TRUE(db.open());
        return db;
    }

private:
    Postgres()
    {
        // The cluster runs as "postgres" when the tests run as root: it must reach its folder.
        QFile::setPermissions(m_dir.path(), QFile::permissions(m_dir.path()) | QFile::ExeGroup | QFile::ExeOther);
        QProcess script;
        script.start(QStringLiteral(VORTIGO_THROWAWAY_POSTGRES), {"start", m_cluster});
        script.waitForFinished(-1);
        m_url = QString::fromUtf8(script.readAllStandardOutput()).trimmed();
        if (script.exitCode() != 0 || !m_url.startsWith("postgresql://")) {
            m_problem = QString::fromUtf8(script.readAllStandardError());
            m_url.clear();
        }
        m_dir.setAutoRemove(true);
    }
    static inline std::unique_ptr<Postgres> s_instance;
    QTemporaryDir m_dir{QDir::tempPath() + "/vortigo-pg-XXXXXX"};
    QString m_cluster = m_dir.path() + "/pg";
    QString m_url;
    QString m_problem;
    int m_databases = 0;
};

// --- the server as a separate process ----------------------------------------

class ServerProcess {
public:
    ServerProcess(const QString& database, QStringList extra = {})
        : m_log(m_dir.filePath("server.log"))
    {
        QStringList arguments = {"--port", "0", "--database", database};
        if (!extra.contains("--rate-limit"))
            arguments << "--rate-limit" << "0";
        arguments << extra;
        m_process.setStandardErrorFile(m_log);
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.start(QStringLiteral(VORTIGO_RECORDS_BINARY), arguments);
        m_process.waitForStarted(-1);
        // The start-up line names the port; a server that dies first has said why.
        static const std::regex listening("in ascolto su 127\\.0\\.0\\.1 porta ([0-9]+)");
        while (m_process.state() == QProcess::Running) {
            std::smatch found;
            const std::string text = log();
            if (std::regex_search(text, found, listening)) {
                m_port = std::stoi(found[1]);
                break;
            }
            QThread::msleep(20);
        }
        EXPECT_GT(m_port, 0) << log();
    }
    ~ServerProcess()
    {
        if (m_process.state() != QProcess::NotRunning)
            stop();
    }

    int port() const { return m_port; }
    std::string log() const
    {
        QFile file(m_log);
        file.open(QIODevice::ReadOnly);
        return file.readAll().toStdString();
    }

    /// SIGTERM, and the exit it leads to: 0 after a clean stop.
    int stop()
    {
        m_process.terminate();
        m_process.waitForFinished(-1);
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }

    httplib::Result get(const std::string& target) const
    {
        httplib::Client client("127.0.0.1", m_port);
        client.set_url_encode(false);
        return client.Get(target);
    }

private:
    QTemporaryDir m_dir;
    QString m_log;
    QProcess m_process;
    int m_port = 0;
};

std::size_t count(const std::string& text, const std::string& part)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// The address the game opens, as the browser then asks the server for it.
std::string sent(const GameState& state, const RecordEntry& entry, const std::string& letters,
                 const std::string& date, const std::string& time)
{
    return targetOf(asBrowserSends(recordAddress(state, entry, letters, date, time)));
}

// --- one fresh database per test ---------------------------------------------

class RecordServer : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        if (GetParam() == Backend::PostgreSQL) {
            ASSERT_TRUE(Postgres::instance().ready()) << Postgres::instance().problem().toStdString();
            m_database = Postgres::instance().newDatabase();
        } else {
            m_database = m_dir.filePath("records.sqlite");
        }
    }

    // Straight from the database, bypassing the server.
    QSqlDatabase direct()
    {
        if (GetParam() == Backend::PostgreSQL)
            return Postgres::open(m_database, "direct");
        QSqlDatabase db = QSqlDatabase::contains("direct") ? QSqlDatabase::database("direct", false)
                                                           : QSqlDatabase::addDatabase("QSQLITE", "direct");
        db.setDatabaseName(m_database);
        EXPECT_TRUE(db.open());
        return db;
    }
    int storedRows()
    {
        QSqlQuery query(direct());
        EXPECT_TRUE(query.exec("SELECT COUNT(*) FROM vortigo_records") && query.next());
        return query.value(0).toInt();
    }
    void TearDown() override
    {
        if (QSqlDatabase::contains("direct")) {
            QSqlDatabase::database("direct", false).close();
            QSqlDatabase::removeDatabase("direct");
        }
    }

    QTemporaryDir m_dir;
    QString m_database;
};

TEST_P(RecordServer, StoresTheGamesRecordsShowsTheTablesAndStoresNothingForReloadsOrBadRequests)
{
    ServerProcess server(m_database);
    ASSERT_GT(server.port(), 0);
    int requests = 0;
    std::string bodies;
    const auto ask = [&](const std::string& target) {
        ++requests;
        auto result = server.get(target);
        EXPECT_TRUE(result) << target;
        if (!result)
            return httplib::Response{};
        bodies += result->body;
        return *result;
    };

    const RecordEntry awkward{"io & te", "Top 10! 50%=$&", "io & te@x.it"};
    const std::tuple<std::string, std::string, std::string> records[] = {
        {sent(game(5000, 3, 1), awkward, "QRS", "03-05-2001", "09:07:45"), "Record registrato", "Italiano: 1ª"},
        // Equal points, played later: above the first.
        {sent(game(5000, 4, 1), {"Brivo", "", "nome@provider"}, "ABC", "03-05-2001", "10:00:01"), "Record registrato",
         "Italiano: 1ª"},
        {sent(game(9000, 6, 1), {"Nicolò Bo", "<b>x</b>", ""}, "XYZ", "12-31-2000", "23:59:59"),
         "Record registrato", "Italiano: 1ª"},
        {sent(game(120, 1, 2), {"", "", "tom@x.uk"}, "TOM", "01-02-2003", "00:00:00"), "Record registrato",
         "English: 1ª"},
        // The first one again: a reload.
        {sent(game(5000, 3, 1), awkward, "QRS", "03-05-2001", "09:07:45"), "Record già registrato", "Italiano: 3ª"},
    };
    for (const auto& [target, title, place] : records) {
        const httplib::Response answer = ask(target);
        EXPECT_EQ(answer.status, 200) << target << answer.body;
        EXPECT_EQ(answer.get_header_value("Content-Type"), "text/html; charset=utf-8");
        EXPECT_NE(answer.body.find("<title>" + title + "</title>"), std::string::npos) << target;
        EXPECT_NE(answer.body.find("Posizione nella tabella " + place), std::string::npos) << target << answer.body;
    }
    EXPECT_NE(bodies.find("<dd>&lt;b&gt;x&lt;/b&gt;</dd>"), std::string::npos);
    EXPECT_EQ(storedRows(), 4);

    const std::string italian = ask("/?lingua=1").body;
    const std::size_t nicolo = italian.find("<td>Nicolò Bo</td><td class=\"n\">9.000</td>");
    const std::size_t brivo = italian.find("<td>Brivo</td><td class=\"n\">5.000</td>");
    const std::size_t ioETe = italian.find("<td>io &amp; te</td><td class=\"n\">5.000</td><td class=\"n\">3</td>"
                                           "<td class=\"d\">05-03-2001</td><td class=\"d\">09:07</td><td>Top_10__50____</td>");
    ASSERT_TRUE(nicolo != std::string::npos && brivo != std::string::npos && ioETe != std::string::npos) << italian;
    EXPECT_LT(nicolo, brivo);
    EXPECT_LT(brivo, ioETe);
    const std::string english = ask("/?lingua=2").body;
    EXPECT_NE(english.find("<td>Anonimo</td><td class=\"n\">120</td>"), std::string::npos) << english;
    EXPECT_EQ(english.find("Brivo"), std::string::npos);
    const std::string all = ask("/").body;
    EXPECT_EQ(count(all, "<tr><td class=\"n\">"), 4u);
    EXPECT_NE(all.find("Nessun record ancora"), std::string::npos);  // Latino

    // Nothing of what follows may be stored.
    const std::string good = sent(game(7000, 2, 3), {"Nuovo", "", ""}, "NEW", "03-05-2001", "09:07:45");
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string target = good;
        return target.replace(target.find(from), from.size(), to);
    };
    // The query reader's own test goes through every field; here, that a refusal stores nothing.
    const std::string bad[] = {
        replaced("data=05-03-2001", "data=31-02-2001"), replaced("Nome=Nuovo", "Nome=UnNomeTroppoLungo"),
        replaced("&Language=3", "&Language=4"),         replaced("&programma=", "&programa="),
        good + std::string(3000, 'x'),                   good + "&x=" + std::string(10000, 'x'),
        "/vortigo.asp",                                  "/?lingua=7",
    };
    for (const std::string& target : bad) {
        const httplib::Response answer = ask(target);
        EXPECT_EQ(answer.status, 400) << target.substr(0, 300);
        EXPECT_NE(answer.body.find("<h1>Richiesta non valida</h1>"), std::string::npos) << target.substr(0, 300);
    }
    EXPECT_NE(ask("/nulla.html").body.find("Pagina non trovata"), std::string::npos);
    EXPECT_EQ(storedRows(), 4);
    EXPECT_EQ(ask(good).status, 200);

    // A table shows its best 50; the places go on below them.
    for (int i = 1; i <= 50; ++i)
        EXPECT_EQ(ask(sent(game(1000 + i, 1, 2), {"P" + std::to_string(i), "", ""}, "LOT", "03-05-2001", "09:07:45")).status,
                  200);
    const std::string full = ask("/?lingua=2").body;
    EXPECT_EQ(count(full, "<tr><td class=\"n\">"), 50u);
    EXPECT_NE(full.find("<td>P50</td>"), std::string::npos);
    EXPECT_NE(full.find("<td>P1</td>"), std::string::npos);
    EXPECT_EQ(full.find("<td>Anonimo</td>"), std::string::npos);  // 51st
    EXPECT_NE(ask(std::get<0>(records[3])).body.find("English: 51ª"), std::string::npos);
    EXPECT_EQ(storedRows(), 55);

    // The e-mail is kept for the maker and goes nowhere else.
    QSqlQuery stored(direct());
    ASSERT_TRUE(stored.exec("SELECT email FROM vortigo_records WHERE name = 'io & te'") && stored.next());
    EXPECT_EQ(stored.value(0).toString(), "io & te@x.it");
    EXPECT_EQ(server.stop(), 0);
    const std::string log = server.log();
    EXPECT_EQ(bodies.find("@x.it"), std::string::npos);
    EXPECT_EQ(bodies.find("nome@provider"), std::string::npos);
    EXPECT_EQ(log.find('@'), std::string::npos) << log;
    // One line a request; the one too long to read has no method or path.
    EXPECT_EQ(count(log, "Z 127.0.0.1 GET /vortigo.asp "), 5u + 6u + 1u + 50u + 1u) << log;
    EXPECT_EQ(count(log, "Z - - - 400 "), 1u) << log;
    EXPECT_EQ(count(log, "Z "), static_cast<std::size_t>(requests)) << log;
    EXPECT_NE(log.find("SIGTERM"), std::string::npos);
}

TEST_P(RecordServer, TwoServersOnOneDatabaseKeepOneTableAndStoreARaceOfReloadsOnce)
{
    ServerProcess first(m_database);
    ServerProcess second(m_database);
    ASSERT_GT(first.port(), 0);
    ASSERT_GT(second.port(), 0);

    const std::string target = sent(game(4321, 5, 1), {"Gara", "", "g@x.it"}, "RUN", "03-05-2001", "12:00:00");
    std::atomic<int> inserted{0}, reloaded{0};
    std::vector<std::thread> clients;
    for (int i = 0; i < 12; ++i) {
        clients.emplace_back([&, i] {
            const auto answer = (i % 2 ? first : second).get(target);
            if (answer && answer->status == 200)
                ++(answer->body.find("<title>Record registrato") != std::string::npos ? inserted : reloaded);
        });
    }
    for (std::thread& client : clients)
        client.join();
    EXPECT_EQ(inserted, 1);
    EXPECT_EQ(reloaded, 11);
    EXPECT_EQ(storedRows(), 1);

    EXPECT_EQ(first.get(sent(game(10, 1, 1), {"Uno", "", ""}, "AAA", "03-05-2001", "12:00:00"))->status, 200);
    EXPECT_EQ(second.get(sent(game(20, 1, 1), {"Due", "", ""}, "BBB", "03-05-2001", "12:00:00"))->status, 200);
    const std::string fromFirst = first.get("/")->body;
    EXPECT_EQ(fromFirst, second.get("/")->body);
    EXPECT_EQ(count(fromFirst, "<tr><td class=\"n\">"), 3u);
    EXPECT_EQ(first.stop(), 0);
    EXPECT_EQ(second.stop(), 0);
}

INSTANTIATE_TEST_SUITE_P(Backends, RecordServer, ::testing::Values(Backend::SQLite, Backend::PostgreSQL),
                         [](const auto& backend) { return backend.param == Backend::SQLite ? "SQLite" : "PostgreSQL"; });

TEST(RecordServerOperation, LimitsRequestsPerAddressAndExplainsItsOptions)
{
    QTemporaryDir dir;
    ServerProcess server(dir.filePath("records.sqlite"), {"--rate-limit", "3"});
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(server.get("/")->status, 200);
    const auto refused = server.get("/");
    EXPECT_EQ(refused->status, 429);
    EXPECT_NE(refused->body.find("Troppe richieste"), std::string::npos);
    EXPECT_EQ(refused->get_header_value("Retry-After"), "60");
    EXPECT_EQ(server.stop(), 0);

    QProcess help;
    help.start(QStringLiteral(VORTIGO_RECORDS_BINARY), {"--help"});
    help.waitForFinished(-1);
    EXPECT_EQ(help.exitCode(), 0);
    const QString text = QString::fromUtf8(help.readAllStandardOutput());
    for (const char* option : {"--address", "--port", "--database", "--rate-limit", "postgresql://"})
        EXPECT_TRUE(text.contains(option)) << option;
    for (const QStringList& wrong : {QStringList{"--port", "x"}, QStringList{"--porta", "1"}, QStringList{"--port"}}) {
        QProcess refusedStart;
        refusedStart.start(QStringLiteral(VORTIGO_RECORDS_BINARY), wrong);
        refusedStart.waitForFinished(-1);
        EXPECT_EQ(refusedStart.exitCode(), 2) << wrong.join(' ').toStdString();
    }
}

// Chromium from Debian, as a player's browser: it opens the address exactly
// as the game hands it over (blanks and all), then shows the table.
TEST(RecordServerInABrowser, ThePlayersNameIsOnTheTablePageAfterSubmitting)
{
    QTemporaryDir dir;
    ServerProcess server(dir.filePath("records.sqlite"));
    ASSERT_GT(server.port(), 0);
    const auto dumpDom = [&](const std::string& address) {
        QTemporaryDir profile;
        QProcess chromium;
        chromium.setStandardErrorFile(QProcess::nullDevice());
        chromium.start("chromium", {"--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                                    "--disable-background-networking", "--disable-component-update", "--disable-sync",
                                    "--disable-dev-shm-usage", "--user-data-dir=" + profile.path(), "--dump-dom",
                                    QString::fromStdString(address)});
        EXPECT_TRUE(chromium.waitForFinished(-1)) << "chromium did not run";
        return chromium.readAllStandardOutput().toStdString();
    };
    const std::string base = "http://127.0.0.1:" + std::to_string(server.port());
    std::string address = recordAddress(game(31415, 7, 1), {"Gian Maria", "Evviva!", "io & te@x.it"}, "WEB",
                                         "03-05-2001", "09:07:45");
    address.replace(0, address.find("/vortigo.asp"), base);
    const std::string record = dumpDom(address);
    EXPECT_NE(record.find("<h1>Record registrato</h1>"), std::string::npos) << record;
    const std::string table = dumpDom(base + "/");
    EXPECT_NE(table.find("<td>Gian Maria</td><td class=\"n\">31.415</td>"), std::string::npos) << table;
    EXPECT_EQ(table.find("@x.it"), std::string::npos);
    EXPECT_EQ(server.stop(), 0);
}

}  // namespace
}  // namespace vortigo::records

int main(int argc, char** argv)
{
    // Qt SQL finds its drivers through the application object.
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int failed = RUN_ALL_TESTS();
    vortigo::records::Postgres::release();
    return failed;
}
