#pragma once
// State files written on a thread of their own, so that encoding, writing and flushing to disk
// never hold up the event loop (a stop signal is read there). The caller hands over a job and
// returns at once; a newer job replaces one still waiting (only the latest state matters). A stop
// (the destructor) drops what waits and tells the job under way to give up: an atomic write then
// removes its temporary file, and the last complete file stays.
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace quorvane {

class StateWriter {
public:
    // The job: writes, watching abandon (set by a stop), and throws on failure.
    using Job = std::function<void(const std::atomic<bool>& abandon)>;
    // failed receives the message of a job that threw, on the writer's thread.
    explicit StateWriter(std::function<void(const std::string&)> failed);
    ~StateWriter();
    StateWriter(const StateWriter&) = delete;
    StateWriter& operator=(const StateWriter&) = delete;

    void write(Job job);
    // Waits until no job waits or runs (tests, and a caller that must read the file back).
    void flush();

private:
    void run();

    std::function<void(const std::string&)> failed_;
    std::mutex lock_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    Job waiting_;
    bool busy_ = false;
    bool stopping_ = false;
    std::atomic<bool> abandon_{false};
    std::thread thread_;
};

}  // namespace quorvane
