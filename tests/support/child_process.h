// SPDX-License-Identifier: GPL-3.0-or-later
// Running a piece of a test in a child process: to give it a file-size limit
// or to drop root's privileges. Linux only; the child never returns into the
// test framework.
#pragma once

#include <grp.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
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
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

/// Runs `body` in a child that has given up root's privileges (when the test
/// runs as root, which would otherwise write anywhere); as an ordinary user
/// it runs as that user. Returns the child's exit code as runInChild does.
inline int runUnprivileged(const std::function<int()>& body)
{
    return runInChild([&] {
        // 65534 is nobody and its group.
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            return 100;
        return body();
    });
}

}  // namespace vortigo::test
