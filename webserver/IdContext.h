#pragma once
// One live connection of the server: its buffered connection and the thread that serves it.
#include <memory>
#include <string>

#include "webserver/IOHandler.h"

class TIdSocketConnection;
class TIdThread;

class TIdContext {
public:
    TIdContext(std::unique_ptr<TIdConnection> connection, TIdSocketConnection* socket = nullptr)
        : socket_(socket), connection_(std::move(connection)) {}

    TIdIOHandler& Connection() { return connection_; }
    std::string PeerAddress() { return connection_.Connection().PeerAddress(); }
    // The socket under the connection (null for a connection fed from memory).
    TIdSocketConnection* Socket() const { return socket_; }
    std::shared_ptr<TIdThread> Thread;

private:
    TIdSocketConnection* socket_;
    TIdIOHandler connection_;
};
