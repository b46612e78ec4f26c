// SPDX-License-Identifier: GPL-3.0-or-later
#include "records_server.h"

#include "record_pages.h"
#include "record_query.h"

#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>

namespace vortigo::records {

namespace {

constexpr const char* kHtml = "text/html; charset=utf-8";

std::mutex g_logMutex;
thread_local std::chrono::steady_clock::time_point t_requestStart{};

// Printable ASCII only, at most 80 characters: a path is the client's text.
std::string forLog(std::string_view text)
{
    std::string out;
    for (char c : text.substr(0, 80)) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u >= 0x7F || c == '\\') {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", u);
            out += escaped;
        } else {
            out.push_back(c);
        }
    }
    return text.size() > 80 ? out + "..." : out;
}

// "time client method path status bytes duration": the path never includes
// the query, which carries the player's e-mail.
void logRequest(const httplib::Request& request, const httplib::Response& response)
{
    char when[32];
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    std::strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%SZ", &utc);
    std::string took = "-";
    if (t_requestStart != std::chrono::steady_clock::time_point{}) {
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t_requestStart).count();
        char text[32];
        std::snprintf(text, sizeof text, "%.1fms", ms);
        took = text;
        t_requestStart = {};
    }
    // A request refused while its first line was read has no client, method or path yet.
    const auto field = [](const std::string& text) { return text.empty() ? std::string("-") : forLog(text); };
    const std::string line = std::string(when) + " " + field(request.remote_addr) + " " + field(request.method) + " " +
                             field(request.path) + " " + std::to_string(response.status) + " " +
                             std::to_string(response.body.size()) + " " + took + "\n";
    const std::lock_guard lock(g_logMutex);
    std::fputs(line.c_str(), stderr);
}

void answer(httplib::Response& response, int status, std::string page)
{
    response.status = status;
    response.set_content(std::move(page), kHtml);
}

std::string_view queryOf(const httplib::Request& request)
{
    const std::string_view target(request.target);
    const std::size_t mark = target.find('?');
    return mark == std::string_view::npos ? std::string_view() : target.substr(mark + 1);
}

}  // namespace

RecordsServer::RecordsServer(const ServerOptions& options, RecordStore& store)
    : m_options(options), m_store(store), m_pages(store), m_limiter(options.requestsPerMinute),
      m_server(std::make_unique<httplib::Server>())
{
    httplib::Server& server = *m_server;
    const int threads = std::max(1, m_options.threads);
    server.new_task_queue = [threads] { return new httplib::ThreadPool(static_cast<std::size_t>(threads)); };
    // A GET has no body worth reading; a client that sends one is refused.
    server.set_payload_max_length(1024);
    server.set_read_timeout(10, 0);
    server.set_write_timeout(10, 0);
    server.set_keep_alive_timeout(3);
    // Headers and page go out in separate writes: without this, the page
    // waits for the client's delayed acknowledgement, some 40 ms a request.
    server.set_tcp_nodelay(true);

    server.set_default_headers({
        {"Content-Security-Policy", "default-src 'none'; style-src 'unsafe-inline'"},
        {"X-Content-Type-Options", "nosniff"},
        {"Referrer-Policy", "no-referrer"},
    });

    server.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response& response) {
        t_requestStart = std::chrono::steady_clock::now();
        if (!m_limiter.allow(request.remote_addr, RateLimiter::Clock::now())) {
            response.set_header("Retry-After", "60");
            answer(response, 429,
                   errorPage("Troppe richieste",
                             "Da questo indirizzo sono arrivate troppe richieste in un minuto. Riprova tra poco."));
            return httplib::Server::HandlerResponse::Handled;
        }
        if (request.target.size() > kMaxTargetBytes) {
            answer(response, 400, errorPage("Richiesta non valida", "La richiesta è troppo lunga."));
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });

    server.Get("/vortigo.asp", [this](const httplib::Request& request, httplib::Response& response) {
        response.set_header("Cache-Control", "no-store");
        auto parsed = parseRecordQuery(queryOf(request));
        if (const QueryError* refused = std::get_if<QueryError>(&parsed)) {
            answer(response, 400, errorPage("Richiesta non valida", refused->message));
            return;
        }
        QString problem;
        const auto outcome = m_store.store(std::get<Submission>(parsed), &problem);
        if (!outcome) {
            std::fprintf(stderr, "vortigo-records: database: %s\n", forLog(problem.toStdString()).c_str());
            answer(response, 503,
                   errorPage("Tabella non disponibile",
                             "La tabella mondiale non è raggiungibile in questo momento. Riprova più tardi."));
            return;
        }
        answer(response, 200, recordPage(outcome->stored, outcome->place, !outcome->inserted));
    });

    server.Get("/", [this](const httplib::Request& request, httplib::Response& response) {
        const std::optional<int> language = parseTableQuery(queryOf(request));
        if (!language) {
            answer(response, 400,
                   errorPage("Richiesta non valida",
                             "La tabella si chiede con /?lingua=1 (Italiano), 2 (English) o 3 (Latino), "
                             "oppure con / per tutte e tre."));
            return;
        }
        QString problem;
        const auto page = m_pages.tablePage(*language, &problem);
        if (!page) {
            std::fprintf(stderr, "vortigo-records: database: %s\n", forLog(problem.toStdString()).c_str());
            answer(response, 503,
                   errorPage("Tabella non disponibile",
                             "La tabella mondiale non è raggiungibile in questo momento. Riprova più tardi."));
            return;
        }
        response.set_header("Cache-Control", "no-cache");
        answer(response, 200, *page);
    });

    // What the handlers above did not answer: unknown pages, and requests the
    // library refused before they reached a handler (too long, malformed).
    server.set_error_handler(httplib::Server::HandlerWithResponse([](const httplib::Request&, httplib::Response& response) {
        if (!response.body.empty())
            return httplib::Server::HandlerResponse::Unhandled;
        if (response.status == 404) {
            answer(response, 404, errorPage("Pagina non trovata", "Questa pagina non esiste."));
        } else if (response.status == 414 || response.status == 413 || response.status == 431) {
            answer(response, 400, errorPage("Richiesta non valida", "La richiesta è troppo lunga."));
        } else if (response.status == 405) {
            answer(response, 405, errorPage("Richiesta non valida", "Qui si accettano solo richieste GET."));
        } else {
            answer(response, response.status == 500 ? 500 : 400,
                   errorPage("Richiesta non valida", "La richiesta non è stata capita."));
        }
        return httplib::Server::HandlerResponse::Handled;
    }));

    server.set_logger(logRequest);
}

RecordsServer::~RecordsServer() = default;

int RecordsServer::bind()
{
    if (m_options.port == 0)
        return m_server->bind_to_any_port(m_options.address);
    return m_server->bind_to_port(m_options.address, m_options.port) ? m_options.port : -1;
}

bool RecordsServer::run()
{
    return m_server->listen_after_bind();
}

void RecordsServer::stop()
{
    m_server->stop();
}

}  // namespace vortigo::records
