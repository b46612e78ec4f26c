// SPDX-License-Identifier: GPL-3.0-or-later
#include "record_store.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUrl>
#include <QUrlQuery>
#include <QVariant>

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>

namespace vortigo::records {

namespace {

// The ranking, best first: points, then the date and time played, then the
// arrival, all descending ("newest first among equal points").
constexpr const char* kRankingOrder = "points DESC, played_on DESC, played_at DESC, received_us DESC";

// The place of a record is one plus the records ahead of it. Those with
// more points, or equal points and a later day, are counted through a tree
// of counts over one number that orders points and day together:
//
//   key = (points + 2^31) * 2^23 + year * 512 + month * 32 + day      (below 2^55)
//
// Level L of vortigo_record_counts counts the records of each language by
// key / 64^L. A key is beaten by exactly the keys that, at some level, sit
// in the same group of 64 as its own and further up, so the records ahead
// are the sum of at most 63 counts on each of the ten levels, however many
// records the table holds. The few records with the same points and day
// are counted in the table itself.
constexpr int kLevels = 10;
constexpr int kFanBits = 6;

std::int64_t rankKey(std::int32_t points, int year, int month, int day)
{
    return ((static_cast<std::int64_t>(points) + (std::int64_t{1} << 31)) << 23) + year * 512 + month * 32 + day;
}

// The same key from the stored columns, for counting the records already there.
constexpr const char* kRankKeySql =
    "((points + 2147483648) * 8388608 + CAST(substr(played_on, 1, 4) AS INTEGER) * 512"
    " + CAST(substr(played_on, 6, 2) AS INTEGER) * 32 + CAST(substr(played_on, 9, 2) AS INTEGER))";

// The newest schema this server writes. Each step takes the schema from the
// version before it to its own, and may run again over its own work; a
// database at a newer version than this server knows is left alone.
constexpr int kSchemaVersion = 2;

std::vector<std::string> migrationStep(int step)
{
    if (step == 0) {
        return {"CREATE TABLE IF NOT EXISTS vortigo_records ("
                " letters TEXT NOT NULL,"
                " name TEXT NOT NULL,"
                " played_on TEXT NOT NULL,"   // yyyy-mm-dd
                " played_at TEXT NOT NULL,"   // hh:mm
                " points INTEGER NOT NULL,"
                " round INTEGER NOT NULL,"
                " note TEXT NOT NULL,"
                " email TEXT NOT NULL,"       // for the maker only: never selected by a page
                " language INTEGER NOT NULL,"
                " received_us BIGINT NOT NULL,"  // microseconds since 1970, for the order among equals
                " PRIMARY KEY (letters, name, played_on, played_at, points))",
                "CREATE INDEX IF NOT EXISTS vortigo_records_ranking"
                " ON vortigo_records (language, points DESC, played_on DESC, played_at DESC, received_us DESC)"};
    }
    // The change counters and the counts of the places, made from the records there.
    std::vector<std::string> statements = {
        "CREATE TABLE IF NOT EXISTS vortigo_changes (language INTEGER PRIMARY KEY, serial BIGINT NOT NULL)",
        "INSERT INTO vortigo_changes (language, serial) VALUES (1, 0), (2, 0), (3, 0) ON CONFLICT DO NOTHING",
        "CREATE TABLE IF NOT EXISTS vortigo_record_counts (language INTEGER NOT NULL, level INTEGER NOT NULL,"
        " bucket BIGINT NOT NULL, records BIGINT NOT NULL, PRIMARY KEY (language, level, bucket))",
        "DELETE FROM vortigo_record_counts",
        std::string("INSERT INTO vortigo_record_counts (language, level, bucket, records) SELECT language, 0, ") +
            kRankKeySql + ", COUNT(*) FROM vortigo_records GROUP BY language, " + kRankKeySql,
    };
    for (int level = 1; level < kLevels; ++level) {
        const std::string l = std::to_string(level);
        statements.push_back("INSERT INTO vortigo_record_counts (language, level, bucket, records)"
                             " SELECT language, " + l + ", bucket / 64, SUM(records) FROM vortigo_record_counts"
                             " WHERE level = " + std::to_string(level - 1) + " GROUP BY language, bucket / 64");
    }
    // Servers that keep pages read the tables again.
    statements.push_back("UPDATE vortigo_changes SET serial = serial + 1");
    return statements;
}

QString countsUpsert()
{
    QString sql = QStringLiteral("INSERT INTO vortigo_record_counts (language, level, bucket, records) VALUES ");
    for (int level = 0; level < kLevels; ++level)
        sql += QStringLiteral("%1(?, %2, ?, 1)").arg(level ? QStringLiteral(", ") : QString()).arg(level);
    return sql + QStringLiteral(" ON CONFLICT (language, level, bucket) DO UPDATE"
                                " SET records = vortigo_record_counts.records + 1");
}

// The stored record under a key, with its place: the records with a
// greater key from the counts, and those with the same points and day
// that were played later or, at the same minute, arrived later.
QString placeQuery()
{
    QString sql = QStringLiteral(
        "SELECT r.round, r.note, r.language, CAST(1 + (SELECT COUNT(*) FROM vortigo_records o"
        " WHERE o.language = r.language AND o.points = r.points AND o.played_on = r.played_on"
        " AND (o.played_at > r.played_at OR (o.played_at = r.played_at AND o.received_us > r.received_us)))");
    for (int level = 0; level < kLevels; ++level) {
        sql += QStringLiteral(" + (SELECT COALESCE(SUM(c.records), 0) FROM vortigo_record_counts c"
                              " WHERE c.language = r.language AND c.level = %1 AND c.bucket > ? AND c.bucket <= ?)")
                   .arg(level);
    }
    return sql + QStringLiteral(" AS BIGINT) FROM vortigo_records r"
                                " WHERE r.letters = ? AND r.name = ? AND r.played_on = ? AND r.played_at = ?"
                                " AND r.points = ?");
}

std::atomic<int> g_connectionCount{0};
std::atomic<int> g_storeCount{0};

qint64 microsecondsNow()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}

QString q(const std::string& text)
{
    return QString::fromStdString(text);
}

std::string s(const QVariant& value)
{
    return value.toString().toStdString();
}

}  // namespace

