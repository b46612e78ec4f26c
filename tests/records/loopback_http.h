// SPDX-License-Identifier: GPL-3.0-or-later
// A plain HTTP/1.1 client over loopback for the record server's tests: one
// request on a fresh connection, the target sent byte for byte as given,
// the whole answer read until the server closes.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <map>
#include <optional>
#include <string>

namespace vortigo::records::test {

struct HttpAnswer {
    int status = 0;
    std::map<std::string, std::string> headers;  ///< names in lower case
    std::string body;
    std::string header(const std::string& name) const
    {
        const auto found = headers.find(name);
        return found == headers.end() ? std::string() : found->second;
    }
};

/// A TCP connection to 127.0.0.1:port, from the loopback address `from`
/// (127.x.y.z) when given; -1 when it cannot be made. Reads and writes give
/// up after `ceiling`.
inline int connectLoopback(int port, const char* from = nullptr,
                           std::chrono::milliseconds ceiling = std::chrono::seconds(5))
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    timeval limit{};
    limit.tv_sec = static_cast<time_t>(ceiling.count() / 1000);
    limit.tv_usec = static_cast<suseconds_t>((ceiling.count() % 1000) * 1000);
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    if (from) {
        inet_pton(AF_INET, from, &address.sin_addr);
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            ::close(fd);
            return -1;
        }
    }
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

inline bool sendAll(int fd, const std::string& bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

/// Status, headers and body of a whole answer; nothing when it is not one.
inline std::optional<HttpAnswer> parseAnswer(const std::string& text, bool head)
{
    const std::size_t end = text.find("\r\n\r\n");
    if (!text.starts_with("HTTP/1.") || end == std::string::npos || text.size() < 12)
        return std::nullopt;
    HttpAnswer answer;
    answer.status = std::atoi(text.c_str() + 9);
    std::size_t line = text.find("\r\n") + 2;
    while (line < end) {
        const std::size_t next = text.find("\r\n", line);
        const std::size_t colon = text.find(':', line);
        if (colon < next) {
            std::string name = text.substr(line, colon - line);
            std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
            std::string value = text.substr(colon + 1, next - colon - 1);
            value.erase(0, value.find_first_not_of(' '));
            answer.headers[name] = value;
        }
        line = next + 2;
    }
    answer.body = text.substr(end + 4);
    const std::string length = answer.header("content-length");
    if (!head && !length.empty() && answer.body.size() != std::stoul(length))
        return std::nullopt;
    return answer;
}

/// One request ("GET" or "HEAD") with "Connection: close"; nothing when no
/// whole answer came within the ceiling.
inline std::optional<HttpAnswer> request(int port, const std::string& target, const std::string& method = "GET",
                                         const char* from = nullptr,
                                         std::chrono::milliseconds ceiling = std::chrono::seconds(5))
{
    const auto start = std::chrono::steady_clock::now();
    const int fd = connectLoopback(port, from, ceiling);
    if (fd < 0)
        return std::nullopt;
    std::string text;
    if (sendAll(fd, method + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n")) {
        char chunk[16384];
        while (std::chrono::steady_clock::now() - start < ceiling) {
            const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
            if (n <= 0)
                break;
            text.append(chunk, static_cast<std::size_t>(n));
        }
    }
    ::close(fd);
    return parseAnswer(text, method == "HEAD");
}

}  // namespace vortigo::records::test
