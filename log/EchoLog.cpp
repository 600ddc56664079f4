#include "log/EchoLog.h"

#include "log/LogText.h"

namespace quorvane {

EchoLog::EchoLog(LogWriter& inner, std::FILE* out, const Clock& clock)
    : inner_(inner), out_(out), clock_(clock), guiThread_(std::this_thread::get_id()) {}

EchoLog::~EchoLog() {
    if (lineOpen_) std::fputc('\n', out_);
    std::fflush(out_);
}

void EchoLog::log(const std::string& text, bool append) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        const std::string inert = inertLogText(text);
        const bool gui = std::this_thread::get_id() == guiThread_;
        if (append && gui && lineOpen_) {
            std::fwrite(inert.data(), 1, inert.size(), out_);
        } else {
            if (lineOpen_) std::fputc('\n', out_);
            const std::string line = stampedLogLine(clock_, inert);
            std::fwrite(line.data(), 1, line.size(), out_);
            // Only the GUI thread appends: another thread's line is ended at once.
            lineOpen_ = gui;
            if (!gui) std::fputc('\n', out_);
        }
        std::fflush(out_);
    }
    inner_.log(text, append);
}

}  // namespace quorvane
