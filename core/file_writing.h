// SPDX-License-Identifier: GPL-3.0-or-later
// Replacing a file the game keeps (settings, score table) so that a crash, a
// kill, a full disk or a second copy of the game never leaves it half
// written: the new text goes to a fresh temporary file beside it, is synced
// to the disk, and is renamed over the old file in one step. Plain POSIX.
//
// Paths are bytes: a folder or file name need not be valid UTF-8.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vortigo {

/// Why a file could not be replaced.
enum class WriteFailure {
    None,
    ReadOnlyFile,    ///< the file is there but marked read-only: it is left alone
    ReadOnlyFolder,  ///< its folder does not let us create or rename files
    DiskFull,        ///< no space (or quota) left
    SizeLimit,       ///< the file would pass the size limit set for the process
    Busy,            ///< another copy of the game held the file too long
    MissingFolder,   ///< the folder that should hold it is not there
    DanglingLink,    ///< it is a link to a file in a folder that is not there
    LinkLoop,        ///< it is a link that leads round in a circle
    FolderInPlace,   ///< a folder stands where the file should be
    NotAFile,        ///< a pipe, a device or a socket stands where the file should be
    NameTooLong,     ///< its path is longer than the system allows
    DiskError,       ///< the disk reported an error reading or writing
    LockUnavailable, ///< its lock file cannot be opened (another user's, a broken link)
    Other,
};

struct WriteOutcome {
    WriteFailure failure = WriteFailure::None;
    int error = 0;  ///< errno of the call that failed, 0 when none did
    bool ok() const { return failure == WriteFailure::None; }
};

/// Replaces the file at `target` with `bytes`, all or nothing. A target that
/// is a symbolic link keeps being one: the file it points to is replaced. A
/// target that exists read-only is not touched. An existing file's
/// permissions carry over to the new one. On failure the old file is as it
/// was and no temporary file is left.
WriteOutcome replaceFile(const std::filesystem::path& target, std::string_view bytes);

/// The file a path finally names once symbolic links are followed (that file
/// need not exist yet); nothing for a loop of links.
std::optional<std::filesystem::path> followLinks(const std::filesystem::path& file);

/// True for the name of a temporary file that replaceFile makes for a
/// target named `targetName`.
bool isTemporaryFor(std::string_view fileName, std::string_view targetName);

/// Removes the temporary files that writers of `target` (the real file, links
/// followed) left when they were killed half-way; those of writers still at
/// work are kept. replaceFile does this before every replacement.
void sweepTemporaries(const std::filesystem::path& target);

/// Why a file was not saved, as part of an Italian sentence ("il disco è pieno").
std::string writeFailureReason(const WriteOutcome& outcome);

/// Makes a write past the process's file-size limit an ordinary error
/// instead of a signal that ends the program. Called once at start-up.
void ignoreFileSizeSignal();

/// An advisory lock on "<file>.lock" beside a file, so that a read, change
/// and replacement by one copy of the game is one step for every other copy.
class FileLock {
public:
    enum class State { Held, Busy, Unavailable };

    /// Takes the lock, waiting while another copy holds it. Gives up (Busy)
    /// after several seconds; Unavailable when the lock file cannot be
    /// opened (a read-only folder), in which case nothing else can write
    /// beside it either.
    explicit FileLock(const std::filesystem::path& file);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    State state() const { return m_state; }
    /// Why the file may not be replaced now: nothing when the lock is held;
    /// Busy; or, when the lock file cannot be opened, a read-only folder if
    /// that is the reason, else LockUnavailable.
    WriteOutcome refusal() const;

private:
    int m_fd = -1;
    State m_state = State::Unavailable;
    int m_error = 0;  ///< errno of the failed opening of the lock file
    std::filesystem::path m_folder;
};

/// The lock file that FileLock uses for `file`.
std::filesystem::path lockFileFor(const std::filesystem::path& file);

// ---------------------------------------------------------------- for tests

/// The points of a replacement, in order.
enum class WriteStep { TemporaryCreated, ContentWritten, ContentSynced, Renamed, FolderSynced };

/// Called at each step of every replacement in this process. A hook that
/// returns an errno value at a step before Renamed makes that step fail with
/// it (a full disk, say); a hook may also stop or kill the process there.
using WriteStepHook = int (*)(WriteStep step);
void setWriteStepHook(WriteStepHook hook);

/// Gives the middle part of the next temporary names instead of random
/// letters, so a test can plant something at that name; nullptr restores.
using TemporaryNameHook = std::string (*)();
void setTemporaryNameHook(TemporaryNameHook hook);

}  // namespace vortigo
