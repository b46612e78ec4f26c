// SPDX-License-Identifier: GPL-3.0-or-later
// Installs the game into a temporary prefix and plays the installed copy
// offscreen, with a fresh home folder, through the stand-in player of
// player_plugin.cpp: the game must find its data through its own location,
// keep its two files in the player's folders and write nothing into the
// installation, also when the data folder is read-only.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <map>
#include <optional>
#include <tuple>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every entry of the tree with its size, time and permissions; optionally
// made read-only or writable again on the way.
std::map<QString, QString> walk(const QString& root, std::optional<bool> writable = std::nullopt)
{
    std::map<QString, QString> entries;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    for (QString path = root; !path.isEmpty(); path = it.hasNext() ? it.next() : QString()) {
        const QFileInfo info(path);
        const QFile::Permissions write = QFile::WriteOwner | QFile::WriteUser | QFile::WriteGroup | QFile::WriteOther;
        if (writable)
            QFile::setPermissions(path, *writable ? info.permissions() | QFile::WriteOwner | QFile::WriteUser
                                                  : info.permissions() & ~write);
        entries[QDir(root).relativeFilePath(path)] = QStringLiteral("%1 %2 %3")
                                                         .arg(info.isDir() ? -1 : info.size())
                                                         .arg(info.lastModified().toMSecsSinceEpoch())
                                                         .arg(static_cast<int>(info.permissions()));
    }
    return entries;
}

// Exit status (-1 after a crash), standard output and error.
std::tuple<int, QString, QString> run(const QString& program, const QStringList& arguments,
                                      const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(QDir::tempPath());
    process.start(program, arguments);
    process.waitForFinished(-1);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

TEST(InstalledGame, KeepsItsFilesInThePlayersFolders)
{
    for (const bool readOnlyData : {false, true}) {
        SCOPED_TRACE(readOnlyData ? "data folder read-only" : "as installed");
        QTemporaryDir scratch;
        const QString prefix = scratch.filePath(QStringLiteral("prefix"));
        const QString home = scratch.filePath(QStringLiteral("home"));
        ASSERT_TRUE(QDir().mkpath(home));
        const auto [installed, log, errors] =
            run(QStringLiteral(VORTIGO_CMAKE), {"--install", VORTIGO_BUILD_DIR, "--prefix", prefix});
        ASSERT_EQ(installed, 0) << log.toStdString() << errors.toStdString();

        // (What the desktop files say is read back by installed_files_test.sh.)
        const QString game = prefix + "/bin/vortigo", data = prefix + "/share/vortigo/";
        if (readOnlyData)
            walk(data, false);
        const std::map<QString, QString> before = walk(prefix);

        // A player who never ran the game: only HOME says where the player's folders are.
        QProcessEnvironment env;
        env.insert("PATH", qEnvironmentVariable("PATH"));
        env.insert("HOME", home);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        // Without a display the two questions are still answered, then the program ends.
        const auto [versionStatus, version, versionErrors] = run(game, {"--version"}, env);
        EXPECT_EQ(versionStatus, 0);
        EXPECT_TRUE(QRegularExpression("^vortigo \\d+\\.\\d+\\.\\d+\\n").match(version).hasMatch()) << version.toStdString();
        const auto [helpStatus, help, helpErrors] = run(game, {"--help", "--ignored"}, env);
        EXPECT_EQ(helpStatus, 0);
        EXPECT_TRUE(help.startsWith("Uso: vortigo")) << help.toStdString();

        env.insert("QT_PLUGIN_PATH", VORTIGO_PLAYER_PLUGIN_PATH);
        env.insert("QT_QPA_GENERIC_PLUGINS", "vortigoplayer");
        const auto [status, played, complaints] = run(game, {}, env);
        ASSERT_EQ(status, 0) << played.toStdString() << complaints.toStdString();
        ASSERT_TRUE(played.contains("\ndone\n")) << played.toStdString();
        // Switching the sound on found the sound module in the installation.
        EXPECT_FALSE(complaints.contains("no sound")) << complaints.toStdString();
        // Only the boxes of wrong letters and of new games were shown:
        // nothing about files that cannot be saved.
        QRegularExpression line("^message (.*)$", QRegularExpression::MultilineOption);
        for (auto it = line.globalMatch(played); it.hasNext();)
            EXPECT_TRUE(QRegularExpression("^(Hai commesso un errore! Ne puoi commettere ancora 1|Desideri veramente "
                                           "iniziare una nuova partita\\?)$")
                            .match(it.next().captured(1))
                            .hasMatch())
                << played.toStdString();
        const QString points = QRegularExpression("^score (\\d+)$", QRegularExpression::MultilineOption).match(played).captured(1);
        ASSERT_FALSE(points.isEmpty()) << played.toStdString();

        EXPECT_EQ(readAll(home + "/.config/vortigo/vortigo.INI"), "Livello=Principiante\r\nGiocatore1=Collaudo\r\nSuono=NO\r\n");
        QByteArray table = "Collaudo, " + points.toLatin1() + " \r\n";
        for (int row = 2; row <= 50; ++row)
            table += ", 0 \r\n";
        EXPECT_EQ(readAll(home + "/.local/share/vortigo/vortigo.HIS"), table);

        // Nothing was written into the installation.
        EXPECT_EQ(walk(prefix), before);
        walk(prefix, true);  // so the scratch folder can be removed
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
