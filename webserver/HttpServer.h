#pragma once
// The HTTP side of the server: reads one request from a connection, hands a GET, POST or HEAD to
// the handler, writes the response and closes the connection (one request per connection: the
// server never keeps a connection alive).
#include <functional>
#include <string>

#include "webserver/HttpRecords.h"
#include "webserver/TcpListener.h"

namespace quorvane {

// Fills the response to one request; called on the connection threads, so it must be safe to
// call from several at once. An exception it raises becomes a 500 answer with the status text
// alone: its message may tell a client about the inside, so it goes to the error report instead.
using HttpHandler = std::function<void(const HttpRequest&, HttpResponse&)>;
// Asked for every connection before its request is read, with only the peer's address in the
// request: false refuses the client, and the response it filled (a 403) is sent instead.
using HttpClientGate = std::function<bool(const HttpRequest&, HttpResponse&)>;
// Told the message of each exception a handler raised, on the connection thread.
using HttpErrorReport = std::function<void(const HttpRequest&, const std::string& message)>;
// Asked, once the head is read, whether the request's body is to be kept for the handler
// (request.body); every other body is read and let go.
using HttpBodyFilter = std::function<bool(const HttpRequest&)>;

class HttpServer : public TcpListener {
public:
    // Connection threads call doExecute until deactivation has waited for them, so the server
    // stops here, before its own parts go away.
    ~HttpServer() override;

    // Set while the server is inactive.
    void setHandler(HttpHandler handler) { handler_ = std::move(handler); }
    void setErrorReport(HttpErrorReport report) { errorReport_ = std::move(report); }
    void setClientGate(HttpClientGate gate) { clientGate_ = std::move(gate); }
    void setBodyFilter(HttpBodyFilter filter) { bodyFilter_ = std::move(filter); }

    // The exchange on one connection; always returns false and always leaves it closed. Public
    // so that a connection fed from memory can be served directly.
    bool serveConnection(ClientConnection& context);

protected:
    bool doExecute(ClientConnection& context) override { return serveConnection(context); }

private:
    void serveOneRequest(ClientConnection& context);
    // Whether the client may be served; a refused one has had its answer.
    bool admitted(ClientConnection& context);

    HttpHandler handler_;
    HttpErrorReport errorReport_;
    HttpClientGate clientGate_;
    HttpBodyFilter bodyFilter_;
};

}  // namespace quorvane
