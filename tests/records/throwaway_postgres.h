// SPDX-License-Identifier: GPL-3.0-or-later
// A PostgreSQL cluster of its own in a temporary folder, for as long as the
// object lives (throwaway_postgres.sh).
#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

namespace vortigo::records::test {

/// The databases the server runs on, as test parameters named for them.
enum class Backend { SQLite, PostgreSQL };
inline std::string backendName(const ::testing::TestParamInfo<Backend>& info)
{
    return info.param == Backend::SQLite ? "SQLite" : "PostgreSQL";
}

class ThrowawayPostgres {
public:
    ThrowawayPostgres()
    {
        // The cluster runs as "postgres" when the tests run as root: it must reach its folder.
        QFile::setPermissions(m_dir.path(), QFile::permissions(m_dir.path()) | QFile::ExeGroup | QFile::ExeOther);
        QProcess script;
        script.start(QStringLiteral(VORTIGO_THROWAWAY_POSTGRES), {"start", m_cluster});
        script.waitForFinished(-1);
        url = QString::fromUtf8(script.readAllStandardOutput()).trimmed();
        problem = script.readAllStandardError().toStdString();
    }
    ~ThrowawayPostgres() { stop(); }
    /// The database going away, and coming back, as a host's restart does.
    void stop() { QProcess::execute(QStringLiteral(VORTIGO_THROWAWAY_POSTGRES), {"stop", m_cluster}); }
    bool resume() { return QProcess::execute(QStringLiteral(VORTIGO_THROWAWAY_POSTGRES), {"resume", m_cluster}) == 0; }
    ThrowawayPostgres(const ThrowawayPostgres&) = delete;
    ThrowawayPostgres& operator=(const ThrowawayPostgres&) = delete;

    QString url;  ///< postgresql://...; empty when the cluster did not start
    std::string problem;

private:
    QTemporaryDir m_dir{QDir::tempPath() + "/vortigo-pg-XXXXXX"};
    QString m_cluster = m_dir.path() + "/pg";
};

}  // namespace vortigo::records::test
