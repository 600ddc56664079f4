// The HTTP exchange fed from memory: one connection whose input is the fuzz data (cut into
// receive blocks whose size the first byte picks), served by the board page handler. Every
// input ends with the connection closed and either nothing written or one whole response.
#include <cstdlib>
#include <memory>

#include "fuzz/FuzzSupport.h"
#include "webserver/BoardFragment.h"
#include "webserver/BoardPage.h"
#include "webserver/Connection.h"
#include "webserver/IdHTTPServer.h"
#include "webserver/ServerErrors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static TFixedClock clock;
    static TBoardFragment fragment;
    static bool ready = false;
    if (!ready) {
        fragment.Replace("<table><tr><td>Ann</td><td>%NOW</td><tr></table></body></html>");
        ready = true;
    }
    TCountingLog log;
    TIdHTTPServer server;
    server.SetServerSoftware("BaLtu");
    server.OnCommandGet = [&](TIdContext&, TIdHTTPRequestInfo& request, TIdHTTPResponseInfo& response) {
        ServeBoardPage(fragment.Snapshot(), clock, log, request, response);
    };

    const std::size_t chunk = 1 + data[0] % 64;
    auto memory = std::make_unique<TIdMemoryConnection>(FuzzText(data + 1, size - 1), chunk);
    TIdMemoryConnection& connection = *memory;
    TIdContext context(std::move(memory));
    bool answered = true;
    try {
        if (server.ServeConnection(context)) std::abort();
    } catch (const EQuorvaneError&) {
        answered = false;  // a request the server refuses ends the connection unanswered
    }
    if (!connection.Closed()) std::abort();
    const std::string& output = connection.Output();
    if (!answered && !output.empty()) std::abort();
    if (!output.empty() && output.rfind("HTTP/1.1 ", 0) != 0) std::abort();
    if (answered && !output.empty() && output.find("\r\n\r\n") == std::string::npos) std::abort();
    // One access line per answered request, none for a refused one.
    if (log.Calls > (output.empty() ? 0u : 1u)) std::abort();
    return 0;
}
