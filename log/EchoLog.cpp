#include "log/EchoLog.h"

#include "log/LogText.h"

namespace quorvane {

EchoLog::EchoLog(LogWriter& inner, Output output, const Clock& clock)
    : inner_(inner), output_(std::move(output)), clock_(clock), guiThread_(std::this_thread::get_id()) {}

EchoLog::EchoLog(LogWriter& inner, std::FILE* out, const Clock& clock)
    : EchoLog(inner,
              [out](const std::string& bytes) {
                  std::fwrite(bytes.data(), 1, bytes.size(), out);
                  std::fflush(out);
              },
              clock) {}

EchoLog::~EchoLog() {
    if (lineOpen_) output_("\n");
}

void EchoLog::log(const std::string& text, bool append) {
    const std::string inert = inertLogText(text);
    const bool gui = std::this_thread::get_id() == guiThread_;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (append && gui && lineOpen_) {
            output_(inert);
        } else {
            std::string bytes = lineOpen_ ? "\n" : "";
            bytes += stampedLogLine(clock_, inert);
            // Only the GUI thread appends: another thread's line is ended at once.
            lineOpen_ = gui;
            if (!gui) bytes += '\n';
            output_(std::move(bytes));
        }
    }
    inner_.log(text, append);
}

}  // namespace quorvane
