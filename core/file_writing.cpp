// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_writing.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <random>
#include <system_error>
#include <thread>

namespace vortigo {

namespace {

WriteStepHook g_stepHook = nullptr;
TemporaryNameHook g_nameHook = nullptr;

constexpr char kTemporaryEnd[] = ".tmp";
constexpr std::size_t kRandomLetters = 12;
constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

std::string randomLetters()
{
    if (g_nameHook)
        return g_nameHook();
    std::random_device device;
    std::string letters;
    for (std::size_t i = 0; i < kRandomLetters; ++i)
        letters.push_back(kLetters[device() % (sizeof kLetters - 1)]);
    return letters;
}

// ".vortigo.HIS.<letters>.tmp": hidden, and told apart from anything else in
// the folder by its exact shape.
std::string temporaryName(const std::string& targetName)
{
    return "." + targetName + "." + randomLetters() + kTemporaryEnd;
}

WriteFailure causeOf(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
        return WriteFailure::ReadOnlyFolder;
    case ENOSPC:
    case EDQUOT:
        return WriteFailure::DiskFull;
    case EFBIG:
        return WriteFailure::SizeLimit;
    case ENOENT:
    case ENOTDIR:
        return WriteFailure::MissingFolder;
    case ELOOP:
        return WriteFailure::LinkLoop;
    case EISDIR:
        return WriteFailure::FolderInPlace;
    case ENAMETOOLONG:
        return WriteFailure::NameTooLong;
    case EIO:
        return WriteFailure::DiskError;
    default:
        return WriteFailure::Other;
    }
}

WriteOutcome failed(int error)
{
    return {causeOf(error), error};
}

// The step hook's word on a step that has just succeeded: 0 to go on.
int stepDone(WriteStep step)
{
    return g_stepHook ? g_stepHook(step) : 0;
}

bool writeAll(int fd, std::string_view bytes, int& error)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::filesystem::path folderOf(const std::filesystem::path& file)
{
    const std::filesystem::path folder = file.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

// A temporary file of ours, created exclusively (so a planted file or link
// at that name is never opened) and locked for as long as its writer lives,
// which tells sweepTemporaries it is not a leftover.
struct Temporary {
    int fd = -1;
    std::filesystem::path path;
};

std::optional<Temporary> createTemporary(const std::filesystem::path& target, int& error)
{
    const std::filesystem::path folder = folderOf(target);
    const std::string name = target.filename().native();
    for (int attempt = 0; attempt < 100; ++attempt) {
        Temporary t;
        t.path = folder / temporaryName(name);
        t.fd = ::open(t.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (t.fd < 0) {
            if (errno == EEXIST)
                continue;
            error = errno;
            return std::nullopt;
        }
        // A sweeper that came between the creation and the lock has removed
        // the name: start again under another.
        struct stat st {};
        while (::flock(t.fd, LOCK_EX) != 0 && errno == EINTR) {
        }
        if (::fstat(t.fd, &st) == 0 && st.st_nlink > 0)
            return t;
        ::close(t.fd);
    }
    error = EEXIST;
    return std::nullopt;
}

void discard(Temporary& t)
{
    ::unlink(t.path.c_str());
    ::close(t.fd);
    t.fd = -1;
}

void syncFolder(const std::filesystem::path& folder)
{
    // Makes the rename itself durable. Some file systems cannot sync a
    // folder; the file is in place either way.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool isReadOnly(const std::filesystem::path& file, const struct stat& st)
{
    // No write bit at all counts even for a user whom the system would let
    // write anyway: the player marked the file so.
    if ((st.st_mode & 0222) == 0)
        return true;
    return ::access(file.c_str(), W_OK) != 0 && errno == EACCES;
}

}  // namespace

std::optional<std::filesystem::path> followLinks(const std::filesystem::path& file)
{
    std::filesystem::path p = file;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return p;
        char buffer[PATH_MAX];
        const ssize_t n = ::readlink(p.c_str(), buffer, sizeof buffer);
        if (n < 0 || static_cast<std::size_t>(n) >= sizeof buffer)
            return p;
        const std::filesystem::path link(std::string(buffer, static_cast<std::size_t>(n)));
        p = link.is_absolute() ? link : p.parent_path() / link;
    }
    return std::nullopt;
}

bool isTemporaryFor(std::string_view fileName, std::string_view targetName)
{
    const std::size_t end = sizeof kTemporaryEnd - 1;
    if (fileName.size() != 1 + targetName.size() + 1 + kRandomLetters + end)
        return false;
    if (fileName[0] != '.' || fileName.substr(1, targetName.size()) != targetName ||
        fileName[1 + targetName.size()] != '.' || !fileName.ends_with(kTemporaryEnd))
        return false;
    const std::string_view letters = fileName.substr(2 + targetName.size(), kRandomLetters);
    return letters.find_first_not_of(kLetters) == std::string_view::npos;
}

void sweepTemporaries(const std::filesystem::path& target)
{
    const std::string name = target.filename().native();
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folderOf(target), ec), end; !ec && it != end; it.increment(ec)) {
        const std::filesystem::path entry = it->path();
        if (!isTemporaryFor(entry.filename().native(), name))
            continue;
        // Never through a link, never blocking on a pipe planted at the name.
        const int fd = ::open(entry.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat opened {};
        struct stat named {};
        // A lock we can take means its writer is gone; the name must still
        // be that file (not a fresh one of the same name) when it goes.
        if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::lstat(entry.c_str(), &named) == 0 && named.st_dev == opened.st_dev && named.st_ino == opened.st_ino)
            ::unlink(entry.c_str());
        ::close(fd);
    }
}

