#include "log/EchoLog.h"

void EchoLog::log(const std::string& text, bool append) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (!append && started_) std::fputc('\n', out_);
        std::fwrite(text.data(), 1, text.size(), out_);
        started_ = true;
        std::fflush(out_);
    }
    inner_.log(text, append);
}
