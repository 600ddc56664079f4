#include "service/StateWriter.h"

#include <exception>

namespace quorvane {

StateWriter::StateWriter(std::function<void(const std::string&)> failed)
    : failed_(std::move(failed)), thread_([this] { run(); }) {}

StateWriter::~StateWriter() {
    {
        const std::lock_guard<std::mutex> guard(lock_);
        stopping_ = true;
        waiting_ = nullptr;
    }
    abandon_ = true;
    wake_.notify_all();
    thread_.join();
}

void StateWriter::write(Job job) {
    {
        const std::lock_guard<std::mutex> guard(lock_);
        if (stopping_) return;
        waiting_ = std::move(job);
    }
    wake_.notify_all();
}

void StateWriter::flush() {
    std::unique_lock<std::mutex> guard(lock_);
    idle_.wait(guard, [this] { return (!waiting_ && !busy_) || stopping_; });
}

void StateWriter::run() {
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> guard(lock_);
            busy_ = false;
            idle_.notify_all();
            wake_.wait(guard, [this] { return waiting_ || stopping_; });
            if (stopping_) return;
            job = std::move(waiting_);
            waiting_ = nullptr;
            busy_ = true;
        }
        try {
            job(abandon_);
        } catch (const std::exception& error) {
            if (!abandon_ && failed_) failed_(error.what());
        }
    }
}

}  // namespace quorvane
