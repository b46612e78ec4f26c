// SPDX-License-Identifier: GPL-3.0-or-later
// The record server's HTTP layer, made to face the internet: one network
// thread reads and writes every connection and holds each client to
// deadlines and bounds; the handlers run in two small pools of threads (for
// reading and for storing), so slow work holds up only the requests that
// wait for it. It answers GET and HEAD only, and logs one line per request
// to standard error, without the query.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vortigo::records {

class Connection;

struct ServerOptions {
    std::string address = "127.0.0.1";
    int port = 8080;             ///< 0 picks a free port
    int requestsPerMinute = 60;  ///< per client address; 0 for no limit
    int threads = 4;             ///< threads for reading, and as many for storing
    int maxConnections = 4096;   ///< open at once, in all
    int maxPerClient = 64;       ///< open at once from one client address; 0 for no limit
};

/// What a client gets, and how long it may take over it.
struct ConnectionLimits {
    /// From the first byte of a request to the end of its head.
    std::chrono::milliseconds headDeadline{10000};
    /// A connection that has sent nothing (yet, or since its last answer).
    std::chrono::milliseconds idleTimeout{5000};
    /// To take an answer.
    std::chrono::milliseconds writeDeadline{10000};
    /// Request line and headers together, and how many headers.
    std::size_t maxHeadBytes = 16384;
    int maxHeaderFields = 100;
    /// Requests waiting for a thread, per pool; more get a 503.
    std::size_t maxQueuedRequests = 2048;
    /// After a stop, for the requests in hand to be answered.
    std::chrono::milliseconds stopGrace{2000};
};

struct Request {
    bool head = false;  ///< HEAD: answered as GET would be, and nothing is stored
    std::string path;
    std::string query;  ///< everything after the first "?", as it came
};

/// An HTML page and what goes with it.
struct Response {
    int status = 200;
    std::string page;
    /// A page kept elsewhere (the page cache's), sent without a copy in place of `page`.
    std::shared_ptr<const std::string> keptPage;
    std::string_view body() const { return keptPage ? std::string_view(*keptPage) : std::string_view(page); }
    const char* cacheControl = nullptr;
    const char* retryAfter = nullptr;
    bool allowOnlyGet = false;
};

Response page(int status, std::string body, const char* cacheControl = nullptr);
/// 400, with the reason on the page.
Response badRequest(std::string_view reason);
/// 503: the database cannot be reached, or more requests wait than can be served.
Response unavailable();
/// Printable ASCII, at most 80 characters: the client's text for a log line.
std::string forLog(std::string_view text);

/// Which pool of threads runs a route's handler.
enum class Work { Reading, Storing };

/// A path ("/", without the query) and its handler.
struct Route {
    std::string path;
    std::function<Response(const Request&)> handle;
    Work work;
};

class HttpServer {
public:
    HttpServer(const ServerOptions& options, std::vector<Route> routes, const ConnectionLimits& limits = {});
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    /// Binds the listening socket; the port bound, or -1 (errno says why).
    int bind();
    /// Serves until stop(); returns when the last connection has closed.
    void run();
    /// From any thread, also before run(): stops accepting, answers the
    /// requests in hand, closes idle connections.
    void stop();

private:
    friend class Connection;
    class Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace vortigo::records
