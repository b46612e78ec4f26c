// SPDX-License-Identifier: GPL-3.0-or-later
// The record server's routes: "/vortigo.asp" stores a record, "/" shows the
// world tables (from the page cache), each a named handler on the HTTP layer.
// No e-mail address reaches a page or a log.
#pragma once

#include "http_server.h"
#include "page_cache.h"
#include "record_store.h"

#include <vector>

namespace vortigo::records {

class RecordsServer {
public:
    RecordsServer(const ServerOptions& options, RecordStore& store, const ConnectionLimits& limits = {});

    /// Binds the listening socket; the port bound, or -1 (errno says why).
    int bind() { return m_http.bind(); }
    /// Serves until stop().
    void run() { m_http.run(); }
    /// From any thread: stops accepting and ends run() once the requests in hand are answered.
    void stop() { m_http.stop(); }

private:
    Response showTables(const Request& request);
    Response storeRecord(const Request& request);
    std::vector<Route> routes();

    RecordStore& m_store;
    PageCache m_pages;
    HttpServer m_http;  // last: its threads end before the pages go
};

}  // namespace vortigo::records
