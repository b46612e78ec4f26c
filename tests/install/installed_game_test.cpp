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

namespace {

const QString kAppId = QStringLiteral("example.vortigo.Vortigo");

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every entry of the tree with its size, time and permissions.
std::map<QString, QString> snapshot(const QString& root)
{
    std::map<QString, QString> entries;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        entries[QDir(root).relativeFilePath(info.filePath())] =
            QStringLiteral("%1 %2 %3")
                .arg(info.isDir() ? -1 : info.size())
                .arg(info.lastModified().toMSecsSinceEpoch())
                .arg(static_cast<int>(info.permissions()));
    }
    return entries;
}

void setWritable(const QString& root, bool writable)
{
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    QStringList paths{root};
    while (it.hasNext())
        paths << it.next();
    for (const QString& path : paths) {
        QFile::Permissions p = QFile::permissions(path);
        const QFile::Permissions write = QFile::WriteOwner | QFile::WriteUser | QFile::WriteGroup | QFile::WriteOther;
        QFile::setPermissions(path, writable ? (p | QFile::WriteOwner | QFile::WriteUser) : (p & ~write));
    }
}

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

Outcome run(const QString& program, const QStringList& arguments, const QProcessEnvironment& env, const QString& folder)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(folder);
    process.start();
    process.waitForFinished(-1);
    Outcome r;
    r.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    r.out = QString::fromUtf8(process.readAllStandardOutput());
    r.err = QString::fromUtf8(process.readAllStandardError());
    return r;
}

// The environment of a player who has never run the game: only HOME says
// where the player's folders are.
QProcessEnvironment freshPlayer(const QString& home)
{
    QProcessEnvironment env;
    const QProcessEnvironment outer = QProcessEnvironment::systemEnvironment();
    for (const char* kept : {"PATH", "LANG", "LC_ALL"})
        if (outer.contains(QString::fromLatin1(kept)))
            env.insert(QString::fromLatin1(kept), outer.value(QString::fromLatin1(kept)));
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

TEST(InstalledGame, plays_from_a_temporary_prefix_and_keeps_its_files_in_the_players_folders)
{
    for (const bool readOnlyData : {false, true}) {
        SCOPED_TRACE(readOnlyData ? "data folder read-only" : "as installed");
        QTemporaryDir scratch;
        ASSERT_TRUE(scratch.isValid());
        const QString prefix = scratch.filePath(QStringLiteral("prefix"));
        const QString home = scratch.filePath(QStringLiteral("home"));
        ASSERT_TRUE(QDir().mkpath(home));

        const Outcome install = run(QStringLiteral(VORTIGO_CMAKE),
                                {QStringLiteral("--install"), QStringLiteral(VORTIGO_BUILD_DIR),
                                 QStringLiteral("--prefix"), prefix},
                                QProcessEnvironment::systemEnvironment(), scratch.path());
        ASSERT_EQ(install.exitCode, 0) << install.out.toStdString() << install.err.toStdString();

        // The standard layout.
        const QString game = prefix + QStringLiteral("/bin/vortigo");
        const QString data = prefix + QStringLiteral("/share/vortigo");
        for (const QString& file :
             {game, data + QStringLiteral("/SLESSICO.1"), data + QStringLiteral("/SLESSICO.2"),
              data + QStringLiteral("/SLESSICO.3"), data + QStringLiteral("/vortigo.gif"),
              data + QStringLiteral("/vortigo.htm"), data + QStringLiteral("/CREDITS.txt"),
              data + QStringLiteral("/VINCI.WAV"),
              prefix + QStringLiteral("/share/applications/") + kAppId + QStringLiteral(".desktop"),
              prefix + QStringLiteral("/share/metainfo/") + kAppId + QStringLiteral(".metainfo.xml"),
              prefix + QStringLiteral("/share/icons/hicolor/256x256/apps/") + kAppId + QStringLiteral(".png"),
              prefix + QStringLiteral("/share/icons/hicolor/scalable/apps/") + kAppId + QStringLiteral(".svg"),
              prefix + QStringLiteral("/share/man/man6/vortigo.6.gz"),
              prefix + QStringLiteral("/share/doc/vortigo/CREDITS.txt"),
              prefix + QStringLiteral("/lib/vortigo/modules/libvortigo_sound.so")})
            EXPECT_TRUE(QFileInfo::exists(file)) << file.toStdString();
        ASSERT_TRUE(QFileInfo(game).isExecutable());

        if (readOnlyData)
            setWritable(data, false);
        const std::map<QString, QString> before = snapshot(prefix);

        QProcessEnvironment env = freshPlayer(home);
        // Without a display the two questions are still answered, then the program ends.
        const Outcome version = run(game, {QStringLiteral("--version")}, env, home);
        EXPECT_EQ(version.exitCode, 0);
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^vortigo \\d+\\.\\d+\\.\\d+\\n")).match(version.out).hasMatch())
            << version.out.toStdString();
        const Outcome help = run(game, {QStringLiteral("--help"), QStringLiteral("--ignored")}, env, home);
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_TRUE(help.out.startsWith(QStringLiteral("Uso: vortigo"))) << help.out.toStdString();

        env.insert(QStringLiteral("QT_PLUGIN_PATH"), QStringLiteral(VORTIGO_PLAYER_PLUGIN_PATH));
        env.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"), QStringLiteral("vortigoplayer"));
        const Outcome played = run(game, {}, env, home);
        ASSERT_EQ(played.exitCode, 0) << played.out.toStdString() << played.err.toStdString();
        ASSERT_TRUE(played.out.contains(QStringLiteral("\ndone\n"))) << played.out.toStdString();
        // Switching the sound on found the sound module in the installation.
        EXPECT_FALSE(played.err.contains(QStringLiteral("no sound"))) << played.err.toStdString();

        // Only the boxes of a level change and of wrong letters were shown:
        // nothing about files that cannot be saved.
        const QRegularExpression messageLine(QStringLiteral("^message (.*)$"), QRegularExpression::MultilineOption);
        for (auto it = messageLine.globalMatch(played.out); it.hasNext();) {
            const QString text = it.next().captured(1);
            EXPECT_TRUE(text == QStringLiteral("Si inizia ora una nuova partita con il livello selezionato.") ||
                        text.startsWith(QStringLiteral("Hai commesso un errore! Ne puoi commettere ancora 1")) ||
                        text == QStringLiteral("Desideri veramente iniziare una nuova partita?"))
                << text.toStdString();
        }
        const QRegularExpressionMatch score =
            QRegularExpression(QStringLiteral("^score (\\d+)$"), QRegularExpression::MultilineOption).match(played.out);
        ASSERT_TRUE(score.hasMatch()) << played.out.toStdString();
        const QString points = score.captured(1);

        EXPECT_EQ(readAll(home + QStringLiteral("/.config/vortigo/vortigo.INI")),
                  QByteArray("Livello=Basso\r\nGiocatore1=Collaudo\r\nSuono=NO\r\n"));
        QByteArray table = "Collaudo, " + points.toLatin1() + " \r\n";
        for (int row = 2; row <= 50; ++row)
            table += ", 0 \r\n";
        EXPECT_EQ(readAll(home + QStringLiteral("/.local/share/vortigo/vortigo.HIS")), table);

        // Nothing was written into the installation.
        EXPECT_EQ(snapshot(prefix), before);
        setWritable(prefix, true);  // so the scratch folder can be removed
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
