// SPDX-License-Identifier: GPL-3.0-or-later
// Replacing a file all or nothing, whatever the folder, the links, the
// permissions, the disk or a kill in the middle do.
#include "core/file_writing.h"
#include "tests/support/child_process.h"
#include "tests/support/scratch_folder.h"

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <tuple>

namespace vortigo {
namespace {

using namespace test;
namespace fs = std::filesystem;

const std::string kOld = "Livello=Medio\r\nGiocatore1=Vecchio\r\nSuono=SI\r\n";
const std::string kNew = "Livello=Esperto\r\nGiocatore1=Nuovo\r\nSuono=NO\r\n";

unsigned modeOf(const fs::path& file)
{
    struct stat st {};
    ::stat(file.c_str(), &st);
    return st.st_mode & 07777;
}

// A child that saves kNew over `file` and stops itself at `step`, still
// alive; its process id, or -1 when it ended without reaching the step.
pid_t childStoppedAt(WriteStep step, const fs::path& file)
{
    static WriteStep stopAt;
    stopAt = step;
    const pid_t pid = ::fork();
    if (pid == 0) {
        setWriteStepHook([](WriteStep reached) { return reached == stopAt ? ::raise(SIGSTOP) : 0; });
        replaceFile(file, kNew);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, WUNTRACED);
    return WIFSTOPPED(status) ? pid : -1;
}

TEST(ReplacingAFile, KeepsPermissionsAndLeavesNothing)
{
    TestFolder folder;
    const fs::path file = folder.path() / "vortigo.INI";
    // A new file is as open as the player's umask allows.
    const mode_t umask = ::umask(002);
    ASSERT_TRUE(replaceFile(file, kOld).ok());  // no file yet
    ::umask(umask);
    EXPECT_EQ(readBytes(file), kOld);
    EXPECT_EQ(modeOf(file), 0664u);
    ::chmod(file.c_str(), 0640);
    const std::string binary("\0\xff\r\n\x1a", 5);
    ASSERT_TRUE(replaceFile(file, binary).ok());
    EXPECT_EQ(readBytes(file), binary);
    EXPECT_EQ(modeOf(file), 0640u);
    EXPECT_EQ(folderEntries(folder.path()), std::set<std::string>{"vortigo.INI"});

    // Something that is not a file stays, and is said to be in the way.
    fs::create_directory(folder.path() / "vortigo.HIS");
    EXPECT_EQ(writeFailureReason(replaceFile(folder.path() / "vortigo.HIS", kNew)), "al suo posto c'è una cartella");
    EXPECT_EQ(folderEntries(folder.path()), (std::set<std::string>{"vortigo.HIS", "vortigo.INI"}));
}

TEST(ReplacingAFile, FollowsALinkAndKeepsIt)
{
    TestFolder root;
    const fs::path game = root.path() / "gioco";
    const fs::path elsewhere = root.path() / "altrove";
    fs::create_directories(game);
    fs::create_directories(elsewhere);
    writeBytes(elsewhere / "vero.HIS", kOld);
    ::chmod((elsewhere / "vero.HIS").c_str(), 0600);
    fs::create_symlink("../altrove/vero.HIS", game / "vortigo.HIS");  // relative, as people make them
    fs::create_symlink(game / "vortigo.HIS", game / "catena.HIS");     // a link to the link
    for (const char* name : {"vortigo.HIS", "catena.HIS"}) {
        ASSERT_TRUE(replaceFile(game / name, kNew + name).ok()) << name;
        EXPECT_TRUE(fs::is_symlink(game / name)) << name;
        EXPECT_EQ(readBytes(elsewhere / "vero.HIS"), kNew + name);
        EXPECT_EQ(modeOf(elsewhere / "vero.HIS"), 0600u);
    }
    EXPECT_EQ(folderEntries(game), (std::set<std::string>{"catena.HIS", "vortigo.HIS"}));
    EXPECT_EQ(folderEntries(elsewhere), std::set<std::string>{"vero.HIS"});

    // A link to a file not there yet creates that file.
    fs::create_symlink(elsewhere / "nuovo.INI", game / "vortigo.INI");
    ASSERT_TRUE(replaceFile(game / "vortigo.INI", kNew).ok());
    EXPECT_TRUE(fs::is_symlink(game / "vortigo.INI"));
    EXPECT_EQ(readBytes(elsewhere / "nuovo.INI"), kNew);

    // Links in a circle lead nowhere: nothing is written, both stay.
    fs::create_symlink("giro2", game / "giro1");
    fs::create_symlink("giro1", game / "giro2");
    EXPECT_EQ(writeFailureReason(replaceFile(game / "giro1", kNew)),
              "è un collegamento che gira in tondo e non porta a nessun file");
    EXPECT_TRUE(fs::is_symlink(game / "giro1") && fs::is_symlink(game / "giro2"));
}

TEST(ReplacingAFile, SweepsOnlyItsOwnLeftovers)
{
    TestFolder root;
    const fs::path victim = root.path() / "vittima";
    writeBytes(victim, "da non toccare");
    const fs::path game = root.path() / "gioco";
    fs::create_directories(game);
    writeBytes(game / "vortigo.HIS", kOld);
    // The name the next temporary file will take, and names that only look like ours.
    const std::string planted = ".vortigo.HIS.AAAAAAAAAAAA.tmp";
    fs::create_symlink(victim, game / planted);
    fs::create_symlink(victim, game / "vortigo.HIS.tmp");
    // A pipe at a leftover's name, which no one writes to: never waited on.
    const std::string pipe = ".vortigo.HIS.CCCCCCCCCCCC.tmp";
    ASSERT_EQ(::mkfifo((game / pipe).c_str(), 0644), 0);
    const std::set<std::string> keep = {planted, pipe, "vortigo.HIS", "vortigo.HIS.tmp", ".vortigo.HIS.AAAAAAAAAAA.tmp",
                                        ".vortigo.INI.BBBBBBBBBBBB.tmp", "vortigo.HIS.BBBBBBBBBBBB.tmp",
                                        ".vortigo.HIS.BBBBBB-BBBBB.tmp", ".vortigo.HIS.BBBBBBBBBBBB.tmpx"};
    for (const std::string& name : keep)
        if (!fs::exists(fs::symlink_status(game / name)))
            writeBytes(game / name, "x");
    writeBytes(game / ".vortigo.HIS.Ab3dEf6hIj9L.tmp", "resto di un salvataggio interrotto");

    static int names = 0;
    names = 0;
    setTemporaryNameHook([] { return std::string(12, names++ == 0 ? 'A' : 'B'); });
    const WriteOutcome outcome = replaceFile(game / "vortigo.HIS", kNew);
    setTemporaryNameHook(nullptr);
    ASSERT_TRUE(outcome.ok());
    EXPECT_EQ(names, 2);  // the planted name was tried, refused, and another taken
    EXPECT_EQ(readBytes(game / "vortigo.HIS"), kNew);
    EXPECT_FALSE(fs::is_symlink(game / "vortigo.HIS"));
    EXPECT_EQ(readBytes(victim), "da non toccare");
    EXPECT_EQ(folderEntries(game), keep);
}

TEST(ReplacingAFile, AFailureKeepsTheOldFileAndSaysWhy)
{
    TestFolder folder;
    const fs::path file = folder.path() / "vortigo.HIS";
    writeBytes(file, kOld);
    ::chmod(file.c_str(), 0444);
    fs::create_symlink(file, folder.path() / "collegamento.HIS");
    for (const char* name : {"vortigo.HIS", "collegamento.HIS"})
        EXPECT_EQ(writeFailureReason(replaceFile(folder.path() / name, kNew)), "il file è in sola lettura") << name;
    EXPECT_EQ(readBytes(file), kOld);
    EXPECT_EQ(modeOf(file), 0444u);
    ::chmod(file.c_str(), 0644);

    // A folder that cannot be written is told apart from a read-only file.
    const fs::path locked = folder.path() / "protetta";
    fs::create_directories(locked);
    writeBytes(locked / "vortigo.INI", kOld);
    ::chmod((locked / "vortigo.INI").c_str(), 0666);
    ::chmod(locked.c_str(), 0555);
    ::chmod(folder.path().c_str(), 0755);
    EXPECT_EQ(runUnprivileged([&] { return static_cast<int>(replaceFile(locked / "vortigo.INI", kNew).failure); }),
              static_cast<int>(WriteFailure::ReadOnlyFolder));
    EXPECT_EQ(readBytes(locked / "vortigo.INI"), kOld);
    EXPECT_EQ(writeFailureReason({WriteFailure::ReadOnlyFolder, EACCES}),
              "la cartella che lo contiene non permette di scrivere");
    // Its lock cannot be made there either, and the player hears of the
    // folder; a lock that may not be opened, in a folder that may be
    // written, is told as the lock's.
    const auto lockRefused = [](const fs::path& target) {
        return runUnprivileged([&] { return static_cast<int>(FileLock(target).refusal().failure); });
    };
    EXPECT_EQ(lockRefused(locked / "vortigo.INI"), static_cast<int>(WriteFailure::ReadOnlyFolder));
    const fs::path open = folder.path() / "aperta";
    fs::create_directories(open);
    ::chmod(open.c_str(), 0777);
    writeBytes(open / "vortigo.HIS.lock", "");
    ::chmod((open / "vortigo.HIS.lock").c_str(), 0);
    EXPECT_EQ(lockRefused(open / "vortigo.HIS"), static_cast<int>(WriteFailure::LockUnavailable));
    // One that may be read and not written (another player's, in a shared folder) is taken all the same.
    ::chmod((open / "vortigo.HIS.lock").c_str(), 0644);
    EXPECT_EQ(lockRefused(open / "vortigo.HIS"), static_cast<int>(WriteFailure::None));
    fs::remove_all(open);

    // A full disk or a failing sync, at each step where the system reports them.
    static WriteStep failAt;
    static int error;
    const std::tuple<WriteStep, int, const char*> cases[] = {
        {WriteStep::TemporaryCreated, EDQUOT, "il disco è pieno"},
        {WriteStep::ContentSynced, ENOSPC, "il disco è pieno"},
        {WriteStep::ContentSynced, EIO, "il disco ha dato un errore di lettura o scrittura"},
    };
    for (const auto& [step, errorNumber, reason] : cases) {
        failAt = step;
        error = errorNumber;
        setWriteStepHook([](WriteStep reached) { return reached == failAt ? error : 0; });
        const WriteOutcome outcome = replaceFile(file, kNew);
        setWriteStepHook(nullptr);
        EXPECT_EQ(writeFailureReason(outcome), reason) << static_cast<int>(step);
        EXPECT_EQ(readBytes(file), kOld);
        EXPECT_EQ(folderEntries(folder.path()), (std::set<std::string>{"collegamento.HIS", "protetta", "vortigo.HIS"}));
    }

    // A file-size limit is an ordinary failure, not the end of the program.
    const int result = runInChild([&] {
        ignoreFileSizeSignal();  // as the game does at start-up
        const rlimit limit{64, 64};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        return static_cast<int>(replaceFile(file, std::string(4096, 'x')).failure);
    });
    EXPECT_EQ(result, static_cast<int>(WriteFailure::SizeLimit)) << "128 + signal when the limit killed it";
    EXPECT_EQ(readBytes(file), kOld);
    EXPECT_EQ(writeFailureReason({WriteFailure::SizeLimit, EFBIG}), "il file supererebbe la dimensione massima consentita");
}

// What a player can find in the file's place is told in words, never as a bare number.
TEST(ReplacingAFile, EveryCauseInTheFilesPlaceIsToldInWords)
{
    TestFolder folder;
    const fs::path at = folder.path();
    ASSERT_EQ(::mkfifo((at / "pipe.INI").c_str(), 0644), 0);
    fs::create_symlink(at / "manca" / "vortigo.INI", at / "rotto.INI");
    writeBytes(at / "vortigo", "");  // a file where its folder should be
    const std::pair<fs::path, const char*> cases[] = {
        {at / "manca" / "vortigo.INI", "la cartella che dovrebbe contenerlo non esiste"},
        {at / "vortigo" / "vortigo.INI", "la cartella che dovrebbe contenerlo non esiste"},
        {at / "pipe.INI", "al suo posto c'è un file speciale (una pipe o un dispositivo), non un file normale"},
        {at / "rotto.INI", "è un collegamento a un file in una cartella che non esiste"},
        {at / std::string(300, 'x'), "il suo percorso è troppo lungo"},
    };
    for (const auto& [target, reason] : cases)
        EXPECT_EQ(writeFailureReason(replaceFile(target, kNew)), reason) << target;
    // A disk mounted read-only: a child mounts a tmpfs read-only in a mount
    // namespace of its own, which a user namespace lets it make.
    const fs::path disk = at / "disco";
    fs::create_directory(disk);
    const int readOnlyDisk = runInChild([&] {
        const std::string user = std::to_string(::getuid()), group = std::to_string(::getgid());
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return 2;
        writeBytes("/proc/self/setgroups", "deny");
        writeBytes("/proc/self/uid_map", "0 " + user + " 1");
        writeBytes("/proc/self/gid_map", "0 " + group + " 1");
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("vortigo", disk.c_str(), "tmpfs", 0, nullptr) != 0 ||
            ::mount(nullptr, disk.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0)
            return 3;
        const std::string said = writeFailureReason(replaceFile(disk / "vortigo.INI", kNew));
        std::fprintf(stderr, "on a read-only disk: %s\n", said.c_str());
        return said == "la cartella che lo contiene non permette di scrivere" ? 0 : 1;
    });
    EXPECT_EQ(readOnlyDisk, 0) << "2: no user namespace, 3: no read-only mount";
    // A cause nobody foresaw still says what happened, then the number.
    EXPECT_EQ(writeFailureReason({WriteFailure::Other, EXDEV}), "il sistema non ha permesso di scriverlo (errore n. 18)");
    EXPECT_TRUE(fs::is_fifo(at / "pipe.INI"));
}

TEST(ReplacingAFile, SurvivesAKillAtAnyStep)
{
    for (const WriteStep step : {WriteStep::TemporaryCreated, WriteStep::ContentWritten, WriteStep::ContentSynced,
                                 WriteStep::Renamed, WriteStep::FolderSynced}) {
        TestFolder folder;
        const fs::path file = folder.path() / "vortigo.INI";
        writeBytes(file, kOld);
        const bool renamed = step >= WriteStep::Renamed;
        const pid_t child = childStoppedAt(step, file);
        ASSERT_GT(child, 0) << static_cast<int>(step);
        EXPECT_EQ(readBytes(file), renamed ? kNew : kOld) << static_cast<int>(step);
        // A writer still at work keeps its temporary file through a sweep.
        sweepTemporaries(file);
        EXPECT_EQ(folderEntries(folder.path()).size(), renamed ? 1u : 2u) << static_cast<int>(step);
        // Killed as a power cut or kill -9 would: no clean-up of any kind.
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        EXPECT_EQ(readBytes(file), renamed ? kNew : kOld) << static_cast<int>(step);
        // What the killed writer left is swept by the next save.
        ASSERT_TRUE(replaceFile(file, "dopo").ok());
        EXPECT_EQ(readBytes(file), "dopo");
        EXPECT_EQ(folderEntries(folder.path()), std::set<std::string>{"vortigo.INI"}) << static_cast<int>(step);
    }
}

}  // namespace
}  // namespace vortigo
