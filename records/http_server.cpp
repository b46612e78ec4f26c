// SPDX-License-Identifier: GPL-3.0-or-later
#include "http_server.h"

#include "rate_limit.h"
#include "record_pages.h"
#include "record_query.h"

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/basic_parser.hpp>
#include <boost/beast/http/error.hpp>
#include <boost/beast/http/read.hpp>

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>
#include <unordered_set>

namespace vortigo::records {

namespace net = boost::asio;
namespace http = boost::beast::http;
using tcp = net::ip::tcp;
using boost::system::error_code;
using SteadyClock = std::chrono::steady_clock;

Response page(int status, std::string body, const char* cacheControl)
{
    Response response;
    response.status = status;
    response.page = std::move(body);
    response.cacheControl = cacheControl;
    return response;
}

Response badRequest(std::string_view reason)
{
    return page(400, errorPage("Richiesta non valida", reason));
}

// Every answer of a database that cannot be reached or a server that has
// more waiting than it can serve.
Response unavailable()
{
    Response response = page(503, errorPage("Tabella non disponibile",
                                            "La tabella mondiale non è raggiungibile in questo momento. Riprova più tardi."),
                             "no-store");
    response.retryAfter = "30";
    return response;
}

// Printable ASCII only, at most 80 characters: it is the client's text.
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

namespace {

Response tooManyRequests()
{
    Response response =
        page(429, errorPage("Troppe richieste",
                            "Da questo indirizzo sono arrivate troppe richieste in un minuto. Riprova tra poco."));
    response.retryAfter = "60";
    return response;
}

const char* reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 429: return "Too Many Requests";
    case 503: return "Service Unavailable";
    default: return "Error";
    }
}

std::string httpDate()
{
    char text[40];
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    std::strftime(text, sizeof text, "%a, %d %b %Y %H:%M:%S GMT", &utc);
    return text;
}

// Status line and headers; the page follows in the same write unless for HEAD.
std::string headOf(const Response& response, bool head, bool keepAlive)
{
    const std::size_t size = response.body().size();
    std::string out = "HTTP/1.1 " + std::to_string(response.status) + " " + reasonPhrase(response.status) + "\r\n";
    out += "Date: " + httpDate() + "\r\n";
    out += "Content-Type: text/html; charset=utf-8\r\n";
    // A HEAD that stored nothing has no page to measure.
    if (!head || size > 0)
        out += "Content-Length: " + std::to_string(size) + "\r\n";
    out += "Content-Security-Policy: default-src 'none'; style-src 'unsafe-inline'\r\n"
           "X-Content-Type-Options: nosniff\r\n"
           "Referrer-Policy: no-referrer\r\n";
    if (response.cacheControl)
        out += std::string("Cache-Control: ") + response.cacheControl + "\r\n";
    if (response.retryAfter)
        out += std::string("Retry-After: ") + response.retryAfter + "\r\n";
    if (response.allowOnlyGet)
        out += "Allow: GET, HEAD\r\n";
    out += keepAlive ? "Connection: keep-alive\r\n\r\n" : "Connection: close\r\n\r\n";
    return out;
}

// --- the request head -------------------------------------------------------------

// Keeps only what the server uses (method, target, whether a body follows)
// and counts the headers, so neither their number nor their size can grow.
class HeadParser final : public http::basic_parser<true> {
public:
    HeadParser(std::size_t maxHeadBytes, int maxFields) : m_maxFields(maxFields)
    {
        header_limit(static_cast<std::uint32_t>(maxHeadBytes));
        body_limit(0);
    }

    std::string method, target;
    bool tooManyFields = false;
    bool hasBody = false;

private:
    void on_request_impl(http::verb, boost::beast::string_view methodText, boost::beast::string_view targetText, int,
                         error_code&) override
    {
        method.assign(methodText.data(), methodText.size());
        target.assign(targetText.data(), targetText.size());
    }
    void on_response_impl(int, boost::beast::string_view, int, error_code& ec) override
    {
        ec = http::error::bad_version;
    }
    void on_field_impl(http::field name, boost::beast::string_view, boost::beast::string_view value,
                       error_code& ec) override
    {
        if (++m_fields > m_maxFields) {
            tooManyFields = true;
            ec = http::error::header_limit;
        } else if ((name == http::field::content_length && value != "0") || name == http::field::transfer_encoding) {
            hasBody = true;
        }
    }
    void on_header_impl(error_code&) override {}
    void on_body_init_impl(const boost::optional<std::uint64_t>&, error_code&) override {}
    std::size_t on_body_impl(boost::beast::string_view body, error_code&) override { return body.size(); }
    void on_chunk_header_impl(std::uint64_t, boost::beast::string_view, error_code&) override {}
    std::size_t on_chunk_body_impl(std::uint64_t, boost::beast::string_view body, error_code&) override
    {
        return body.size();
    }
    void on_finish_impl(error_code&) override {}