// One thread's connection to the database, named after the store and the
// thread, with its statements prepared once; dropped when the thread ends or
// the store goes. After a failed statement the connection may be broken: it
// is closed, and the next request opens it again, so a database that went
// away and came back is used again without a restart.
class StoreConnection {
public:
    StoreConnection(QString name, bool sqlite) : m_name(std::move(name)), m_sqlite(sqlite) {}
    ~StoreConnection()
    {
        drop();
        if (QSqlDatabase::contains(m_name))
            QSqlDatabase::removeDatabase(m_name);
    }

    struct Statements {
        explicit Statements(const QSqlDatabase& db)
            : bump(db), insert(db), counts(db), place(db), table(db), changes(db), plain(db)
        {
        }
        QSqlQuery bump, insert, counts, place, table, changes;
        QSqlQuery plain;  ///< BEGIN, COMMIT, ROLLBACK, the schema steps
    };

    /// The statements of an open connection; nothing when it does not open.
    Statements* open(QString* error)
    {
        if (m_statements)
            return &*m_statements;
        std::optional<QSqlDatabase> db = bare(error);
        if (!db)
            return nullptr;
        m_statements.emplace(*db);
        Statements& st = *m_statements;
        const std::pair<QSqlQuery*, QString> statements[] = {
            {&st.bump, "UPDATE vortigo_changes SET serial = serial + 1 WHERE language = ? RETURNING serial"},
            {&st.insert, "INSERT INTO vortigo_records"
                         " (letters, name, played_on, played_at, points, round, note, email, language, received_us)"
                         " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT DO NOTHING"},
            {&st.counts, countsUpsert()},
            {&st.place, placeQuery()},
            {&st.table, QStringLiteral("SELECT name, points, round, played_on, played_at, note FROM vortigo_records"
                                       " WHERE language = ? ORDER BY %1 LIMIT %2")
                            .arg(QLatin1String(kRankingOrder))
                            .arg(kTableRows)},
            {&st.changes, "SELECT language, serial FROM vortigo_changes"},
        };
        for (const auto& [query, sql] : statements) {
            if (!query->prepare(sql)) {
                if (error)
                    *error = query->lastError().text();
                drop();
                return nullptr;
            }
        }
        return &st;
    }

