// SPDX-License-Identifier: GPL-3.0-or-later
// Installs the game into a temporary prefix, or copies it into a fresh
// folder of its own, and plays that copy offscreen, with a fresh home
// folder, through the stand-in player of player_plugin.cpp: the game must
// find its data through its own location, keep its two files in the
// player's folders and write nothing into the installation, also when the
// data folder is read-only; a copy with a damaged folder must say the right
// thing, in a box in the middle of the screen, and end.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <grp.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <optional>
#include <tuple>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A high-score table of fifty rows, the first given, the others empty.
QByteArray tableOf(const QByteArray& first)
{
    QByteArray table = first + " \r\n";
    for (int row = 2; row <= 50; ++row)
        table += ", 0 \r\n";
    return table;
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

constexpr uid_t kNobody = 65534;

// Exit status (-1 after a crash or a hang), standard output and error. Given
// a home folder, the game runs offscreen for a player who never ran it (only
// HOME says where the player's folders are), played by the stand-in player
// when its plugins are given, and as nobody when asked and the tests run as
// root (root may write anywhere).
std::tuple<int, QString, QString> run(const QString& program, const QStringList& arguments, const QString& home = {},
                                      const QString& plugins = {}, bool asNobody = false)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!home.isEmpty()) {
        env = QProcessEnvironment();
        env.insert("PATH", qEnvironmentVariable("PATH"));
        env.insert("HOME", home);
        env.insert("QT_QPA_PLATFORM", "offscreen");
    }
    if (!plugins.isEmpty()) {
        env.insert("QT_PLUGIN_PATH", plugins);
        env.insert("QT_QPA_GENERIC_PLUGINS", "vortigoplayer");
    }
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(QDir::tempPath());
    if (asNobody && ::geteuid() == 0) {
        EXPECT_EQ(::chown(home.toLocal8Bit().constData(), kNobody, kNobody), 0);
        process.setChildProcessModifier([] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
                ::_exit(99);
        });
    }
    process.start(program, arguments);
    // A ceiling against a hang, far above the few seconds a run takes.
    const bool finished = process.waitForFinished(120000);
    if (!finished) {
        process.kill();
        process.waitForFinished(-1);
    }
    return {finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

// The texts of the message boxes the stand-in player answered.
QStringList messages(const QString& played)
{
    QStringList texts;
    QRegularExpression line("^message (.*)$", QRegularExpression::MultilineOption);
    for (auto it = line.globalMatch(played); it.hasNext();)
        texts << it.next().captured(1);
    return texts;
}

// A game played to its end, through the high-score table, with its sound
// module found (switching the sound on loads it).
void expectPlayedThrough(int status, const QString& played, const QString& complaints)
{
    ASSERT_EQ(status, 0) << played.toStdString() << complaints.toStdString();
    ASSERT_TRUE(played.contains("\ndone\n")) << played.toStdString();
    EXPECT_TRUE(("\n" + played).contains("\nwindow maximized\n")) << played.toStdString();  // the grid gets the whole screen
    EXPECT_FALSE(complaints.contains("no sound")) << complaints.toStdString();
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

        // Without a display the two questions are still answered, then the program ends.
        const auto [versionStatus, version, versionErrors] = run(game, {"--version"}, home);
        EXPECT_EQ(versionStatus, 0);
        EXPECT_TRUE(QRegularExpression("^vortigo \\d+\\.\\d+\\.\\d+\\n").match(version).hasMatch()) << version.toStdString();
        const auto [helpStatus, help, helpErrors] = run(game, {"--help", "--ignored"}, home);
        EXPECT_EQ(helpStatus, 0);
        EXPECT_TRUE(help.startsWith("Uso: vortigo")) << help.toStdString();

        const auto [status, played, complaints] = run(game, {}, home, VORTIGO_PLAYER_PLUGIN_PATH);
        ASSERT_NO_FATAL_FAILURE(expectPlayedThrough(status, played, complaints));
        // Only the boxes of wrong letters and of new games were shown:
        // nothing about files that cannot be saved.
        for (const QString& told : messages(played))
            EXPECT_TRUE(told == "Hai commesso un errore! Ne puoi commettere ancora 1" ||
                        told == "Desideri veramente iniziare una nuova partita?")
                << played.toStdString();
        const QString points = QRegularExpression("^score (\\d+)$", QRegularExpression::MultilineOption).match(played).captured(1);
        ASSERT_FALSE(points.isEmpty()) << played.toStdString();

        EXPECT_EQ(readAll(home + "/.config/vortigo/vortigo.INI"), "Livello=Principiante\r\nGiocatore1=Collaudo\r\nSuono=NO\r\n");
        EXPECT_EQ(readAll(home + "/.local/share/vortigo/vortigo.HIS"), tableOf("Collaudo, " + points.toLatin1()));

        // Nothing was written into the installation.
        EXPECT_EQ(walk(prefix), before);
        walk(prefix, true);  // so the scratch folder can be removed
    }
}

