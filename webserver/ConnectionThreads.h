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

namespace quorvane {

class ConnectionThreads;

class ConnectionThread : public std::enable_shared_from_this<ConnectionThread> {
public:
    ConnectionThread(ConnectionThreads& scheduler, const std::string& name);

    // Runs work on a new platform thread; raises std::system_error when the platform refuses
    // (the thread then stays prepared).
    void start(std::function<void()> work);
    void discard();
    // Asks a running thread to stop (its work sees Stopped()).
    void stop();
    bool stopped() const;
    const std::string& name() const { return name_; }

private:
    friend class ConnectionThreads;
    enum class State { Prepared, running, discarded };

    ConnectionThreads& scheduler_;
    const std::string& name_;  // the scheduler's one name for its threads
    mutable std::mutex mutex_;
    // Its entry in the scheduler's active list while it is there (taken out in constant time).
    std::list<std::shared_ptr<ConnectionThread>>::iterator entry_;
    State state_ = State::Prepared;
    bool stopped_ = false;
    NativeThread thread_;  // moved to the scheduler's finished list by the thread itself
};

class ConnectionThreads {
public:
    explicit ConnectionThreads(std::string name);
    ~ConnectionThreads();  // waits for every thread

    // A new prepared thread, registered in the list of active threads.
    std::shared_ptr<ConnectionThread> prepare();
    // Discards prepared threads, stops running ones, and waits until none is left.
    void stopAll(int checkIntervalMs);
    std::size_t activeCount() const;
    const std::string& name() const { return name_; }

private:
    friend class ConnectionThread;
    // Called by a thread as its last step: leaves the active list, hands its platform thread over.
    void finished(const std::shared_ptr<ConnectionThread>& thread);
    // A prepared thread leaves the active list without running.
    void discarded(const std::shared_ptr<ConnectionThread>& thread);
    // Joins the threads that have finished; without wait, only those already gone, so that the
    // listener never waits for a thread's last instructions.
    void reap(bool wait);

    std::string name_;
    std::string threadName_;  // every connection thread's name
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::list<std::shared_ptr<ConnectionThread>> active_;
    std::vector<NativeThread> finished_;
};

}  // namespace quorvane
