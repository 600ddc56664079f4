#include "webserver/TcpListener.h"

#include <algorithm>
#include <atomic>
#include <chrono>

#include <malloc.h>

#include "text/Loopback.h"
#include "webserver/ClientCapKey.h"
#include "webserver/ServerErrors.h"

namespace quorvane {

struct TcpListener::ListenerThread {
    std::string name;
    std::atomic<bool> stop{false};
    std::thread thread;
};

TcpListener::TcpListener() = default;

TcpListener::~TcpListener() {
    // A derived server deactivates in its own destructor, while its overrides still exist; this
    // is the last resort for a server that was never derived further.
    if (active_) stopListening();
}

void TcpListener::setActive(bool active) {
    if (active == active_) return;
    if (active)
        startListening();
    else
        stopListening();
}

std::uint16_t TcpListener::boundPort(int bindingIndex) const {
    if (bindingIndex < 0 || static_cast<std::size_t>(bindingIndex) >= bindings_.size()) return 0;
    return socketLocalPort(bindings_[static_cast<std::size_t>(bindingIndex)].handle);
}

std::size_t TcpListener::contextCount() const {
    std::lock_guard lock(contextsMutex_);
    return contexts_.size();
}

std::size_t TcpListener::activeThreadCount() const { return scheduler_ ? scheduler_->activeCount() : 0; }

void TcpListener::closeBindings() noexcept {
    for (ListenBinding& binding : bindings_) {
        socketClose(binding.handle);
        binding.handle = InvalidSocket;
    }
}

void TcpListener::bindAll(std::uint16_t requested) {
    // With port 0 every binding asking for any port takes the port the first one was given (one
    // address for the board, whichever family or address is used); should another binding have
    // that port taken, the whole set is tried again on a new port.
    const bool shareEphemeral =
        requested == 0 && std::all_of(bindings_.begin(), bindings_.end(), [](const ListenBinding& b) { return b.port == 0; });
    for (int attempt = 1;; ++attempt) {
        try {
            std::uint16_t chosen = 0;
            for (ListenBinding& binding : bindings_) {
                const std::uint16_t port = shareEphemeral ? chosen : binding.port;
                binding.handle = socketBind(binding.ipVersion, binding.ip, port, reuseSocket_);
                if (chosen == 0) chosen = socketLocalPort(binding.handle);
            }
            return;
        } catch (const AddressInUseError&) {
            // Only a taken port is worth another try on a new one.
            closeBindings();
            if (!shareEphemeral || attempt >= EphemeralBindAttempts) throw;
        } catch (...) {
            closeBindings();
            throw;
        }
    }
}

void TcpListener::startListening() {
    if (bindings_.empty()) {
        bindings_.push_back({"", defaultPort_, IpVersion::IPv4, InvalidSocket});
        if (socketIpv6Available()) bindings_.push_back({"", defaultPort_, IpVersion::IPv6, InvalidSocket});
        defaultBindings_ = true;
    }
    try {
        bindAll(defaultPort_);
        for (ListenBinding& binding : bindings_) socketListen(binding.handle, listenQueue_);
    } catch (...) {
        closeBindings();
        if (defaultBindings_) bindings_.clear();
        defaultBindings_ = false;
        throw;
    }
    scheduler_ = std::make_unique<ConnectionThreads>(name_ + "Scheduler");
    for (std::size_t i = 0; i < bindings_.size(); ++i) {
        auto listener = std::make_unique<ListenerThread>();
        listener->name = name_ + " Listener #" + std::to_string(i + 1);
        ListenerThread* raw = listener.get();
        ListenBinding* binding = &bindings_[i];
        listener->thread = std::thread([this, raw, binding] { acceptLoop(*raw, *binding); });
        listeners_.push_back(std::move(listener));
    }
    active_ = true;
}

void TcpListener::acceptLoop(ListenerThread& listener, ListenBinding& binding) {
    NativeThread::nameCurrent(listener.name);
    NativeThread::raiseCurrentPriority();
    while (!listener.stop.load()) {
        std::shared_ptr<ConnectionThread> thread;
        try {
            thread = scheduler_->prepare();
            std::unique_ptr<SocketTransport> socket;
            // Take a waiting connection at once; otherwise wait for one in slices, looking for
            // a stop request between them.
            while (!socket && !listener.stop.load()) {
                bool pending = false;
                socket = socketAccept(binding.handle, pending);
                // Over its client's cap: closed at once, unanswered, before it costs a thread.
                if (socket && !admitClient(socket->peerAddress())) {
                    socket.reset();
                    continue;
                }
                if (socket) break;
                if (pending)
                    socketWaitReadable(binding.handle, AcceptSliceMs);
                else  // no descriptor left, or the like: try again shortly rather than end
                    std::this_thread::sleep_for(std::chrono::milliseconds(AcceptRetryMs));
            }
            if (!socket) break;
            socket->setReadDeadline(std::chrono::steady_clock::now() + std::chrono::milliseconds(requestTimeoutMs_));
            SocketTransport* raw = socket.get();
            auto context = std::make_shared<ClientConnection>(std::move(socket), raw);
            context->thread = thread;
            {
                std::lock_guard lock(contextsMutex_);
                contexts_.push_back(context);
                peakContexts_ = std::max(peakContexts_, contexts_.size());
            }
            try {
                thread->start([this, context] { runConnection(context); });
            } catch (...) {
                // No thread for it: the connection is closed unanswered.
                releaseClient(context->peerAddress());
                std::lock_guard lock(contextsMutex_);
                contexts_.remove(context);
                context->connection().close();
                throw;
            }
            thread.reset();
        } catch (...) {
            // This pass is abandoned; the listener goes on with the next, after a pause in case
            // the failure (no thread, no memory) lasts.
            std::this_thread::sleep_for(std::chrono::milliseconds(AcceptRetryMs));
        }
        if (thread) thread->discard();
    }
}

void TcpListener::runConnection(const std::shared_ptr<ClientConnection>& context) {
    try {
        while (doExecute(*context) && !(context->thread && context->thread->stopped())) {
        }
    } catch (...) {
        // Connection errors end the connection silently.
    }
    releaseClient(context->peerAddress());
    bool burstOver = false;
    {
        std::lock_guard lock(contextsMutex_);
        contexts_.remove(context);
        if (contexts_.empty()) {
            burstOver = peakContexts_ >= TrimAfterConnections;
            peakContexts_ = 0;
        }
    }
    context->connection().close();
    context->thread.reset();
    // The connection threads' heaps keep what a burst freed; handed back once it is over.
    if (burstOver) malloc_trim(0);
}

bool TcpListener::admitClient(const std::string& peer) {
    if (maxClientConnections_ <= 0 || (!capLoopback_ && isLoopbackAddress(peer))) return true;
    std::lock_guard lock(contextsMutex_);
    int& open = clientConnections_[clientCapKey(peer)];
    if (open >= maxClientConnections_) {
        ++refused_;
        return false;
    }
    ++open;
    return true;
}

void TcpListener::releaseClient(const std::string& peer) {
    if (maxClientConnections_ <= 0 || (!capLoopback_ && isLoopbackAddress(peer))) return;
    std::lock_guard lock(contextsMutex_);
    const auto entry = clientConnections_.find(clientCapKey(peer));
    if (entry == clientConnections_.end()) return;
    if (--entry->second <= 0) clientConnections_.erase(entry);
}

std::size_t TcpListener::refusedConnections() const {
    std::lock_guard lock(contextsMutex_);
    return refused_;
}

void TcpListener::stopListening() {
    active_ = false;
    // Each listener is told to stop and woken from its wait; its socket is closed once it is gone.
    for (auto& listener : listeners_) listener->stop.store(true);
    for (ListenBinding& binding : bindings_) socketInterrupt(binding.handle);
    for (auto& listener : listeners_)
        if (listener->thread.joinable()) listener->thread.join();
    listeners_.clear();
    closeBindings();
    {
        std::lock_guard lock(contextsMutex_);
        for (const auto& context : contexts_)
            if (context->socket() != nullptr) context->socket()->disconnect();
    }
    if (scheduler_) scheduler_->stopAll(DeactivationCheckMs);
    scheduler_.reset();
    if (defaultBindings_) bindings_.clear();
    defaultBindings_ = false;
}

}  // namespace quorvane