    int m_maxFields;
    int m_fields = 0;
};

// --- the database threads -----------------------------------------------------------

// A fixed number of threads taking jobs from a bounded queue.
class WorkPool {
public:
    WorkPool(int threads, std::size_t maxQueued) : m_maxQueued(maxQueued)
    {
        for (int i = 0; i < std::max(threads, 1); ++i)
            m_threads.emplace_back([this] { work(); });
    }
    ~WorkPool()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_ending = true;
        }
        m_wake.notify_all();
        for (std::thread& thread : m_threads)
            thread.join();
    }

    /// False when the queue is full.
    bool submit(std::function<void()> job)
    {
        {
            const std::lock_guard lock(m_mutex);
            if (m_jobs.size() >= m_maxQueued)
                return false;
            m_jobs.push_back(std::move(job));
        }
        m_wake.notify_one();
        return true;
    }

    /// Drops the jobs no thread has started.
    void discardWaiting()
    {
        std::deque<std::function<void()>> dropped;
        const std::lock_guard lock(m_mutex);
        dropped.swap(m_jobs);
    }

private:
    void work()
    {
        for (;;) {
            std::function<void()> job;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [this] { return m_ending || !m_jobs.empty(); });
                if (m_jobs.empty())
                    return;
                job = std::move(m_jobs.front());
                m_jobs.pop_front();
            }
            job();
        }
    }

    std::size_t m_maxQueued;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_jobs;
    bool m_ending = false;
    std::vector<std::thread> m_threads;
};

std::string clientAddress(const tcp::socket& socket)
{
    error_code ec;
    net::ip::address address = socket.remote_endpoint(ec).address();
    if (ec)
        return "-";
    if (address.is_v6() && address.to_v6().is_v4_mapped())
        address = net::ip::make_address_v4(net::ip::v4_mapped, address.to_v6());
    return address.to_string();
}

}  // namespace

// --- the server -------------------------------------------------------------------------


class Connection : public std::enable_shared_from_this<Connection> {
public:
    Connection(HttpServer::Impl& server, tcp::socket socket, std::string client);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void start() { awaitRequest(); }
    /// At a stop: a connection waiting for a request goes now; one in the
    /// middle of a request answers it first (with "Connection: close").
    void stopIfIdle()
    {
        if (m_idle)
            m_stream.close();
    }
    void forceClose() { m_stream.close(); }

private:
    void awaitRequest();
    void readHead();
    void onHead(const error_code& ec);
    void answer(Response response, bool keepAlive);
    void onWritten(const error_code& ec, bool keepAlive);
    void lingerAndClose();

    HttpServer::Impl& m_server;
    boost::beast::tcp_stream m_stream;
    std::string m_client;
    boost::beast::flat_buffer m_buffer;
    std::optional<HeadParser> m_parser;
    std::string m_out;
    Response m_answer;  // its page, until written
    bool m_idle = false;
    bool m_head = false;
    std::size_t m_discarded = 0;
    SteadyClock::time_point m_start;
    std::string m_method, m_path;
    int m_status = 0;
    std::size_t m_bytes = 0;
};

class HttpServer::Impl {
public:
    Impl(const ServerOptions& serverOptions, std::vector<Route> serverRoutes, const ConnectionLimits& connectionLimits)
        : options(serverOptions), limits(connectionLimits), routes(std::move(serverRoutes)),
          limiter(serverOptions.requestsPerMinute), acceptor(io), retryTimer(io), graceTimer(io),
          reading(serverOptions.threads, connectionLimits.maxQueuedRequests),
          storing(serverOptions.threads, connectionLimits.maxQueuedRequests)
    {
    }
    ~Impl() { tearingDown = true; }

