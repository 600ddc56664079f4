#include "webserver/IdTCPServer.h"

#include <atomic>
#include <chrono>

#include "webserver/ServerErrors.h"

struct TIdTCPServer::TIdListenerThread {
    std::string name;
    std::atomic<bool> stop{false};
    std::thread thread;
};

TIdTCPServer::TIdTCPServer() = default;

TIdTCPServer::~TIdTCPServer() {
    // A derived server deactivates in its own destructor, while its overrides still exist; this
    // is the last resort for a server that was never derived further.
    if (active_) StopListening();
}

void TIdTCPServer::SetActive(bool active) {
    if (active == active_) return;
    if (active)
        StartListening();
    else
        StopListening();
}

std::uint16_t TIdTCPServer::BoundPort(int bindingIndex) const {
    if (bindingIndex < 0 || static_cast<std::size_t>(bindingIndex) >= bindings_.size()) return 0;
    return SocketLocalPort(bindings_[static_cast<std::size_t>(bindingIndex)].Handle);
}

std::size_t TIdTCPServer::ContextCount() const {
    std::lock_guard lock(contextsMutex_);
    return contexts_.size();
}

std::size_t TIdTCPServer::ActiveThreadCount() const { return scheduler_ ? scheduler_->ActiveYarnCount() : 0; }

void TIdTCPServer::DoAfterBind() {
    if (OnAfterBind) OnAfterBind();
}

void TIdTCPServer::DoConnect(TIdContext& context) {
    if (OnConnect) OnConnect(context);
}

void TIdTCPServer::DoDisconnect(TIdContext& context) {
    if (OnDisconnect) OnDisconnect(context);
}

void TIdTCPServer::CloseBindings() noexcept {
    for (TIdSocketHandle& binding : bindings_) {
        SocketClose(binding.Handle);
        binding.Handle = InvalidSocket;
    }
}

void TIdTCPServer::BindAll(std::uint16_t requested) {
    // With port 0 every default binding takes the port the first one was given; should another
    // family have that port taken, the whole set is tried again on a new port.
    const bool shareEphemeral = defaultBindings_ && requested == 0;
    for (int attempt = 1;; ++attempt) {
        try {
            std::uint16_t chosen = 0;
            for (TIdSocketHandle& binding : bindings_) {
                const std::uint16_t port = shareEphemeral ? chosen : binding.Port;
                binding.Handle = SocketBind(binding.IPVersion, binding.IP, port, reuseSocket_);
                if (chosen == 0) chosen = SocketLocalPort(binding.Handle);
            }
            return;
        } catch (const EIdCouldNotBindSocket&) {
            CloseBindings();
            if (!shareEphemeral || attempt >= EphemeralBindAttempts) throw;
        } catch (...) {
            CloseBindings();
            throw;
        }
    }
}

void TIdTCPServer::StartListening() {
    if (bindings_.empty()) {
        bindings_.push_back({"", defaultPort_, TIdIPVersion::Id_IPv4, InvalidSocket});
        if (SocketIPv6Available()) bindings_.push_back({"", defaultPort_, TIdIPVersion::Id_IPv6, InvalidSocket});
        defaultBindings_ = true;
    }
    try {
        BindAll(defaultPort_);
        DoAfterBind();
        for (TIdSocketHandle& binding : bindings_) SocketListen(binding.Handle, listenQueue_);
    } catch (...) {
        CloseBindings();
        if (defaultBindings_) bindings_.clear();
        defaultBindings_ = false;
        throw;
    }
    scheduler_ = std::make_unique<TIdSchedulerOfThreadDefault>(name_ + "Scheduler");
    for (std::size_t i = 0; i < bindings_.size(); ++i) {
        auto listener = std::make_unique<TIdListenerThread>();
        listener->name = name_ + " Listener #" + std::to_string(i + 1);
        TIdListenerThread* raw = listener.get();
        TIdSocketHandle* binding = &bindings_[i];
        listener->thread = std::thread([this, raw, binding] { Listen(*raw, *binding); });
        listeners_.push_back(std::move(listener));
    }
    active_ = true;
}

void TIdTCPServer::Listen(TIdListenerThread& listener, TIdSocketHandle& binding) {
    TNativeThread::NameCurrent(listener.name);
    TNativeThread::RaiseCurrentPriority();
    while (!listener.stop.load()) {
        std::shared_ptr<TIdThread> yarn;
        try {
            yarn = scheduler_->AcquireYarn();
            std::unique_ptr<TIdSocketConnection> socket;
            // Take a waiting connection at once; otherwise wait for one in slices, looking for
            // a stop request between them.
            while (!socket && !listener.stop.load()) {
                bool pending = false;
                socket = SocketAccept(binding.Handle, pending);
                if (socket) break;
                if (pending)
                    SocketWaitReadable(binding.Handle, AcceptSliceMs);
                else  // no descriptor left, or the like: try again shortly rather than end
                    std::this_thread::sleep_for(std::chrono::milliseconds(AcceptRetryMs));
            }
            if (!socket) break;
            socket->SetReadDeadline(std::chrono::steady_clock::now() + std::chrono::milliseconds(requestTimeoutMs_));
            if (maxConnections_ > 0 && ContextCount() >= static_cast<std::size_t>(maxConnections_)) {
                socket->Close();
                yarn->Discard();
                continue;
            }
            TIdSocketConnection* raw = socket.get();
            auto context = std::make_shared<TIdContext>(std::move(socket), raw);
            context->Thread = yarn;
            {
                std::lock_guard lock(contextsMutex_);
                contexts_.push_back(context);
            }
            ContextCreated(*context);
            try {
                yarn->Start([this, context] { RunConnection(context); });
            } catch (...) {
                // No thread for it: the connection is closed unanswered.
                std::lock_guard lock(contextsMutex_);
                contexts_.remove(context);
                context->Connection().Close();
                throw;
            }
            yarn.reset();
        } catch (...) {
            // This pass is abandoned; the listener goes on with the next, after a pause in case
            // the failure (no thread, no memory) lasts.
            std::this_thread::sleep_for(std::chrono::milliseconds(AcceptRetryMs));
        }
        if (yarn) yarn->Discard();
    }
}

void TIdTCPServer::RunConnection(const std::shared_ptr<TIdContext>& context) {
    try {
        DoBeforeConnect(*context);
        DoConnect(*context);
        while (DoExecute(*context) && !(context->Thread && context->Thread->Stopped())) {
        }
    } catch (...) {
        // Connection errors end the connection silently.
    }
    try {
        DoDisconnect(*context);
    } catch (...) {
    }
    {
        std::lock_guard lock(contextsMutex_);
        contexts_.remove(context);
    }
    context->Connection().Close();
    context->Thread.reset();
}

void TIdTCPServer::StopListening() {
    active_ = false;
    // Each listener is told to stop and woken from its wait; its socket is closed once it is gone.
    for (auto& listener : listeners_) listener->stop.store(true);
    for (TIdSocketHandle& binding : bindings_) SocketInterrupt(binding.Handle);
    for (auto& listener : listeners_)
        if (listener->thread.joinable()) listener->thread.join();
    listeners_.clear();
    CloseBindings();
    {
        std::lock_guard lock(contextsMutex_);
        for (const auto& context : contexts_)
            if (context->Socket() != nullptr) context->Socket()->Disconnect();
    }
    if (scheduler_) scheduler_->TerminateAllYarns(DeactivationCheckMs);
    scheduler_.reset();
    if (defaultBindings_) bindings_.clear();
    defaultBindings_ = false;
}