// A copy of the built game in a fresh folder of its own: the program, its
// sound module and the delivered files, as a player unpacks it.
class CopiedGame : public ::testing::Test {
protected:
    void SetUp() override
    {
        namespace fs = std::filesystem;
        ASSERT_TRUE(m_scratch.isValid());
        // Whoever plays must reach the copy (a root test plays as nobody).
        ::chmod(m_scratch.path().toLocal8Bit().constData(), 0755);
        game = m_scratch.filePath(QStringLiteral("vortigo")) + "/";
        home = m_scratch.filePath(QStringLiteral("home"));
        ASSERT_TRUE(QDir().mkpath(game) && QDir().mkpath(home));
        const fs::path folder = game.toStdString();
        for (const fs::directory_entry& entry : fs::directory_iterator(VORTIGO_DATA_DIR))
            if (entry.path().filename() != "README.md")
                fs::copy_file(entry.path(), folder / entry.path().filename());
        fs::copy_file(VORTIGO_GAME, folder / "vortigo");
        fs::copy_file(VORTIGO_SOUND_MODULE, folder / fs::path(VORTIGO_SOUND_MODULE).filename());
        // The player too, where an unprivileged player can load it (the
        // build folder may be private).
        plugins = m_scratch.filePath(QStringLiteral("plugins"));
        fs::copy(VORTIGO_PLAYER_PLUGIN_PATH, plugins.toStdString(), fs::copy_options::recursive);
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(plugins.toStdString()))
            fs::permissions(entry.path(), fs::perms::others_read | fs::perms::others_exec | fs::perms::group_read |
                                              fs::perms::group_exec, fs::perm_options::add);
    }

    // Plays the copy as an ordinary user.
    std::tuple<int, QString, QString> play() { return run(game + "vortigo", {}, home, plugins, true); }

    // Every box's centre, off the screen's, in pixels.
    static void expectBoxesCentred(const QString& played)
    {
        QRegularExpression line("^box (-?\\d+) (-?\\d+)$", QRegularExpression::MultilineOption);
        int boxes = 0;
        for (auto it = line.globalMatch(played); it.hasNext(); ++boxes) {
            const QRegularExpressionMatch m = it.next();
            EXPECT_LE(std::abs(m.captured(1).toInt()), 2) << played.toStdString();
            EXPECT_LE(std::abs(m.captured(2).toInt()), 2) << played.toStdString();
        }
        EXPECT_GT(boxes, 0);
    }

    QTemporaryDir m_scratch;
    QString game, home, plugins;
};

TEST_F(CopiedGame, WithoutItsDictionaryItSaysSoAndEnds)
{
    namespace fs = std::filesystem;
    const fs::path dictionary = (game + "SLESSICO.1").toStdString();
    using Damage = void (*)(const fs::path&);
    const std::pair<const char*, Damage> damages[] = {
        {"missing", [](const fs::path& f) { fs::remove(f); }},
        {"a folder", [](const fs::path& f) { fs::create_directory(f); }},
        {"a pipe", [](const fs::path& f) { ::mkfifo(f.c_str(), 0644); }},
        {"a link to /dev/zero", [](const fs::path& f) { fs::create_symlink("/dev/zero", f); }},
    };
    for (const auto& [what, damage] : damages) {
        SCOPED_TRACE(what);
        fs::remove_all(dictionary);
        damage(dictionary);
        const auto [status, played, complaints] = play();
        ASSERT_NE(status, -1) << "hung or crashed: " << played.toStdString();
        EXPECT_EQ(status, 1) << complaints.toStdString();
        const QStringList told = messages(played);
        ASSERT_EQ(told.size(), 1) << played.toStdString();
        EXPECT_TRUE(told[0].contains("vocabolario") && told[0].contains("SLESSICO.1")) << told[0].toStdString();
        expectBoxesCentred(played);
    }
}

TEST_F(CopiedGame, InAReadOnlyFolderReadsBesideItself)
{
    namespace fs = std::filesystem;
    // The player's level and name, and a table of a friend; no title
    // picture, and a pipe where a sound should be.
    writeBytes(game + "vortigo.INI", "Livello=Medio\r\nGiocatore1=Lettore\r\nSuono=NO\r\n");
    writeBytes(game + "vortigo.HIS", tableOf("Lettore, 987654"));
    fs::remove((game + "vortigo.gif").toStdString());
    fs::remove((game + "SOUND2.wav").toStdString());
    ASSERT_EQ(::mkfifo((game + "SOUND2.wav").toLocal8Bit().constData(), 0644), 0);
    walk(game, false);
    const std::map<QString, QString> before = walk(game);

    const auto [status, played, complaints] = play();
    const std::map<QString, QString> after = walk(game);
    walk(game, true);  // so the scratch folder can be removed
    // The pipe was never opened as a sound, so the program could end.
    ASSERT_NO_FATAL_FAILURE(expectPlayedThrough(status, played, complaints));
    // The picture's box came first, in the middle of the screen, then play went on.
    const QStringList told = messages(played);
    ASSERT_FALSE(told.isEmpty());
    EXPECT_TRUE(told[0].startsWith("Non riesco a caricare l'immagine del titolo")) << told[0].toStdString();
    expectBoxesCentred(played);

    // The level came from the file beside the program, the table kept the friend's row.
    EXPECT_EQ(readAll(home + "/.config/vortigo/vortigo.INI").toStdString(), "Livello=Medio\r\nGiocatore1=Collaudo\r\nSuono=SI\r\n");
    const QByteArray table = readAll(home + "/.local/share/vortigo/vortigo.HIS");
    EXPECT_TRUE(table.startsWith("Lettore, 987654 \r\nCollaudo, ")) << table.toStdString();
    EXPECT_TRUE(after == before) << "the copy's folder changed";
}

}  // namespace
