#include "webserver/ConnectionThreads.h"

#include <chrono>

#include "webserver/ServerConstants.h"

namespace quorvane {

ConnectionThread::ConnectionThread(ConnectionThreads& scheduler, const std::string& name)
    : scheduler_(scheduler), name_(name) {}

void ConnectionThread::start(std::function<void()> work) {
    std::lock_guard lock(mutex_);
    if (state_ != State::Prepared) return;
    // The new thread's last step (Finished) takes this lock, so it finds thread_ set.
    thread_ = NativeThread(
        [self = shared_from_this(), work = std::move(work)] {
            NativeThread::nameCurrent(self->name_);
            try {
                work();
            } catch (...) {
                // A connection's errors end its thread quietly.
            }
            self->scheduler_.finished(self);
        },
        ConnectionThreadStackBytes);
    state_ = State::running;
}

void ConnectionThread::discard() { scheduler_.discarded(shared_from_this()); }

void ConnectionThread::stop() {
    std::lock_guard lock(mutex_);
    stopped_ = true;
}

bool ConnectionThread::stopped() const {
    std::lock_guard lock(mutex_);
    return stopped_;
}

ConnectionThreads::ConnectionThreads(std::string name) : name_(std::move(name)), threadName_(name_ + " User") {}

ConnectionThreads::~ConnectionThreads() { stopAll(DeactivationCheckMs); }

std::shared_ptr<ConnectionThread> ConnectionThreads::prepare() {
    reap(false);
    auto thread = std::make_shared<ConnectionThread>(*this, threadName_);
    std::lock_guard lock(mutex_);
    thread->entry_ = active_.insert(active_.end(), thread);
    return thread;
}

void ConnectionThreads::discarded(const std::shared_ptr<ConnectionThread>& thread) {
    {
        std::lock_guard lock(mutex_);
        std::lock_guard threadLock(thread->mutex_);
        if (thread->state_ != ConnectionThread::State::Prepared) return;
        thread->state_ = ConnectionThread::State::discarded;
        active_.erase(thread->entry_);
    }
    changed_.notify_all();
}

void ConnectionThreads::finished(const std::shared_ptr<ConnectionThread>& thread) {
    {
        std::lock_guard lock(mutex_);
        std::lock_guard threadLock(thread->mutex_);
        finished_.push_back(std::move(thread->thread_));
        active_.erase(thread->entry_);
    }
    changed_.notify_all();
}

void ConnectionThreads::reap(bool wait) {
    std::vector<NativeThread> done;
    {
        std::lock_guard lock(mutex_);
        done.swap(finished_);
    }
    std::vector<NativeThread> ending;
    for (NativeThread& t : done) {
        if (wait)
            t.join();
        else if (!t.tryJoin())
            ending.push_back(std::move(t));
    }
    if (ending.empty()) return;
    std::lock_guard lock(mutex_);
    for (NativeThread& t : ending) finished_.push_back(std::move(t));
}

void ConnectionThreads::stopAll(int checkIntervalMs) {
    std::unique_lock lock(mutex_);
    while (!active_.empty()) {
        for (auto it = active_.begin(); it != active_.end();) {
            const std::shared_ptr<ConnectionThread> thread = *it;  // outlives its entry and its lock
            std::lock_guard threadLock(thread->mutex_);
            thread->stopped_ = true;
            if (thread->state_ == ConnectionThread::State::Prepared) {
                thread->state_ = ConnectionThread::State::discarded;
                it = active_.erase(it);
            } else {
                ++it;
            }
        }
        if (!active_.empty()) changed_.wait_for(lock, std::chrono::milliseconds(checkIntervalMs));
    }
    lock.unlock();
    reap(true);
}

std::size_t ConnectionThreads::activeCount() const {
    std::lock_guard lock(mutex_);
    return active_.size();
}

}  // namespace quorvane
