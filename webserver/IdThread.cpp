#include "webserver/IdThread.h"

#include <chrono>
#include <pthread.h>

#include "webserver/ServerConstants.h"

namespace {
// The platform keeps at most 15 characters of a thread's name.
void NameCurrentThread(const std::string& name) {
    pthread_setname_np(pthread_self(), name.substr(0, 15).c_str());
}
}  // namespace

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
        NameCurrentThread(name_);
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
    Reap();
    auto thread = std::make_shared<TIdThread>(*this, name_ + " User");
    {
        // The new thread waits for Start or Discard, which take this same lock, so it never
        // sees thread_ unset. Should the platform refuse a thread, nothing is registered.
        std::lock_guard threadLock(thread->mutex_);
        thread->thread_ = std::thread([thread] {
            thread->Run();
            thread->scheduler_.Finished(thread);
        });
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

void TIdSchedulerOfThreadDefault::Reap() {
    std::vector<std::thread> done;
    {
        std::lock_guard lock(mutex_);
        done.swap(finished_);
    }
    for (std::thread& t : done)
        if (t.joinable()) t.join();
}

void TIdSchedulerOfThreadDefault::TerminateAllYarns(int checkIntervalMs) {
    std::unique_lock lock(mutex_);
    while (!active_.empty()) {
        for (const auto& thread : active_) thread->Stop();
        changed_.wait_for(lock, std::chrono::milliseconds(checkIntervalMs));
    }
    lock.unlock();
    Reap();
}

std::size_t TIdSchedulerOfThreadDefault::ActiveYarnCount() const {
    std::lock_guard lock(mutex_);
    return active_.size();
}
