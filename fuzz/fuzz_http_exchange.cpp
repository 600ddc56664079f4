// The HTTP exchange fed from memory: one connection whose input is the fuzz data (cut into
// receive blocks whose size the first byte picks), served by the board page handler. Every
// input ends with the connection closed and either nothing written or one whole response.
#include <cstdlib>
#include <memory>

#include "fuzz/FuzzSupport.h"
#include "pages/ClassicPage.h"
#include "pages/PublishedBoard.h"
#include "webserver/Transport.h"
#include "webserver/HttpServer.h"
#include "webserver/ServerErrors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static FixedClock clock;
    static PublishedBoard fragment;
    static bool ready = false;
    if (!ready) {
        fragment.editFragment("<table><tr><td>Ann</td><td>%NOW</td><tr></table></body></html>");
        ready = true;
    }
    CountingLog log;
    HttpServer server;
    server.setHandler([&](const HttpRequest& request, HttpResponse& response) {
        serveBoardPage(fragment.fragment(), clock, log, request, response);
    });

    const std::size_t chunk = 1 + data[0] % 64;
    auto memory = std::make_unique<MemoryTransport>(fuzzText(data + 1, size - 1), chunk);
    MemoryTransport& connection = *memory;
    ClientConnection context(std::move(memory));
    bool answered = true;
    try {
        if (server.serveConnection(context)) std::abort();
    } catch (const QuorvaneError&) {
        answered = false;  // a request the server refuses ends the connection unanswered
    }
    if (!connection.closed()) std::abort();
    const std::string& output = connection.output();
    if (!answered && !output.empty()) std::abort();
    if (!output.empty() && output.rfind("HTTP/1.1 ", 0) != 0) std::abort();
    if (answered && !output.empty() && output.find("\r\n\r\n") == std::string::npos) std::abort();
    // One access line per answered request, none for a refused one.
    if (log.calls > (output.empty() ? 0u : 1u)) std::abort();
    return 0;
}