WriteOutcome replaceFile(const std::filesystem::path& target, std::string_view bytes)
{
    const std::optional<std::filesystem::path> real = followLinks(target);
    if (!real)
        return {WriteFailure::LinkLoop, ELOOP};

    struct stat old {};
    const bool exists = ::stat(real->c_str(), &old) == 0;
    if (!exists && errno != ENOENT)
        return failed(errno);
    if (exists && !S_ISREG(old.st_mode))
        return S_ISDIR(old.st_mode) ? WriteOutcome{WriteFailure::FolderInPlace, EISDIR}
                                    : WriteOutcome{WriteFailure::NotAFile, EINVAL};
    if (exists && isReadOnly(*real, old))
        return {WriteFailure::ReadOnlyFile, EACCES};

    sweepTemporaries(*real);

    int error = 0;
    std::optional<Temporary> temporary = createTemporary(*real, error);
    if (!temporary && error == ENOENT && *real != target)
        return {WriteFailure::DanglingLink, error};
    if (!temporary)
        return failed(error);
    Temporary& t = *temporary;
    if ((error = stepDone(WriteStep::TemporaryCreated)) != 0) {
        discard(t);
        return failed(error);
    }
    if (exists) {
        // The new file takes over the old one's permissions (and, where we
        // may, its owner), so replacing it changes nothing but the content.
        ::fchmod(t.fd, old.st_mode & 0777);
        if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) && ::fchown(t.fd, old.st_uid, old.st_gid) != 0) {
            // Someone else's file, writable by us: the new one is ours.
        }
    }

    if (!writeAll(t.fd, bytes, error) || (error = stepDone(WriteStep::ContentWritten)) != 0) {
        discard(t);
        return failed(error);
    }
    // A full disk may show itself only here; and without it a power cut
    // could leave an empty file under the old name after the rename.
    if (::fsync(t.fd) != 0)
        error = errno;
    if (error != 0 || (error = stepDone(WriteStep::ContentSynced)) != 0) {
        discard(t);
        return failed(error);
    }
    if (::rename(t.path.c_str(), real->c_str()) != 0) {
        error = errno;
        discard(t);
        return failed(error);
    }
    stepDone(WriteStep::Renamed);
    ::close(t.fd);
    syncFolder(folderOf(*real));
    stepDone(WriteStep::FolderSynced);
    return {};
}

