#pragma once
// Connection threads made ready before their connection arrives, and the scheduler that keeps
// the list of them. A platform thread cannot be created suspended, so a prepared thread is started
// at once and waits on its own start signal: Start() gives it its work, Discard() lets it end
// without ever running any.
#include <condition_variable>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>

#include "webserver/NativeThread.h"
#include <vector>

class TIdSchedulerOfThreadDefault;

class TIdThread {
public:
    TIdThread(TIdSchedulerOfThreadDefault& scheduler, std::string name);

    void Start(std::function<void()> work);
    void Discard();
    // Asks a running thread to stop (its work sees Stopped()); a prepared one is discarded.
    void Stop();
    bool Stopped() const;
    const std::string& Name() const { return name_; }

private:
    friend class TIdSchedulerOfThreadDefault;
    enum class TState { Prepared, Running, Discarded };
    void Run();

    TIdSchedulerOfThreadDefault& scheduler_;
    std::string name_;
    mutable std::mutex mutex_;
    std::condition_variable signal_;
    TState state_ = TState::Prepared;
    bool stopped_ = false;
    std::function<void()> work_;
    TNativeThread thread_;  // moved to the scheduler's finished list by the thread itself
};

class TIdSchedulerOfThreadDefault {
public:
    explicit TIdSchedulerOfThreadDefault(std::string name);
    ~TIdSchedulerOfThreadDefault();  // waits for every thread

    // A new prepared thread, registered in the list of active threads.
    std::shared_ptr<TIdThread> AcquireYarn();
    // Discards prepared threads, stops running ones, and waits until none is left.
    void TerminateAllYarns(int checkIntervalMs);
    std::size_t ActiveYarnCount() const;
    const std::string& Name() const { return name_; }

private:
    friend class TIdThread;
    // Called by a thread as its last step: leaves the active list, hands its platform thread over.
    void Finished(const std::shared_ptr<TIdThread>& thread);
    // Joins the threads that have finished; without wait, only those already gone, so that the
    // listener never waits for a thread's last instructions.
    void Reap(bool wait);

    std::string name_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::list<std::shared_ptr<TIdThread>> active_;
    std::vector<TNativeThread> finished_;
};
