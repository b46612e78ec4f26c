// SPDX-License-Identifier: GPL-3.0-or-later
// The load run's baseline: a server on the record server's HTTP layer
// (Boost.Beast on one network thread) that answers every GET with one
// file's bytes, read once into memory, under the record server's headers.
// What the record server costs beyond this is its own work: limits, routes,
// the database pools and the page.
//
//   records_same_bytes FILE   prints "porta N" on standard error, serves until killed
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/parser.hpp>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>

namespace net = boost::asio;
namespace http = boost::beast::http;
using tcp = net::ip::tcp;

namespace {

std::string g_page;

std::string wireForm(bool keepAlive)
{
    char date[40];
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    std::strftime(date, sizeof date, "%a, %d %b %Y %H:%M:%S GMT", &utc);
    return "HTTP/1.1 200 OK\r\nDate: " + std::string(date) +
           "\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " + std::to_string(g_page.size()) +
           "\r\nContent-Security-Policy: default-src 'none'; style-src 'unsafe-inline'\r\n"
           "X-Content-Type-Options: nosniff\r\nReferrer-Policy: no-referrer\r\nCache-Control: no-cache\r\n" +
           (keepAlive ? "Connection: keep-alive\r\n\r\n" : "Connection: close\r\n\r\n") + g_page;
}

class Connection : public std::enable_shared_from_this<Connection> {
public:
    explicit Connection(tcp::socket socket) : m_stream(std::move(socket))
    {
        boost::system::error_code ignored;
        m_stream.socket().set_option(tcp::no_delay(true), ignored);
    }
    void read()
    {
        m_parser.emplace();
        http::async_read(m_stream, m_buffer, *m_parser, [self = shared_from_this()](auto ec, std::size_t) {
            if (ec)
                return;
            const bool keepAlive = self->m_parser->keep_alive();
            self->m_out = wireForm(keepAlive);
            net::async_write(self->m_stream, net::buffer(self->m_out), [self, keepAlive](auto error, std::size_t) {
                if (!error && keepAlive)
                    self->read();
            });
        });
    }

private:
    boost::beast::tcp_stream m_stream;
    boost::beast::flat_buffer m_buffer;
    std::optional<http::request_parser<http::empty_body>> m_parser;
    std::string m_out;
};

void accept(tcp::acceptor& acceptor)
{
    acceptor.async_accept([&acceptor](auto ec, tcp::socket socket) {
        if (!ec)
            std::make_shared<Connection>(std::move(socket))->read();
        accept(acceptor);
    });
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("uso: records_same_bytes FILE\n", stderr);
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    g_page.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());

    net::io_context io;
    tcp::acceptor acceptor(io, tcp::endpoint(net::ip::make_address("127.0.0.1"), 0));
    acceptor.listen(1024);
    std::fprintf(stderr, "porta %d\n", acceptor.local_endpoint().port());
    std::fflush(stderr);
    accept(acceptor);
    io.run();
    return 0;
}
