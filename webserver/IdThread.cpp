#include "webserver/IdThread.h"

#include <chrono>

#include "webserver/ServerConstants.h"

TIdThread::TIdThread(TIdSchedulerOfThreadDefault& scheduler, std::string name)
    : scheduler_(scheduler), name_(std::move(name)) {}

void TIdThread::Start(std::function<void()> work) {
    {
        std::lock_guard lock(mutex_);
        if (state_ != TState::Prepared) return;
        work_ = std::move(work);
        state_ = TState::Running;
    }
    signal_.notify_one();
}

void TIdThread::Discard() {
    {
        std::lock_guard lock(mutex_);
        if (state_ != TState::Prepared) return;
        state_ = TState::Discarded;
    }
    signal_.notify_one();
}

void TIdThread::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
        if (state_ == TState::Prepared) state_ = TState::Discarded;
    }
    signal_.notify_one();
}

bool TIdThread::Stopped() const {
    std::lock_guard lock(mutex_);
    return stopped_;
}

void TIdThread::Run() {
    std::function<void()> work;
    {
        std::unique_lock lock(mutex_);
        signal_.wait(lock, [this] { return state_ != TState::Prepared; });
        if (state_ == TState::Running) work = std::move(work_);
    }
    if (work) {
        TNativeThread::NameCurrent(name_);
        try {
            work();
        } catch (...) {
            // A connection's errors end its thread quietly.
        }
    }
}

TIdSchedulerOfThreadDefault::TIdSchedulerOfThreadDefault(std::string name) : name_(std::move(name)) {}

TIdSchedulerOfThreadDefault::~TIdSchedulerOfThreadDefault() { TerminateAllYarns(DeactivationCheckMs); }

std::shared_ptr<TIdThread> TIdSchedulerOfThreadDefault::AcquireYarn() {
    Reap(false);
    auto thread = std::make_shared<TIdThread>(*this, name_ + " User");
    {
        // The new thread waits for Start or Discard, which take this same lock, so it never
        // sees thread_ unset. Should the platform refuse a thread, nothing is registered.
        std::lock_guard threadLock(thread->mutex_);
        thread->thread_ = TNativeThread(
            [thread] {
                thread->Run();
                thread->scheduler_.Finished(thread);
            },
            ConnectionThreadStackBytes);
    }
    std::lock_guard lock(mutex_);
    active_.push_back(thread);
    return thread;
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
        for (const auto& thread : active_) thread->Stop();
        changed_.wait_for(lock, std::chrono::milliseconds(checkIntervalMs));
    }
    lock.unlock();
    Reap(true);
}

std::size_t TIdSchedulerOfThreadDefault::ActiveYarnCount() const {
    std::lock_guard lock(mutex_);
    return active_.size();
}
