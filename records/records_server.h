// SPDX-License-Identifier: GPL-3.0-or-later
// The HTTP side: "/vortigo.asp" stores a record, "/" shows the world
// tables. Requests are served by a pool of threads, each with its own
// database connection; one log line per request goes to standard error,
// without the query, so no e-mail address ever reaches a log.
#pragma once

#include "page_cache.h"
#include "rate_limit.h"
#include "record_store.h"

#include <memory>
#include <string>

namespace httplib {
class Server;
}

namespace vortigo::records {

struct ServerOptions {
    std::string address = "127.0.0.1";
    int port = 8080;          ///< 0 picks a free port
    int requestsPerMinute = 60;  ///< per client address; 0 for no limit
    int threads = 8;
};

class RecordsServer {
public:
    RecordsServer(const ServerOptions& options, RecordStore& store);
    ~RecordsServer();

    /// Binds the listening socket; the port bound, or -1.
    int bind();
    /// Serves until stop(); false when serving could not start.
    bool run();
    /// From any thread: ends run() after the requests in hand are answered.
    void stop();

private:
    ServerOptions m_options;
    RecordStore& m_store;
    PageCache m_pages;
    RateLimiter m_limiter;
    std::unique_ptr<httplib::Server> m_server;
};

}  // namespace vortigo::records