    int bind();
    void accept();
    void onAccepted(const error_code& ec, tcp::socket socket);
    void beginStop();
    void opened(Connection* connection, const std::string& client);
    void closed(Connection* connection, const std::string& client);
    /// Runs the route's handler on its pool; the answer comes back to the network thread.
    void handOver(const std::shared_ptr<Connection>& connection, const Route& route, Request request,
                  std::function<void(Response)> answer);
    void logLine(const std::string& client, std::string_view method, std::string_view path, int status,
                 std::size_t bytes, SteadyClock::time_point start);
    const Route* routeFor(std::string_view path) const
    {
        for (const Route& route : routes) {
            if (route.path == path)
                return &route;
        }
        return nullptr;
    }

    ServerOptions options;
    ConnectionLimits limits;
    const std::vector<Route> routes;
    RateLimiter limiter;
    // The network thread's own; declared before the io_context, whose
    // destruction may still close connections.
    std::unordered_set<Connection*> connections;
    std::unordered_map<std::string, int> perClient;
    bool stopping = false;
    bool tearingDown = false;

    net::io_context io{1};
    tcp::acceptor acceptor;
    net::steady_timer retryTimer;
    net::steady_timer graceTimer;
    // Declared last: their threads end first, while everything they post to is alive.
    WorkPool reading;
    WorkPool storing;
};

// --- one connection ---------------------------------------------------------------------

Connection::Connection(HttpServer::Impl& server, tcp::socket socket, std::string client)
    : m_server(server), m_stream(std::move(socket)), m_client(std::move(client)),
      m_buffer(server.limits.maxHeadBytes)
{
    error_code ignored;
    // The answer goes out in one write; nothing waits for the client's delayed acknowledgement.
    m_stream.socket().set_option(tcp::no_delay(true), ignored);
    m_server.opened(this, m_client);
}

Connection::~Connection()
{
    m_server.closed(this, m_client);
}

void Connection::awaitRequest()
{
    m_parser.emplace(m_server.limits.maxHeadBytes, m_server.limits.maxHeaderFields);
    m_method.clear();
    m_path.clear();
    if (m_buffer.size() > 0) {  // the next request came with the last one
        m_start = SteadyClock::now();
        readHead();
        return;
    }
    if (m_server.stopping) {
        m_stream.close();
        return;
    }
    m_buffer.shrink_to_fit();
    m_idle = true;
    m_stream.expires_after(m_server.limits.idleTimeout);
    m_stream.async_read_some(m_buffer.prepare(1024), [self = shared_from_this()](const error_code& ec, std::size_t n) {
        self->m_idle = false;
        if (ec) {  // silent too long, gone, or closed at a stop: nothing to answer
            self->m_stream.close();
            return;
        }
        self->m_buffer.commit(n);
        self->m_start = SteadyClock::now();
        self->readHead();
    });
}

// The whole head must arrive within the deadline counted from its first
// byte, however slowly it trickles in.
void Connection::readHead()
{
    m_stream.expires_at(m_start + m_server.limits.headDeadline);
    http::async_read_header(m_stream, m_buffer, *m_parser,
                            [self = shared_from_this()](const error_code& ec, std::size_t) { self->onHead(ec); });
}

void Connection::onHead(const error_code& ec)
{
    HeadParser& parser = *m_parser;
    if (ec) {
        if (ec == boost::beast::error::timeout) {
            m_server.logLine(m_client, parser.method, "-", 408, 0, m_start);
            m_stream.close();
        } else if (ec == http::error::header_limit || ec == http::error::buffer_overflow || parser.tooManyFields) {
            answer(badRequest("La richiesta è troppo lunga."), false);
        } else if (ec == http::error::end_of_stream || ec == net::error::eof || ec == net::error::connection_reset ||
                   ec == net::error::operation_aborted || ec == net::error::bad_descriptor) {
            m_stream.close();
        } else {
            answer(badRequest("La richiesta non è stata capita."), false);
        }
        return;
    }
    m_method = parser.method;
    m_head = parser.method == "HEAD";
    const bool keepAlive = parser.keep_alive() && !m_server.stopping;
    if (parser.hasBody) {
        answer(badRequest("La richiesta non è stata capita."), false);
        return;
    }
    if (!m_head && parser.method != "GET") {
        Response refused = page(405, errorPage("Richiesta non valida", "Qui si accettano solo richieste GET."));
        refused.allowOnlyGet = true;
        answer(std::move(refused), false);
        return;
    }
    if (!m_server.limiter.allow(m_client, RateLimiter::Clock::now())) {
        answer(tooManyRequests(), keepAlive);
        return;
    }
    const std::string& target = parser.target;
    if (target.size() > kMaxTargetBytes) {
        answer(badRequest("La richiesta è troppo lunga."), keepAlive);
        return;
    }
    if (!target.starts_with('/')) {
        answer(badRequest("La richiesta non è stata capita."), false);
        return;
    }
    // The query is everything after the first "?", "?" and all: the
    // reader cuts it at the keys the game writes.
    const std::size_t mark = target.find('?');
    Request request;
    request.head = m_head;
    request.path = target.substr(0, mark);
    request.query = mark == std::string::npos ? std::string() : target.substr(mark + 1);
    m_path = request.path;
    const Route* route = m_server.routeFor(request.path);
    if (!route) {
        answer(page(404, errorPage("Pagina non trovata", "Questa pagina non esiste.")), keepAlive);
        return;
    }
    m_server.handOver(shared_from_this(), *route, std::move(request),
                      [self = shared_from_this(), keepAlive](Response response) {
                          self->answer(std::move(response), keepAlive);
                      });
}