    /// The connection alone, opened: before the schema is up to date the
    /// statements cannot all be prepared, so its steps run on this.
    std::optional<QSqlDatabase> bare(QString* error)
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.isOpen())
            return db;
        if (!db.open()) {
            if (error)
                *error = db.lastError().text();
            return std::nullopt;
        }
        if (m_sqlite) {
            // Readers do not wait for a writer, and other servers on the same file see each other's rows.
            QSqlQuery pragma(db);
            pragma.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        }
        return db;
    }

    void drop()
    {
        m_statements.reset();
        if (QSqlDatabase::contains(m_name))
            QSqlDatabase::database(m_name, false).close();
    }

    const QString& name() const { return m_name; }

private:
    QString m_name;
    bool m_sqlite;
    std::optional<Statements> m_statements;
};

namespace {
thread_local std::map<QString, std::unique_ptr<StoreConnection>> t_connections;
}  // namespace

std::optional<DatabaseTarget> DatabaseTarget::fromText(const QString& text)
{
    DatabaseTarget target;
    if (!text.startsWith(QLatin1String("postgresql://")) && !text.startsWith(QLatin1String("postgres://"))) {
        if (text.isEmpty())
            return std::nullopt;
        target.path = text;
        return target;
    }
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid())
        return std::nullopt;
    target.postgres = true;
    target.host = url.host();
    target.port = url.port(-1);
    target.user = url.userName(QUrl::FullyDecoded);
    target.password = url.password(QUrl::FullyDecoded);
    target.database = url.path(QUrl::FullyDecoded).mid(1);
    if (target.database.isEmpty() || target.database.contains(QLatin1Char('/')))
        return std::nullopt;
    QStringList options;
    for (const auto& [key, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded)) {
        if (key == QLatin1String("host"))
            target.host = value;
        else if (key.contains(QLatin1Char(';')) || key.contains(QLatin1Char('=')) || value.contains(QLatin1Char(';')))
            return std::nullopt;
        else
            options << key + QLatin1Char('=') + value;
    }
    target.options = options.join(QLatin1Char(';'));
    return target;
}

QString DatabaseTarget::description() const
{
    if (!postgres)
        return QStringLiteral("SQLite %1").arg(path);
    QString where = host.isEmpty() ? QStringLiteral("(predefinito)") : host;
    if (port > 0)
        where += QLatin1Char(':') + QString::number(port);
    return QStringLiteral("PostgreSQL %1 su %2%3").arg(database, where,
                                                        user.isEmpty() ? QString() : QStringLiteral(" come ") + user);
}

RecordStore::RecordStore(DatabaseTarget target)
    : m_target(std::move(target)), m_prefix(QStringLiteral("vortigo-records-%1").arg(++g_storeCount))
{
}

RecordStore::~RecordStore()
{
    t_connections.erase(m_prefix);
}

StoreConnection* RecordStore::connection()
{
    auto found = t_connections.find(m_prefix);
    if (found == t_connections.end()) {
        const QString name = m_prefix + QStringLiteral("-%1").arg(++g_connectionCount);
        QSqlDatabase db = QSqlDatabase::addDatabase(m_target.postgres ? "QPSQL" : "QSQLITE", name);
        if (m_target.postgres) {
            if (!m_target.host.isEmpty())
                db.setHostName(m_target.host);
            if (m_target.port > 0)
                db.setPort(m_target.port);
            db.setUserName(m_target.user);
            db.setPassword(m_target.password);
            db.setDatabaseName(m_target.database);
            db.setConnectOptions(m_target.options);
        } else {
            db.setDatabaseName(m_target.path);
            // Writers from other threads and other servers wait their turn rather than fail.
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        }
        found = t_connections.emplace(m_prefix, std::make_unique<StoreConnection>(name, !m_target.postgres)).first;
    }
    return found->second.get();
}

