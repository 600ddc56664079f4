#pragma once
// The HTTP side of the server: reads one request from a connection, hands a GET, POST or HEAD to
// the request handler, writes the response and closes the connection (one request per
// connection: the board never keeps a connection alive).
#include <functional>
#include <string>

#include "webserver/HttpRecords.h"
#include "webserver/TcpListener.h"

using RequestHandler = std::function<void(ClientConnection&, HttpRequest&, HttpResponse&)>;

class HttpServer : public TcpListener {
public:
    // Connection threads call doExecute until deactivation has waited for them, so the server
    // stops here, before its own parts go away.
    ~HttpServer() override;


    // The exchange on one connection; always returns false and always leaves it closed. Public
    // so that a connection fed from memory can be served directly.
    bool serveConnection(ClientConnection& context);

    // Answers every GET, POST and HEAD; called on the connection threads.
    RequestHandler onCommandGet;

protected:
    bool doExecute(ClientConnection& context) override { return serveConnection(context); }

private:
    void serveOneRequest(ClientConnection& context);
    void readHeaderBlock(BufferedStream& connection, HttpRequest& request) const;
    void decodeTarget(HttpRequest& request) const;
    static void decodeAuthorization(HttpRequest& request);

};
