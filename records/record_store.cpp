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

// The newest schema this server writes. Each step takes the schema from the
// version before it to its own; a database at a newer version than this
// server knows is left alone.
constexpr int kSchemaVersion = 1;

const char* const kMigrations[kSchemaVersion][2] = {
    {"CREATE TABLE IF NOT EXISTS vortigo_records ("
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
     " ON vortigo_records (language, points DESC, played_on DESC, played_at DESC, received_us DESC)"},
};

// Best first; newest first among equal points.
constexpr const char* kRankingOrder = "points DESC, played_on DESC, played_at DESC, received_us DESC";

std::atomic<int> g_connectionCount{0};
std::atomic<int> g_storeCount{0};

QString lastError(const QSqlQuery& query)
{
    return query.lastError().text();
}

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
// thread; dropped when the thread ends or the store goes.
class StoreConnection {
public:
    explicit StoreConnection(QString name) : m_name(std::move(name)) {}
    ~StoreConnection()
    {
        if (QSqlDatabase::contains(m_name)) {
            QSqlDatabase::database(m_name, false).close();
            QSqlDatabase::removeDatabase(m_name);
        }
    }
    const QString& name() const { return m_name; }

private:
    QString m_name;
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

StoreConnection& RecordStore::connection()
{
    auto found = t_connections.find(m_prefix);
    if (found != t_connections.end())
        return *found->second;

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
    return *t_connections.emplace(m_prefix, std::make_unique<StoreConnection>(name)).first->second;
}

namespace {

// The thread's connection, opened; a closed one is opened again, so a
// database that went away and came back is used again without a restart.
std::optional<QSqlDatabase> openDatabase(const QString& name, bool sqlite, QString* error)
{
    QSqlDatabase db = QSqlDatabase::database(name, false);
    if (db.isOpen())
        return db;
    if (!db.open()) {
        if (error)
            *error = db.lastError().text();
        return std::nullopt;
    }
    if (sqlite) {
        // Readers do not wait for a writer, and other servers on the same file see each other's rows.
        QSqlQuery pragma(db);
        pragma.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    }
    return db;
}

// After a failed statement the connection may be broken: closing it makes
// the next request open a fresh one.
void dropAfterFailure(QSqlDatabase& db)
{
    db.close();
}

}  // namespace

bool RecordStore::check(QString* error)
{
    return openDatabase(connection().name(), !m_target.postgres, error).has_value();
}

bool RecordStore::migrate(QString* error)
{
    // Two servers starting together may both try the same step; the loser's
    // step fails on the other's table or row, and its next attempt finds the
    // work done.
    QString lastProblem;
    for (int attempt = 0; attempt < 5; ++attempt) {
        std::optional<QSqlDatabase> db = openDatabase(connection().name(), !m_target.postgres, error);
        if (!db)
            return false;
        QSqlQuery query(*db);
        const auto fail = [&](const QSqlQuery& failed) {
            lastProblem = lastError(failed);
            db->rollback();
            QThread::msleep(100 * (attempt + 1));
        };
        if (!query.exec("CREATE TABLE IF NOT EXISTS vortigo_schema (id INTEGER PRIMARY KEY, version INTEGER NOT NULL)")) {
            fail(query);
            continue;
        }
        if (!db->transaction()) {
            lastProblem = db->lastError().text();
            continue;
        }
        if (!query.exec("INSERT INTO vortigo_schema (id, version) VALUES (1, 0) ON CONFLICT DO NOTHING") ||
            !query.exec("SELECT version FROM vortigo_schema WHERE id = 1") || !query.next()) {
            fail(query);
            continue;
        }
        const int version = query.value(0).toInt();
        query.finish();
        if (version > kSchemaVersion) {
            db->rollback();
            if (error)
                *error = QStringLiteral("lo schema del database (versione %1) è più recente di questo server (versione %2)")
                             .arg(version)
                             .arg(kSchemaVersion);
            return false;
        }
        bool ok = true;
        for (int step = version; ok && step < kSchemaVersion; ++step) {
            for (const char* statement : kMigrations[step]) {
                if (!query.exec(statement)) {
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
        if (db->commit())
            return true;
        lastProblem = db->lastError().text();
        db->rollback();
    }
    if (error)
        *error = lastProblem;
    return false;
}

std::optional<RecordStore::Outcome> RecordStore::store(const Submission& submission, QString* error)
{
    std::optional<QSqlDatabase> db = openDatabase(connection().name(), !m_target.postgres, error);
    if (!db)
        return std::nullopt;
    const SubmissionKey key = keyOf(submission);
    const auto bindKey = [&](QSqlQuery& query) {
        query.addBindValue(q(key.letters));
        query.addBindValue(q(key.name));
        query.addBindValue(q(key.isoDate));
        query.addBindValue(q(key.clockTime));
        query.addBindValue(key.points);
    };
    const auto failed = [&](const QSqlQuery& query) -> std::optional<Outcome> {
        if (error)
            *error = lastError(query);
        dropAfterFailure(*db);
        return std::nullopt;
    };

    QSqlQuery insert(*db);
    insert.prepare("INSERT INTO vortigo_records"
                   " (letters, name, played_on, played_at, points, round, note, email, language, received_us)"
                   " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT DO NOTHING");
    bindKey(insert);
    insert.addBindValue(submission.round);
    insert.addBindValue(q(submission.note));
    insert.addBindValue(q(submission.email));
    insert.addBindValue(submission.language);
    insert.addBindValue(microsecondsNow());
    bool insertedOk = false;
    if (m_target.postgres) {
        insertedOk = insert.exec();
    } else {
        // SQLite takes one writer at a time; queueing here is fairer and far
        // quicker than SQLite's own wait, which sleeps and retries.
        const std::lock_guard oneWriter(m_sqliteWriter);
        insertedOk = insert.exec();
    }
    if (!insertedOk)
        return failed(insert);

    Outcome outcome;
    outcome.inserted = insert.numRowsAffected() == 1;

    // What the table holds under this key: on a reload, the first submission.
    QSqlQuery stored(*db);
    stored.prepare("SELECT round, note, language, received_us FROM vortigo_records"
                   " WHERE letters = ? AND name = ? AND played_on = ? AND played_at = ? AND points = ?");
    bindKey(stored);
    if (!stored.exec())
        return failed(stored);
    if (!stored.next()) {
        if (error)
            *error = QStringLiteral("il record appena registrato non si trova");
        return std::nullopt;
    }
    outcome.stored = submission;
    outcome.stored.round = stored.value(0).toInt();
    outcome.stored.note = s(stored.value(1));
    outcome.stored.language = stored.value(2).toInt();
    const qint64 receivedUs = stored.value(3).toLongLong();
    stored.finish();

    QSqlQuery ahead(*db);
    ahead.prepare("SELECT COUNT(*) FROM vortigo_records WHERE language = ? AND (points > ? OR (points = ? AND"
                  " (played_on > ? OR (played_on = ? AND (played_at > ? OR (played_at = ? AND received_us > ?))))))");
    ahead.addBindValue(outcome.stored.language);
    ahead.addBindValue(key.points);
    ahead.addBindValue(key.points);
    ahead.addBindValue(q(key.isoDate));
    ahead.addBindValue(q(key.isoDate));
    ahead.addBindValue(q(key.clockTime));
    ahead.addBindValue(q(key.clockTime));
    ahead.addBindValue(receivedUs);
    if (!ahead.exec() || !ahead.next())
        return failed(ahead);
    outcome.place = ahead.value(0).toInt() + 1;
    return outcome;
}

std::optional<std::vector<WorldTable>> RecordStore::tables(int language, QString* error)
{
    std::optional<QSqlDatabase> db = openDatabase(connection().name(), !m_target.postgres, error);
    if (!db)
        return std::nullopt;
    std::vector<WorldTable> tables;
    for (int each = 1; each <= 3; ++each) {
        if (language != 0 && each != language)
            continue;
        QSqlQuery query(*db);
        query.prepare(QStringLiteral("SELECT name, points, round, played_on, played_at, note FROM vortigo_records"
                                     " WHERE language = ? ORDER BY %1 LIMIT %2")
                          .arg(QLatin1String(kRankingOrder))
                          .arg(kTableRows));
        query.addBindValue(each);
        if (!query.exec()) {
            if (error)
                *error = lastError(query);
            dropAfterFailure(*db);
            return std::nullopt;
        }
        WorldTable table{each, {}};
        while (query.next()) {
            table.rows.push_back(TableRow{s(query.value(0)), query.value(1).toInt(), query.value(2).toInt(),
                                          s(query.value(3)), s(query.value(4)), s(query.value(5))});
        }
        tables.push_back(std::move(table));
    }
    return tables;
}

}  // namespace vortigo::records
