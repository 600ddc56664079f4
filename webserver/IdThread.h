#pragma once
// Connection threads made ready before their connection arrives, and the scheduler that keeps
// the list of them. A prepared thread is the thread object, named and registered in the
// scheduler's list of active threads; its platform thread is created by Start and runs the work
// at once. (A platform thread cannot be created suspended; one created ahead would only block on
// a start signal, costing a wake-up and a switch per connection for nothing.) Discard takes a
// prepared thread out of the list without it ever running.
#include <condition_variable>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "webserver/NativeThread.h"

class TIdSchedulerOfThreadDefault;

class TIdThread : public std::enable_shared_from_this<TIdThread> {
public:
    TIdThread(TIdSchedulerOfThreadDefault& scheduler, std::string name);

    // Runs work on a new platform thread; raises std::system_error when the platform refuses
    // (the thread then stays prepared).
    void Start(std::function<void()> work);
    void Discard();
    // Asks a running thread to stop (its work sees Stopped()).
    void Stop();
    bool Stopped() const;
    const std::string& Name() const { return name_; }

private:
    friend class TIdSchedulerOfThreadDefault;
    enum class TState { Prepared, Running, Discarded };

    TIdSchedulerOfThreadDefault& scheduler_;
    std::string name_;
    mutable std::mutex mutex_;
    TState state_ = TState::Prepared;
    bool stopped_ = false;
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
    // A prepared thread leaves the active list without running.
    void Discarded(const std::shared_ptr<TIdThread>& thread);
    // Joins the threads that have finished; without wait, only those already gone, so that the
    // listener never waits for a thread's last instructions.
    void Reap(bool wait);

    std::string name_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::list<std::shared_ptr<TIdThread>> active_;
    std::vector<TNativeThread> finished_;
};
