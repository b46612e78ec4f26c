// SPDX-License-Identifier: GPL-3.0-or-later
#include "records_server.h"

#include "record_pages.h"
#include "record_query.h"

#include <cstdio>
#include <variant>

namespace vortigo::records {

namespace {

void logDatabaseProblem(const QString& problem)
{
    std::fprintf(stderr, "vortigo-records: database: %s\n", forLog(problem.toStdString()).c_str());
}

}  // namespace

Response RecordsServer::showTables(const Request& request)
{
    const std::optional<int> language = parseTableQuery(request.query);
    if (!language)
        return badRequest("La tabella si chiede con /?lingua=1 (Italiano), 2 (English) o 3 (Latino), "
                          "oppure con / per tutte e tre.");
    QString problem;
    const auto table = m_pages.tablePage(*language, &problem);
    if (!table) {
        logDatabaseProblem(problem);
        return unavailable();
    }
    Response response = page(200, {}, "no-cache");
    response.keptPage = table;
    return response;
}

Response RecordsServer::storeRecord(const Request& request)
{
    auto parsed = parseRecordQuery(request.query);
    if (const QueryError* refused = std::get_if<QueryError>(&parsed))
        return page(400, errorPage("Richiesta non valida", refused->message), "no-store");
    // Link checkers and prefetchers ask with HEAD: they learn that the
    // address is good, and nothing is stored.
    if (request.head)
        return page(200, {}, "no-store");
    QString problem;
    const auto outcome = m_store.store(std::get<Submission>(parsed), &problem);
    if (!outcome) {
        logDatabaseProblem(problem);
        return unavailable();
    }
    return page(200, recordPage(outcome->stored, outcome->place, !outcome->inserted), "no-store");
}

std::vector<Route> RecordsServer::routes()
{
    return {
        {"/", [this](const Request& request) { return showTables(request); }, Work::Reading},
        {"/vortigo.asp", [this](const Request& request) { return storeRecord(request); }, Work::Storing},
    };
}

RecordsServer::RecordsServer(const ServerOptions& options, RecordStore& store, const ConnectionLimits& limits)
    : m_store(store), m_pages(store), m_http(options, routes(), limits)
{
}

}  // namespace vortigo::records