void Connection::answer(Response response, bool keepAlive)
{
    m_status = response.status;
    m_answer = std::move(response);
    m_bytes = m_head ? 0 : m_answer.body().size();
    m_out = headOf(m_answer, m_head, keepAlive);
    const std::array<net::const_buffer, 2> wire = {net::buffer(m_out),
                                                   net::buffer(m_head ? std::string_view() : m_answer.body())};
    m_stream.expires_after(m_server.limits.writeDeadline);
    net::async_write(m_stream, wire, [self = shared_from_this(), keepAlive](const error_code& ec, std::size_t) {
        self->onWritten(ec, keepAlive);
    });
}

void Connection::onWritten(const error_code& ec, bool keepAlive)
{
    m_server.logLine(m_client, m_method, m_path, m_status, m_bytes, m_start);
    m_out.clear();
    m_out.shrink_to_fit();
    m_answer = Response();
    if (ec) {
        m_stream.close();
    } else if (keepAlive && !m_server.stopping) {
        awaitRequest();
    } else {
        lingerAndClose();
    }
}

// After the last answer the client may still be sending (the rest of a
// refused head): it is read and dropped for a moment, so that closing does
// not reset the connection before the client has read the answer.
void Connection::lingerAndClose()
{
    error_code ignored;
    m_stream.socket().shutdown(tcp::socket::shutdown_send, ignored);
    m_buffer.consume(m_buffer.size());
    m_stream.expires_after(std::chrono::seconds(2));
    m_stream.async_read_some(m_buffer.prepare(4096), [self = shared_from_this()](const error_code& ec, std::size_t n) {
        self->m_discarded += n;
        if (ec || self->m_discarded > 65536)
            self->m_stream.close();
        else
            self->lingerAndClose();
    });
}

// --- the server's own work -----------------------------------------------------------------

int HttpServer::Impl::bind()
{
    error_code ec;
    const net::ip::address address = net::ip::make_address(options.address, ec);
    if (ec) {
        errno = EINVAL;
        return -1;
    }
    const tcp::endpoint endpoint(address, static_cast<unsigned short>(options.port));
    acceptor.open(endpoint.protocol(), ec);
    if (!ec)
        acceptor.set_option(tcp::acceptor::reuse_address(true), ec);
    if (!ec)
        acceptor.bind(endpoint, ec);
    // Room for a burst of connections while the network thread is busy.
    constexpr int kBacklog = 1024;
    if (!ec)
        acceptor.listen(kBacklog, ec);
    if (ec) {
        errno = ec.value();
        return -1;
    }
    return acceptor.local_endpoint().port();
}

void HttpServer::Impl::accept()
{
    acceptor.async_accept([this](const error_code& ec, tcp::socket socket) { onAccepted(ec, std::move(socket)); });
}

