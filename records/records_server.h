// SPDX-License-Identifier: GPL-3.0-or-later
// The HTTP side: "/vortigo.asp" stores a record, "/" shows the world
// tables. One network thread reads and writes every connection; the
// database work runs in two small pools of threads (reading the tables,
// storing records), each thread with its own connection, so a slow database
// holds up only the requests that need it. One log line per request goes to
// standard error, without the query, so no e-mail address reaches a log.
#pragma once

#include "page_cache.h"
#include "record_store.h"

#include <chrono>
#include <memory>
#include <string>

namespace vortigo::records {

class Connection;

struct ServerOptions {
    std::string address = "127.0.0.1";
    int port = 8080;             ///< 0 picks a free port
    int requestsPerMinute = 60;  ///< per client address; 0 for no limit
    int threads = 4;             ///< database threads for reading, and as many for storing
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
    /// Requests waiting for a database thread, per pool; more get a 503.
    std::size_t maxQueuedRequests = 2048;
    /// After a stop, for the requests in hand to be answered.
    std::chrono::milliseconds stopGrace{2000};
};

class RecordsServer {
public:
    RecordsServer(const ServerOptions& options, RecordStore& store, const ConnectionLimits& limits = {});
    ~RecordsServer();
    RecordsServer(const RecordsServer&) = delete;
    RecordsServer& operator=(const RecordsServer&) = delete;

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
