#pragma once
// A joinable platform thread with a chosen stack size. Connection threads are made for every
// connection; small stacks make that cheaper and let the C library keep many of them for reuse.
#include <cstddef>
#include <functional>
#include <pthread.h>
#include <string>

namespace quorvane {

class NativeThread {
public:
    NativeThread() = default;
    // Starts body on a new thread; raises std::system_error when the platform refuses.
    NativeThread(std::function<void()> body, std::size_t stackBytes);
    NativeThread(NativeThread&& other) noexcept;
    NativeThread& operator=(NativeThread&& other) noexcept;
    NativeThread(const NativeThread&) = delete;
    NativeThread& operator=(const NativeThread&) = delete;
    ~NativeThread();  // joins a thread not joined yet

    bool joinable() const { return started_; }
    void join();
    // Joins only a thread that has already ended; true when joined (or nothing to join).
    bool tryJoin();

    // Names the calling thread (the platform keeps the first 15 characters).
    static void nameCurrent(const std::string& name);
    // Raises the calling thread's scheduling priority where the platform allows; else nothing.
    static void raiseCurrentPriority();

private:
    pthread_t handle_{};
    bool started_ = false;
};

}  // namespace quorvane
