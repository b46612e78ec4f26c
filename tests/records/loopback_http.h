// SPDX-License-Identifier: GPL-3.0-or-later
// The real vortigo-records as a separate process on a loopback port, and a
// plain HTTP/1.1 client for it: one request on a fresh connection, the
// target sent byte for byte as given, the whole answer read until the
// server closes.
#pragma once

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <initializer_list>
#include <optional>
#include <regex>
#include <string>
#include <utility>

namespace vortigo::records::test {

struct HttpAnswer {
    int status = 0;
    std::string head;  ///< status line and headers, in lower case, each line ending in CRLF
    std::string body;
    /// The status line, in lower case, without its CRLF.
    std::string statusLine() const { return head.substr(0, head.find("\r\n")); }
    /// A header's value, its name given in lower case; empty when it is not there.
    std::string header(const std::string& name) const
    {
        const std::size_t at = head.find("\r\n" + name + ": ");
        const std::size_t value = at + name.size() + 4;
        return at == std::string::npos ? std::string() : head.substr(value, head.find("\r\n", value) - value);
    }
};

/// A TCP connection to 127.0.0.1:port, from the loopback address `from`
/// (127.x.y.z) when given; -1 when it cannot be made. Reads and writes give
/// up after `ceiling`; a non-blocking one may still be connecting.
inline int connectLoopback(int port, const char* from = nullptr,
                           std::chrono::milliseconds ceiling = std::chrono::seconds(5), bool blocking = true)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | (blocking ? 0 : SOCK_NONBLOCK), 0);
    const timeval limit{static_cast<time_t>(ceiling.count() / 1000),
                        static_cast<suseconds_t>((ceiling.count() % 1000) * 1000)};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    inet_pton(AF_INET, from ? from : "127.0.0.1", &address.sin_addr);
    const bool bound = !from || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
    if (!bound || (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 &&
                   (blocking || errno != EINPROGRESS))) {
        ::close(fd);
        return -1;
    }
    return fd;
}

inline bool sendAll(int fd, const std::string& bytes)
{
    for (std::size_t sent = 0; sent < bytes.size();) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

/// Everything until the server closes, or until the ceiling.
inline std::string receiveAll(int fd, std::chrono::steady_clock::time_point until)
{
    std::string text;
    char chunk[16384];
    for (ssize_t n; std::chrono::steady_clock::now() < until && (n = ::recv(fd, chunk, sizeof chunk, 0)) > 0;)
        text.append(chunk, static_cast<std::size_t>(n));
    return text;
}

/// Status, headers and body of a whole answer; nothing when it is not one.
inline std::optional<HttpAnswer> parseAnswer(const std::string& text, bool head)
{
    const std::size_t end = text.find("\r\n\r\n");
    if (!text.starts_with("HTTP/1.") || end == std::string::npos)
        return std::nullopt;
    HttpAnswer answer{std::atoi(text.c_str() + 9), text.substr(0, end + 2), text.substr(end + 4)};
    for (char& c : answer.head)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::string length = answer.header("content-length");
    if (!head && !length.empty() && answer.body.size() != std::stoul(length))
        return std::nullopt;
    return answer;
}

/// Sends `bytes` on a fresh connection and reads until the server closes it;
/// nothing when no whole answer came within the ceiling.
inline std::optional<HttpAnswer> exchange(int port, const std::string& bytes, bool head = false,
                                          const char* from = nullptr,
                                          std::chrono::milliseconds ceiling = std::chrono::seconds(5))
{
    const auto until = std::chrono::steady_clock::now() + ceiling;
    const int fd = connectLoopback(port, from, ceiling);
    if (fd < 0)
        return std::nullopt;
    std::string text;
    if (sendAll(fd, bytes))
        text = receiveAll(fd, until);
    ::close(fd);
    return parseAnswer(text, head);
}

/// One request ("GET" or "HEAD") with "Connection: close"; nothing when no
/// whole answer came within the ceiling.
inline std::optional<HttpAnswer> request(int port, const std::string& target, const std::string& method = "GET",
                                         const char* from = nullptr,
                                         std::chrono::milliseconds ceiling = std::chrono::seconds(5))
{
    return exchange(port, method + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n",
                    method == "HEAD", from, ceiling);
}

/// A connection from `from` that has begun a request and not finished its
/// head, so the server holds it under its head deadline, not its idle
/// time-out; -1 when it could not be made.
inline int beginRequest(int port, const char* from)
{
    const int fd = connectLoopback(port, from);
    if (fd >= 0 && !sendAll(fd, "GET / HTTP/1.1\r\n")) {
        ::close(fd);
        return -1;
    }
    return fd;
}

/// What a process writes on standard error, read until `wanted` shows in it
/// or the process says nothing for ten seconds.
inline std::string errorsUntil(QProcess& process, const std::regex& wanted)
{
    process.setReadChannel(QProcess::StandardError);
    std::string text;
    while (!std::regex_search(text, wanted) && process.waitForReadyRead(10000))
        text += process.readAllStandardError().toStdString();
    return text;
}

/// The server on a port of its own choosing, its log in a folder of its own;
/// started through `runAs` (a command such as setpriv) when given. The rate
/// limit and any other `settings` are set as the service unit sets them, in
/// the environment.
class ServerProcess {
public:
    explicit ServerProcess(const QString& database, int requestsPerMinute = 0, QStringList runAs = {},
                           std::initializer_list<std::pair<const char*, const char*>> settings = {})
        : m_log(m_dir.filePath("server.log"))
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("VORTIGO_RECORDS_RATE_LIMIT", QString::number(requestsPerMinute));
        for (const auto& [variable, value] : settings)
            environment.insert(variable, value);
        m_process.setProcessEnvironment(environment);
        m_process.setStandardErrorFile(m_log);
        m_process.setStandardOutputFile(QProcess::nullDevice());
        // An option and its value come in one word or two.
        runAs << QStringLiteral(VORTIGO_RECORDS_BINARY) << "--port=0" << "--database" << database;
        m_process.start(runAs.front(), runAs.mid(1));
        m_process.waitForStarted(-1);
        // The start-up line names the port; a server that ends first has said why.
        static const std::regex listening("in ascolto su 127\\.0\\.0\\.1 porta ([0-9]+)");
        for (std::smatch found; m_port == 0 && m_process.state() == QProcess::Running;) {
            if (m_process.waitForFinished(20))
                break;
            const std::string text = log();
            if (std::regex_search(text, found, listening))
                m_port = std::stoi(found[1]);
        }
    }
    int port() const { return m_port; }
    QProcess& process() { return m_process; }
    std::string log() const
    {
        QFile file(m_log);
        file.open(QIODevice::ReadOnly);
        return file.readAll().toStdString();
    }
    /// SIGTERM (or another signal), and the exit it leads to: 0 after a clean stop.
    int stop(int signal = SIGTERM)
    {
        if (m_process.state() == QProcess::Running)
            ::kill(static_cast<pid_t>(m_process.processId()), signal);
        m_process.waitForFinished(-1);
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }

private:
    QTemporaryDir m_dir;
    QString m_log;
    QProcess m_process;
    int m_port = 0;
};

}  // namespace vortigo::records::test
