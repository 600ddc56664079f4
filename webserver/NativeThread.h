#pragma once
// A joinable platform thread with a chosen stack size. Connection threads are made for every
// connection; small stacks make that cheaper and let the C library keep many of them for reuse.
#include <cstddef>
#include <functional>
#include <pthread.h>
#include <string>

class TNativeThread {
public:
    TNativeThread() = default;
    // Starts body on a new thread; raises std::system_error when the platform refuses.
    TNativeThread(std::function<void()> body, std::size_t stackBytes);
    TNativeThread(TNativeThread&& other) noexcept;
    TNativeThread& operator=(TNativeThread&& other) noexcept;
    TNativeThread(const TNativeThread&) = delete;
    TNativeThread& operator=(const TNativeThread&) = delete;
    ~TNativeThread();  // joins a thread not joined yet

    bool Joinable() const { return started_; }
    void Join();
    // Joins only a thread that has already ended; true when joined (or nothing to join).
    bool TryJoin();

    // Names the calling thread (the platform keeps the first 15 characters).
    static void NameCurrent(const std::string& name);
    // Raises the calling thread's scheduling priority where the platform allows; else nothing.
    static void RaiseCurrentPriority();

private:
    pthread_t handle_{};
    bool started_ = false;
};
