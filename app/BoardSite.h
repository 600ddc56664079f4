#pragma once
// The board's pages served over HTTP: the published board, the request handler and the web server
// listening on the configured addresses. The program hands it each snapshot the board publishes.
#include <cstdint>
#include <string>
#include <vector>

#include "board/BoardSnapshot.h"
#include "log/LogWriter.h"
#include "pages/BoardRequestHandler.h"
#include "pages/PublishedBoard.h"
#include "text/Clock.h"
#include "webserver/HttpServer.h"
#include "webserver/ServerConstants.h"

// Where the pages are served.
struct ServerSettings {
    std::uint16_t port = BoardPort;                          // 0: any free port (tests)
    std::vector<std::string> bindAddresses;                  // IPv4/IPv6 literals; empty: every address
    int maxClientConnections = DefaultMaxClientConnections;  // per client address; 0: no cap
};

class BoardSite {
public:
    // The server listens when this returns; CouldNotBindError when it cannot.
    BoardSite(const ServerSettings& server, const PageSettings& pages, const Clock& clock, LogWriter& log);
    // Stops the server first: its threads read the published board and write the log.
    ~BoardSite();
    BoardSite(const BoardSite&) = delete;
    BoardSite& operator=(const BoardSite&) = delete;

    void publish(SharedSnapshot snapshot) { board_.publish(std::move(snapshot)); }
    PublishedBoard& board() { return board_; }
    HttpServer& server() { return server_; }
    // The port the pages are served on, and the address of the board's page on this machine.
    std::uint16_t port() const { return port_; }
    std::string pageAddress() const;

private:
    std::vector<std::string> bindAddresses_;
    PublishedBoard board_;
    BoardRequestHandler handler_;
    HttpServer server_;
    std::uint16_t port_ = 0;
};
