// SPDX-License-Identifier: GPL-3.0-or-later
// The load run's baseline: a server on the record server's HTTP library, set
// up as the record server sets it up (threads, timeouts, headers), that
// answers every GET with one file's bytes read once into memory. What the
// record server costs beyond this is its own work: the database and the page.
//
//   records_same_bytes FILE   prints "porta N" on standard error, serves until killed
#include <httplib.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("uso: records_same_bytes FILE\n", stderr);
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    const std::string page{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (!file.good() && !file.eof())
        return 1;

    httplib::Server server;
    server.new_task_queue = [] { return new httplib::ThreadPool(8); };
    server.set_payload_max_length(1024);
    server.set_read_timeout(10, 0);
    server.set_write_timeout(10, 0);
    server.set_keep_alive_timeout(3);
    server.set_tcp_nodelay(true);
    server.set_default_headers({
        {"Content-Security-Policy", "default-src 'none'; style-src 'unsafe-inline'"},
        {"X-Content-Type-Options", "nosniff"},
        {"Referrer-Policy", "no-referrer"},
    });
    server.Get(".*", [&page](const httplib::Request&, httplib::Response& response) {
        response.set_header("Cache-Control", "no-cache");
        response.set_content(page, "text/html; charset=utf-8");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::fprintf(stderr, "porta %d\n", port);
    std::fflush(stderr);
    return server.listen_after_bind() ? 0 : 1;
}
