#pragma once
// A log writer that passes every call on to the activity log and also writes it to a stream, for
// runs without a window: a new-line call starts a new output line, an append continues it.
#include <cstdio>
#include <mutex>
#include <string>

#include "log/LogWriter.h"

class EchoLog final : public LogWriter {
public:
    EchoLog(LogWriter& inner, std::FILE* out) : inner_(inner), out_(out) {}
    void log(const std::string& text, bool append) override;

private:
    LogWriter& inner_;
    std::FILE* out_;
    std::mutex mutex_;
    bool started_ = false;
};
