// SPDX-License-Identifier: GPL-3.0-or-later
// The load run's baseline: the record server's own HTTP layer, with its
// limits and pools, answering GET / with one file's bytes read once into
// memory. What the record server costs beyond this is its own work: the
// database and the page.
//
//   records_same_bytes FILE   prints "porta N" on standard error, serves until killed
#include "records/http_server.h"

#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

int main(int argc, char** argv)
{
    using namespace vortigo::records;
    if (argc != 2) {
        std::fputs("uso: records_same_bytes FILE\n", stderr);
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    const auto bytes = std::make_shared<const std::string>(std::istreambuf_iterator<char>(file),
                                                           std::istreambuf_iterator<char>());
    if (!file.good() && !file.eof())
        return 1;
    std::signal(SIGPIPE, SIG_IGN);

    ServerOptions options;
    options.port = 0;
    options.requestsPerMinute = 0;
    options.maxPerClient = 0;  // the load comes from one address
    // Sent as the record server sends its kept pages: without a copy.
    const auto same = [&bytes](const Request&) {
        Response response = page(200, {}, "no-cache");
        response.keptPage = bytes;
        return response;
    };
    HttpServer server(options, {{"/", same, Work::Reading}});
    const int port = server.bind();
    std::fprintf(stderr, "porta %d\n", port);
    std::fflush(stderr);
    if (port < 0)
        return 1;
    server.run();
    return 0;
}
