#pragma once
// One live connection of the server: its buffered connection and the thread that serves it.
#include <memory>
#include <string>

#include "webserver/BufferedStream.h"

namespace quorvane {

class SocketTransport;
class ConnectionThread;

class ClientConnection {
public:
    ClientConnection(std::unique_ptr<Transport> connection, SocketTransport* socket = nullptr)
        : socket_(socket), connection_(std::move(connection)) {}

    BufferedStream& connection() { return connection_; }
    std::string peerAddress() { return connection_.connection().peerAddress(); }
    // The socket under the connection (null for a connection fed from memory).
    SocketTransport* socket() const { return socket_; }
    std::shared_ptr<ConnectionThread> thread;

private:
    SocketTransport* socket_;
    BufferedStream connection_;
};

}  // namespace quorvane
