#pragma once
// The listening side of the server: bindings, one listener thread per binding, one prepared
// thread per connection, the list of live contexts, activation and deactivation.
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "webserver/ClientConnection.h"
#include "webserver/ConnectionThreads.h"
#include "webserver/ServerConstants.h"
#include "webserver/Socket.h"

namespace quorvane {

// One listening address: ip text (empty for any), port and family, and its socket when bound.
struct ListenBinding {
    std::string ip;
    std::uint16_t port = 0;
    IpVersion ipVersion = IpVersion::IPv4;
    SocketHandle handle = InvalidSocket;
};

class TcpListener {
public:
    TcpListener();
    virtual ~TcpListener();
    TcpListener(const TcpListener&) = delete;
    TcpListener& operator=(const TcpListener&) = delete;

    void setActive(bool active);
    bool active() const { return active_; }

    // Properties; changed only while the server is inactive.
    void setDefaultPort(std::uint16_t port) { defaultPort_ = port; }  // 0: any free port
    void setListenQueue(int backlog) { listenQueue_ = backlog; }
    void setReuseSocket(ReuseSocket reuse) { reuseSocket_ = reuse; }
    // The time a client has, from its accept, to deliver its whole request.
    void setRequestTimeoutMs(int milliseconds) { requestTimeoutMs_ = milliseconds; }
    int requestTimeoutMs() const { return requestTimeoutMs_; }
    // Connections open at once from one client address; one over it is closed at once, with no
    // answer. 0: no cap. Loopback clients are not capped unless capLoopback (a local reverse
    // proxy brings every screen's connection from loopback).
    void setMaxClientConnections(int count, bool capLoopback = false) {
        maxClientConnections_ = count;
        capLoopback_ = capLoopback;
    }
    int maxClientConnections() const { return maxClientConnections_; }
    // Connections refused by the cap so far.
    std::size_t refusedConnections() const;
    std::vector<ListenBinding>& bindings() { return bindings_; }

    // The port a binding listens on (after activation; useful with port 0).
    std::uint16_t boundPort(int bindingIndex) const;
    std::size_t contextCount() const;
    std::size_t activeThreadCount() const;

protected:
    // The per-connection work; true to run again on the same connection.
    virtual bool doExecute(ClientConnection& context) = 0;
    // Stops listening and waits for every connection thread; a derived server calls it from its
    // own destructor, while its doExecute still exists.
    void stopListening();


private:
    struct ListenerThread;

    void startListening();
    void bindAll(std::uint16_t port);
    void closeBindings() noexcept;
    void acceptLoop(ListenerThread& listener, ListenBinding& binding);
    void runConnection(const std::shared_ptr<ClientConnection>& context);
    // Counts a new connection of peer; false (nothing counted) when the peer is at its cap.
    bool admitClient(const std::string& peer);
    void releaseClient(const std::string& peer);

    std::string name_ = std::string(ServerThreadName);
    std::uint16_t defaultPort_ = BoardPort;
    int listenQueue_ = DefaultListenQueue;
    ReuseSocket reuseSocket_ = ReuseSocket::SystemDefault;
    int requestTimeoutMs_ = DefaultRequestTimeoutMs;
    int maxClientConnections_ = 0;
    bool capLoopback_ = false;
    std::vector<ListenBinding> bindings_;
    bool defaultBindings_ = false;  // bindings made by activation, removed by deactivation
    bool active_ = false;

    std::vector<std::unique_ptr<ListenerThread>> listeners_;
    std::unique_ptr<ConnectionThreads> scheduler_;
    mutable std::mutex contextsMutex_;
    std::list<std::shared_ptr<ClientConnection>> contexts_;
    std::unordered_map<std::string, int> clientConnections_;  // open connections per capped peer (clientCapKey)
    std::size_t peakContexts_ = 0;  // most connections open at once since none were
    std::size_t refused_ = 0;
};

}  // namespace quorvane
