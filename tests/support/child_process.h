// SPDX-License-Identifier: GPL-3.0-or-later
// Running a piece of a test in a child process: to kill it half-way through
// a save, to give it a file-size limit, to drop root's privileges, or to race
// two of them. Linux only; the child never returns into the test framework.
#pragma once

#include "core/file_writing.h"
#include "tests/support/scratch_folder.h"

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <system_error>

namespace vortigo::test {

/// Runs `body` in a child and waits for it. The child's exit code is
/// `body`'s result; a child ended by a signal gives 128 + the signal.
inline int runInChild(const std::function<int()>& body)
{
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::system_error(errno, std::generic_category(), "fork");
    if (pid == 0)
        ::_exit(body());
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

/// A child that stops itself at one step of its first file replacement and
/// waits there, still alive, until the test kills it.
class ChildStoppedAt {
public:
    ChildStoppedAt(WriteStep step, const std::function<void()>& save)
    {
        stopAt() = step;
        m_pid = ::fork();
        if (m_pid < 0)
            throw std::system_error(errno, std::generic_category(), "fork");
        if (m_pid == 0) {
            setWriteStepHook([](WriteStep reached) {
                if (reached == stopAt())
                    ::raise(SIGSTOP);
                return 0;
            });
            save();
            ::_exit(0);
        }
        int status = 0;
        while (::waitpid(m_pid, &status, WUNTRACED) < 0 && errno == EINTR) {
        }
        m_stopped = WIFSTOPPED(status);
        if (!m_stopped)
            m_pid = -1;  // it ended without reaching the step
    }
    ~ChildStoppedAt() { kill(); }
    ChildStoppedAt(const ChildStoppedAt&) = delete;
    ChildStoppedAt& operator=(const ChildStoppedAt&) = delete;

    /// True when the child reached the step and is waiting there.
    bool stopped() const { return m_stopped; }

    /// Ends the child as a power cut or kill -9 would: no clean-up of any kind.
    void kill()
    {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGKILL);
        int status = 0;
        while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
        m_pid = -1;
    }

private:
    static WriteStep& stopAt()
    {
        static WriteStep step = WriteStep::TemporaryCreated;
        return step;
    }

    pid_t m_pid = -1;
    bool m_stopped = false;
};

/// Every step of a replacement, in order.
inline constexpr WriteStep kAllWriteSteps[] = {WriteStep::TemporaryCreated, WriteStep::ContentWritten,
                                               WriteStep::ContentSynced, WriteStep::Renamed, WriteStep::FolderSynced};

/// Runs `body` in a child that has given up root's privileges (when the test
/// runs as root, which would otherwise write anywhere); as an ordinary user
/// it runs as that user. Returns the child's exit code as runInChild does.
inline int runUnprivileged(const std::function<int()>& body)
{
    return runInChild([&] {
        if (::geteuid() == 0) {
            const gid_t nobodyGroup = 65534;
            const uid_t nobody = 65534;
            if (::setgroups(0, nullptr) != 0 || ::setgid(nobodyGroup) != 0 || ::setuid(nobody) != 0)
                return 100;
        }
        return body();
    });
}

}  // namespace vortigo::test