void HttpServer::Impl::onAccepted(const error_code& ec, tcp::socket socket)
{
    if (stopping || ec == net::error::operation_aborted)
        return;
    if (ec) {
        // Out of file descriptors, most likely: try again shortly rather than spin.
        retryTimer.expires_after(std::chrono::milliseconds(100));
        retryTimer.async_wait([this](const error_code& waited) {
            if (!waited && !stopping)
                accept();
        });
        return;
    }
    std::string client = clientAddress(socket);
    const auto already = perClient.find(client);
    const bool overClientCap =
        options.maxPerClient > 0 && already != perClient.end() && already->second >= options.maxPerClient;
    if (overClientCap || connections.size() >= static_cast<std::size_t>(options.maxConnections)) {
        error_code ignored;
        socket.close(ignored);
    } else {
        std::make_shared<Connection>(*this, std::move(socket), std::move(client))->start();
    }
    accept();
}

void HttpServer::Impl::opened(Connection* connection, const std::string& client)
{
    connections.insert(connection);
    ++perClient[client];
}

void HttpServer::Impl::closed(Connection* connection, const std::string& client)
{
    connections.erase(connection);
    const auto found = perClient.find(client);
    if (found != perClient.end() && --found->second <= 0)
        perClient.erase(found);
    // The last connection gone after a stop: nothing is left to wait for.
    // (Should the timer refuse, the stop only waits out the grace period.)
    if (stopping && connections.empty() && !tearingDown) {
        try {
            graceTimer.cancel();
        } catch (const boost::system::system_error&) {
        }
    }
}

void HttpServer::Impl::handOver(const std::shared_ptr<Connection>& connection, const Route& route, Request request,
                                   std::function<void(Response)> answer)
{
    WorkPool& pool = route.work == Work::Reading ? reading : storing;
    // The job keeps the network thread running until its answer is back.
    auto busy = net::make_work_guard(io);
    const bool queued = pool.submit(
        [this, &route, request = std::move(request), answer, busy, keep = connection]() mutable {
            Response response = route.handle(request);
            net::post(io, [answer = std::move(answer), response = std::move(response), keep = std::move(keep)]() mutable {
                answer(std::move(response));
            });
        });
    if (!queued)
        answer(unavailable());
}

void HttpServer::Impl::beginStop()
{
    if (stopping)
        return;
    stopping = true;
    error_code ignored;
    acceptor.close(ignored);
    retryTimer.cancel();
    const std::vector<Connection*> open(connections.begin(), connections.end());
    for (Connection* connection : open)
        connection->stopIfIdle();
    // What is still in hand after the grace period is closed; a database
    // call that never returns does not keep the server from stopping.
    graceTimer.expires_after(limits.stopGrace);
    graceTimer.async_wait([this](const error_code& ec) {
        if (ec)
            return;
        reading.discardWaiting();
        storing.discardWaiting();
        const std::vector<Connection*> left(connections.begin(), connections.end());
        for (Connection* connection : left)
            connection->forceClose();
        graceTimer.expires_after(std::chrono::seconds(2));
        graceTimer.async_wait([this](const error_code& waited) {
            if (!waited)
                io.stop();
        });
    });
    if (connections.empty())
        graceTimer.cancel();
}

// "time client method path status bytes duration": the path never includes
// the query, which carries the player's e-mail.
void HttpServer::Impl::logLine(const std::string& client, std::string_view method, std::string_view path,
                                  int status, std::size_t bytes, SteadyClock::time_point start)
{
    char when[32];
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    std::strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%SZ", &utc);
    const double ms = std::chrono::duration<double, std::milli>(SteadyClock::now() - start).count();
    const auto field = [](std::string_view text) { return text.empty() ? std::string("-") : forLog(text); };
    char took[32];
    std::snprintf(took, sizeof took, "%.1fms", ms);
    const std::string line = std::string(when) + " " + client + " " + field(method) + " " + field(path) + " " +
                             std::to_string(status) + " " + std::to_string(bytes) + " " + took + "\n";
    std::fputs(line.c_str(), stderr);
}

// --- the public face ---------------------------------------------------------------------

HttpServer::HttpServer(const ServerOptions& options, std::vector<Route> routes, const ConnectionLimits& limits)
    : m_impl(std::make_unique<Impl>(options, std::move(routes), limits))
{
}

HttpServer::~HttpServer() = default;

int HttpServer::bind()
{
    return m_impl->bind();
}

void HttpServer::run()
{
    m_impl->accept();
    m_impl->io.run();
}

void HttpServer::stop()
{
    net::post(m_impl->io, [impl = m_impl.get()] { impl->beginStop(); });
}

}  // namespace vortigo::records
