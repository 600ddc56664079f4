#include "webserver/IdThread.h"

#include <chrono>

#include "webserver/ServerConstants.h"

TIdThread::TIdThread(TIdSchedulerOfThreadDefault& scheduler, std::string name)
    : scheduler_(scheduler), name_(std::move(name)) {}

void TIdThread::Start(std::function<void()> work) {
    std::lock_guard lock(mutex_);
    if (state_ != TState::Prepared) return;
    // The new thread's last step (Finished) takes this lock, so it finds thread_ set.
    thread_ = TNativeThread(
        [self = shared_from_this(), work = std::move(work)] {
            TNativeThread::NameCurrent(self->name_);
            try {
                work();
            } catch (...) {
                // A connection's errors end its thread quietly.
            }
            self->scheduler_.Finished(self);
        },
        ConnectionThreadStackBytes);
    state_ = TState::Running;
}

void TIdThread::Discard() { scheduler_.Discarded(shared_from_this()); }

void TIdThread::Stop() {
    std::lock_guard lock(mutex_);
    stopped_ = true;
}

bool TIdThread::Stopped() const {
    std::lock_guard lock(mutex_);
    return stopped_;
}

TIdSchedulerOfThreadDefault::TIdSchedulerOfThreadDefault(std::string name) : name_(std::move(name)) {}

TIdSchedulerOfThreadDefault::~TIdSchedulerOfThreadDefault() { TerminateAllYarns(DeactivationCheckMs); }

std::shared_ptr<TIdThread> TIdSchedulerOfThreadDefault::AcquireYarn() {
    Reap(false);
    auto thread = std::make_shared<TIdThread>(*this, name_ + " User");
    std::lock_guard lock(mutex_);
    active_.push_back(thread);
    return thread;
}

void TIdSchedulerOfThreadDefault::Discarded(const std::shared_ptr<TIdThread>& thread) {
    {
        std::lock_guard lock(mutex_);
        std::lock_guard threadLock(thread->mutex_);
        if (thread->state_ != TIdThread::TState::Prepared) return;
        thread->state_ = TIdThread::TState::Discarded;
        active_.remove(thread);
    }
    changed_.notify_all();
}

void TIdSchedulerOfThreadDefault::Finished(const std::shared_ptr<TIdThread>& thread) {
    {
        std::lock_guard lock(mutex_);
        std::lock_guard threadLock(thread->mutex_);
        finished_.push_back(std::move(thread->thread_));
        active_.remove(thread);
    }
    changed_.notify_all();
}

void TIdSchedulerOfThreadDefault::Reap(bool wait) {
    std::vector<TNativeThread> done;
    {
        std::lock_guard lock(mutex_);
        done.swap(finished_);
    }
    std::vector<TNativeThread> ending;
    for (TNativeThread& t : done) {
        if (wait)
            t.Join();
        else if (!t.TryJoin())
            ending.push_back(std::move(t));
    }
    if (ending.empty()) return;
    std::lock_guard lock(mutex_);
    for (TNativeThread& t : ending) finished_.push_back(std::move(t));
}

void TIdSchedulerOfThreadDefault::TerminateAllYarns(int checkIntervalMs) {
    std::unique_lock lock(mutex_);
    while (!active_.empty()) {
        for (auto it = active_.begin(); it != active_.end();) {
            const std::shared_ptr<TIdThread> thread = *it;  // outlives its entry and its lock
            std::lock_guard threadLock(thread->mutex_);
            thread->stopped_ = true;
            if (thread->state_ == TIdThread::TState::Prepared) {
                thread->state_ = TIdThread::TState::Discarded;
                it = active_.erase(it);
            } else {
                ++it;
            }
        }
        if (!active_.empty()) changed_.wait_for(lock, std::chrono::milliseconds(checkIntervalMs));
    }
    lock.unlock();
    Reap(true);
}

std::size_t TIdSchedulerOfThreadDefault::ActiveYarnCount() const {
    std::lock_guard lock(mutex_);
    return active_.size();
}