std::string writeFailureReason(const WriteOutcome& outcome)
{
    switch (outcome.failure) {
    case WriteFailure::None:
        return "";
    case WriteFailure::ReadOnlyFile:
        return "il file è in sola lettura";
    case WriteFailure::ReadOnlyFolder:
        return "la cartella che lo contiene non permette di scrivere";
    case WriteFailure::DiskFull:
        return "il disco è pieno";
    case WriteFailure::SizeLimit:
        return "il file supererebbe la dimensione massima consentita";
    case WriteFailure::Busy:
        return "un'altra copia del gioco lo sta usando da troppo tempo";
    case WriteFailure::MissingFolder:
        return "la cartella che dovrebbe contenerlo non esiste";
    case WriteFailure::DanglingLink:
        return "è un collegamento a un file in una cartella che non esiste";
    case WriteFailure::LinkLoop:
        return "è un collegamento che gira in tondo e non porta a nessun file";
    case WriteFailure::FolderInPlace:
        return "al suo posto c'è una cartella";
    case WriteFailure::NotAFile:
        return "al suo posto c'è un file speciale (una pipe o un dispositivo), non un file normale";
    case WriteFailure::NameTooLong:
        return "il suo percorso è troppo lungo";
    case WriteFailure::DiskError:
        return "il disco ha dato un errore di lettura o scrittura";
    case WriteFailure::LockUnavailable:
        return "il file di blocco che lo accompagna (lo stesso nome con \".lock\" in fondo) non si può aprire, "
               "forse perché è di un altro utente o è un collegamento che non porta a nulla; senza il blocco "
               "un'altra copia del gioco potrebbe cancellare un risultato";
    case WriteFailure::Other:
        break;
    }
    return "il sistema non ha permesso di scriverlo (errore n. " + std::to_string(outcome.error) + ")";
}

void ignoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

std::filesystem::path lockFileFor(const std::filesystem::path& file)
{
    std::filesystem::path lock = file;
    lock += ".lock";
    return lock;
}

FileLock::FileLock(const std::filesystem::path& file)
{
    // The lock sits beside the real file, so copies that reach the table
    // through different links still meet at one lock. It is never removed:
    // removing a lock file lets two copies lock two different files.
    const std::filesystem::path real = followLinks(file).value_or(file);
    m_folder = folderOf(real);
    m_fd = ::open(lockFileFor(real).c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (m_fd < 0) {
        m_error = errno;
        m_fd = ::open(lockFileFor(real).c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    }
    if (m_fd < 0)
        return;
    // A copy of the game holds the lock for the few milliseconds of one
    // save; one that has hung must not freeze this one for good.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (;;) {
        if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
            m_state = State::Held;
            return;
        }
        if (errno != EWOULDBLOCK && errno != EINTR)
            break;
        if (std::chrono::steady_clock::now() > deadline) {
            m_state = State::Busy;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ::close(m_fd);
    m_fd = -1;
}

FileLock::~FileLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

WriteOutcome FileLock::refusal() const
{
    switch (m_state) {
    case State::Held:
        return {};
    case State::Busy:
        return {WriteFailure::Busy, EWOULDBLOCK};
    case State::Unavailable:
        break;
    }
    // A folder that may not be written holds no lock, and no table either:
    // that is what the player needs to hear.
    const WriteFailure cause = causeOf(m_error);
    if ((cause == WriteFailure::ReadOnlyFolder && ::access(m_folder.c_str(), W_OK) != 0) ||
        cause == WriteFailure::MissingFolder)
        return {cause, m_error};
    return {WriteFailure::LockUnavailable, m_error};
}

void setWriteStepHook(WriteStepHook hook)
{
    g_stepHook = hook;
}

void setTemporaryNameHook(TemporaryNameHook hook)
{
    g_nameHook = hook;
}

}  // namespace vortigo