bool RecordStore::migrate(QString* error)
{
    // Servers starting together take turns: the schema's row is locked (a
    // whole SQLite file, by BEGIN IMMEDIATE) before its version is read, so
    // the second finds the work done. A failure (the first to create a
    // table wins) is tried again.
    QString lastProblem;
    StoreConnection* connection = this->connection();
    for (int attempt = 0; attempt < 5; ++attempt) {
        connection->drop();
        std::optional<QSqlDatabase> db = connection->bare(error);
        if (!db)
            return false;
        QSqlQuery query(*db);
        const auto fail = [&](const QSqlQuery& failed) {
            lastProblem = failed.lastError().text();
            QSqlQuery(*db).exec("ROLLBACK");
            QThread::msleep(100 * (attempt + 1));
        };
        if (!query.exec("CREATE TABLE IF NOT EXISTS vortigo_schema (id INTEGER PRIMARY KEY, version INTEGER NOT NULL)")) {
            fail(query);
            continue;
        }
        if (!query.exec(m_target.postgres ? "BEGIN" : "BEGIN IMMEDIATE") ||
            !query.exec("INSERT INTO vortigo_schema (id, version) VALUES (1, 0) ON CONFLICT DO NOTHING") ||
            !query.exec("UPDATE vortigo_schema SET version = version WHERE id = 1") ||
            !query.exec("SELECT version FROM vortigo_schema WHERE id = 1") || !query.next()) {
            fail(query);
            continue;
        }
        const int version = query.value(0).toInt();
        query.finish();
        if (version > kSchemaVersion) {
            query.exec("ROLLBACK");
            if (error)
                *error = QStringLiteral("lo schema del database (versione %1) è più recente di questo server (versione %2)")
                             .arg(version)
                             .arg(kSchemaVersion);
            return false;
        }
        bool ok = true;
        for (int step = version; ok && step < kSchemaVersion; ++step) {
            for (const std::string& statement : migrationStep(step)) {
                if (!query.exec(QString::fromStdString(statement))) {
                    ok = false;
                    break;
                }
            }
        }
        if (ok && version < kSchemaVersion) {
            query.prepare("UPDATE vortigo_schema SET version = ? WHERE id = 1");
            query.addBindValue(kSchemaVersion);
            ok = query.exec();
        }
        if (!ok) {
            fail(query);
            continue;
        }
        if (query.exec("COMMIT"))
            return readChanges(error);
        fail(query);
    }
    if (error)
        *error = lastProblem;
    return false;
}

