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
#include <vector>

#include "webserver/IdContext.h"
#include "webserver/IdThread.h"
#include "webserver/ServerConstants.h"
#include "webserver/Socket.h"

// One listening address: IP text (empty for any), port and family, and its socket when bound.
struct TIdSocketHandle {
    std::string IP;
    std::uint16_t Port = 0;
    TIdIPVersion IPVersion = TIdIPVersion::Id_IPv4;
    TSocketHandle Handle = InvalidSocket;
};

using TIdServerThreadEvent = std::function<void(TIdContext&)>;

class TIdTCPServer {
public:
    TIdTCPServer();
    virtual ~TIdTCPServer();
    TIdTCPServer(const TIdTCPServer&) = delete;
    TIdTCPServer& operator=(const TIdTCPServer&) = delete;

    void SetActive(bool active);
    bool Active() const { return active_; }

    // Properties; changed only while the server is inactive.
    void SetName(std::string name) { name_ = std::move(name); }
    const std::string& Name() const { return name_; }
    void SetDefaultPort(std::uint16_t port) { defaultPort_ = port; }  // 0: any free port
    std::uint16_t DefaultPort() const { return defaultPort_; }
    void SetListenQueue(int backlog) { listenQueue_ = backlog; }
    void SetMaxConnections(int count) { maxConnections_ = count; }
    void SetReuseSocket(TIdReuseSocket reuse) { reuseSocket_ = reuse; }
    // The time a client has, from its accept, to deliver its whole request.
    void SetRequestTimeoutMs(int milliseconds) { requestTimeoutMs_ = milliseconds; }
    int RequestTimeoutMs() const { return requestTimeoutMs_; }
    std::vector<TIdSocketHandle>& Bindings() { return bindings_; }

    // The port a binding listens on (after activation; useful with port 0).
    std::uint16_t BoundPort(int bindingIndex) const;
    std::size_t ContextCount() const;
    std::size_t ActiveThreadCount() const;

    TIdServerThreadEvent OnConnect, OnDisconnect;
    std::function<void()> OnAfterBind;

protected:
    virtual void ContextCreated(TIdContext&) {}
    virtual void DoAfterBind();
    virtual void DoBeforeConnect(TIdContext&) {}
    virtual void DoConnect(TIdContext& context);
    virtual void DoDisconnect(TIdContext& context);
    // The per-connection work; true to run again on the same connection.
    virtual bool DoExecute(TIdContext& context) = 0;
    virtual void DoTooManyConnections(TIdContext&) {}

    virtual void StartListening();
    virtual void StopListening();

private:
    struct TIdListenerThread;

    void BindAll(std::uint16_t port);
    void CloseBindings() noexcept;
    void Listen(TIdListenerThread& listener, TIdSocketHandle& binding);
    void RunConnection(const std::shared_ptr<TIdContext>& context);

    std::string name_ = "IdHTTPServer1";
    std::uint16_t defaultPort_ = BoardPort;
    int listenQueue_ = DefaultListenQueue;
    int maxConnections_ = DefaultMaxConnections;
    TIdReuseSocket reuseSocket_ = TIdReuseSocket::rsOSDependent;
    int requestTimeoutMs_ = DefaultRequestTimeoutMs;
    std::vector<TIdSocketHandle> bindings_;
    bool defaultBindings_ = false;  // bindings made by activation, removed by deactivation
    bool active_ = false;

    std::vector<std::unique_ptr<TIdListenerThread>> listeners_;
    std::unique_ptr<TIdSchedulerOfThreadDefault> scheduler_;
    mutable std::mutex contextsMutex_;
    std::list<std::shared_ptr<TIdContext>> contexts_;
};
