#pragma once
// The board's pages served over HTTP: the published board, the request handler and the web server
// listening on the configured addresses. The program hands it each snapshot the board publishes.
// Beside the pages: /livez, /readyz and /metrics for monitoring, the --allow check of every client
// before its request is read (403 and an access line outside every range), and a handler's
// failure logged in full while the client gets the bare 500.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/SelfStatusPages.h"
#include "board/BoardSnapshot.h"
#include "log/LogWriter.h"
#include "pages/BoardRequestHandler.h"
#include "pages/PublishedBoard.h"
#include "service/ClientRanges.h"
#include "service/ServiceMetrics.h"
#include "text/Clock.h"
#include "webserver/HttpServer.h"
#include "webserver/ServerConstants.h"

namespace quorvane {

// Where the pages are served.
struct ServerSettings {
    std::uint16_t port = BoardPort;                          // 0: any free port (tests)
    std::vector<std::string> bindAddresses;                  // IPv4/IPv6 literals; empty: every address
    int maxClientConnections = DefaultMaxClientConnections;  // per client address; 0: no cap
    ClientRanges allow;                                      // who may read the board (--allow); default everyone
};

class BoardSite {
public:
    // The server listens when this returns; CouldNotBindError when it cannot. With ownStatuses
    // (--self-status) people's pages are served at /me/ and their statuses laid over each snapshot.
    BoardSite(const ServerSettings& server, const PageSettings& pages, const Clock& clock, LogWriter& log,
              SelfStatusStore* ownStatuses = nullptr);
    // Stops the server first: its threads read the published board and write the log.
    ~BoardSite();
    BoardSite(const BoardSite&) = delete;
    BoardSite& operator=(const BoardSite&) = delete;

    // Served from now on; its data time and a newly ended grab go to the metrics.
    void publish(SharedSnapshot snapshot);
    // The last snapshot again, with the own statuses as they are now (after a change or an end).
    void republish();
    // The people's pages; none without --self-status.
    SelfStatusPages* ownStatusPages() { return ownPages_.get(); }
    PublishedBoard& board() { return board_; }
    HttpServer& server() { return server_; }
    ServiceMetrics& metrics() { return metrics_; }
    // The port the pages are served on, and the address of the board's page on this machine.
    std::uint16_t port() const { return port_; }
    std::string pageAddress() const;

private:
    void serve(const HttpRequest& request, HttpResponse& response);
    // The monitoring paths; false for every other path.
    bool serveHealth(const HttpRequest& request, HttpResponse& response);
    bool admit(const HttpRequest& peer, HttpResponse& response);

    const Clock& clock_;
    LogWriter& log_;
    ClientRanges allow_;
    ServiceMetrics metrics_;
    std::vector<std::string> bindAddresses_;
    PublishedBoard board_;
    BoardRequestHandler handler_;
    HttpServer server_;
    std::uint16_t port_ = 0;
    std::optional<Instant> lastGrabSeen_;  // publishing thread only
    SelfStatusStore* ownStatuses_;
    std::unique_ptr<SelfStatusPages> ownPages_;
    SharedSnapshot base_;                  // the board's last snapshot, before the own statuses; publishing thread only
};

}  // namespace quorvane