std::optional<RecordStore::Outcome> RecordStore::store(const Submission& submission, QString* error)
{
    StoreConnection* connection = this->connection();
    StoreConnection::Statements* st = connection->open(error);
    if (!st)
        return std::nullopt;
    const SubmissionKey key = keyOf(submission);
    const auto failed = [&](const QSqlQuery& query) -> std::optional<Outcome> {
        if (error)
            *error = query.lastError().text();
        st->plain.exec("ROLLBACK");
        connection->drop();
        return std::nullopt;
    };

    // SQLite takes one writer at a time; queueing here is fairer and far
    // quicker than SQLite's own wait, which sleeps and retries.
    std::unique_lock<std::mutex> oneWriter(m_sqliteWriter, std::defer_lock);
    if (!m_target.postgres)
        oneWriter.lock();
    if (!st->plain.exec(m_target.postgres ? "BEGIN" : "BEGIN IMMEDIATE"))
        return failed(st->plain);

    // The language's counter row is locked until the end: the records of a
    // language are stored one after the other, each seeing all before it.
    st->bump.bindValue(0, submission.language);
    if (!st->bump.exec() || !st->bump.next())
        return failed(st->bump);
    const std::int64_t serial = st->bump.value(0).toLongLong();
    st->bump.finish();

    QSqlQuery& insert = st->insert;
    insert.bindValue(0, q(key.letters));
    insert.bindValue(1, q(key.name));
    insert.bindValue(2, q(key.isoDate));
    insert.bindValue(3, q(key.clockTime));
    insert.bindValue(4, key.points);
    insert.bindValue(5, submission.round);
    insert.bindValue(6, q(submission.note));
    insert.bindValue(7, q(submission.email));
    insert.bindValue(8, submission.language);
    insert.bindValue(9, microsecondsNow());
    if (!insert.exec())
        return failed(insert);
    Outcome outcome;
    outcome.inserted = insert.numRowsAffected() == 1;

    const std::int64_t rank = rankKey(key.points, submission.year, submission.month, submission.day);
    if (outcome.inserted) {
        for (int level = 0; level < kLevels; ++level) {
            st->counts.bindValue(2 * level, submission.language);
            st->counts.bindValue(2 * level + 1, static_cast<qint64>(rank >> (kFanBits * level)));
        }
        if (!st->counts.exec())
            return failed(st->counts);
    }

    // What the table holds under this key (on a reload, the first
    // submission, perhaps of another language), and its place.
    QSqlQuery& place = st->place;
    for (int level = 0; level < kLevels; ++level) {
        const std::int64_t bucket = rank >> (kFanBits * level);
        place.bindValue(2 * level, static_cast<qint64>(bucket));
        place.bindValue(2 * level + 1, static_cast<qint64>(bucket | ((1 << kFanBits) - 1)));
    }
    place.bindValue(2 * kLevels, q(key.letters));
    place.bindValue(2 * kLevels + 1, q(key.name));
    place.bindValue(2 * kLevels + 2, q(key.isoDate));
    place.bindValue(2 * kLevels + 3, q(key.clockTime));
    place.bindValue(2 * kLevels + 4, key.points);
    if (!place.exec())
        return failed(place);
    if (!place.next()) {
        st->plain.exec("ROLLBACK");
        if (error)
            *error = QStringLiteral("il record appena registrato non si trova");
        return std::nullopt;
    }
    outcome.stored = submission;
    outcome.stored.round = place.value(0).toInt();
    outcome.stored.note = s(place.value(1));
    outcome.stored.language = place.value(2).toInt();
    outcome.place = static_cast<int>(place.value(3).toLongLong());
    place.finish();

    // A reload changes nothing: its counter goes back as it was.
    if (!st->plain.exec(outcome.inserted ? "COMMIT" : "ROLLBACK"))
        return failed(st->plain);
    if (outcome.inserted)
        learn(submission.language, serial);
    return outcome;
}

std::optional<std::vector<TableRow>> RecordStore::table(int language, QString* error)
{
    StoreConnection* connection = this->connection();
    StoreConnection::Statements* st = connection->open(error);
    if (!st)
        return std::nullopt;
    QSqlQuery& query = st->table;
    query.bindValue(0, language);
    if (!query.exec()) {
        if (error)
            *error = query.lastError().text();
        connection->drop();
        return std::nullopt;
    }
    std::vector<TableRow> rows;
    while (query.next()) {
        rows.push_back(TableRow{s(query.value(0)), query.value(1).toInt(), query.value(2).toInt(), s(query.value(3)),
                                s(query.value(4)), s(query.value(5))});
    }
    query.finish();
    return rows;
}

RecordStore::Changes RecordStore::knownChanges() const
{
    return {m_known[0].load(), m_known[1].load(), m_known[2].load()};
}

void RecordStore::learn(int language, std::int64_t serial)
{
    if (language < 1 || language > 3)
        return;
    std::atomic<std::int64_t>& known = m_known[static_cast<std::size_t>(language - 1)];
    std::int64_t was = known.load();
    while (was < serial && !known.compare_exchange_weak(was, serial)) {
    }
}

bool RecordStore::readChanges(QString* error)
{
    StoreConnection* connection = this->connection();
    StoreConnection::Statements* st = connection->open(error);
    if (!st)
        return false;
    QSqlQuery& query = st->changes;
    if (!query.exec()) {
        if (error)
            *error = query.lastError().text();
        connection->drop();
        return false;
    }
    while (query.next())
        learn(query.value(0).toInt(), query.value(1).toLongLong());
    query.finish();
    return true;
}

}  // namespace vortigo::records
