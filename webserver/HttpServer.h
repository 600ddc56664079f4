#pragma once
// The HTTP side of the server: reads one request from a connection, hands a GET, POST or HEAD to
// the handler, writes the response and closes the connection (one request per connection: the
// server never keeps a connection alive).
#include <functional>

#include "webserver/HttpRecords.h"
#include "webserver/TcpListener.h"

// Fills the response to one request; called on the connection threads, so it must be safe to
// call from several at once. An exception it raises becomes a 500 answer carrying its message.
using HttpHandler = std::function<void(const HttpRequest&, HttpResponse&)>;

class HttpServer : public TcpListener {
public:
    // Connection threads call doExecute until deactivation has waited for them, so the server
    // stops here, before its own parts go away.
    ~HttpServer() override;

    // Set while the server is inactive.
    void setHandler(HttpHandler handler) { handler_ = std::move(handler); }

    // The exchange on one connection; always returns false and always leaves it closed. Public
    // so that a connection fed from memory can be served directly.
    bool serveConnection(ClientConnection& context);

protected:
    bool doExecute(ClientConnection& context) override { return serveConnection(context); }

private:
    void serveOneRequest(ClientConnection& context);

    HttpHandler handler_;
};
