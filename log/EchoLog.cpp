#include "log/EchoLog.h"

#include "log/JournalStream.h"
#include "log/LogText.h"

namespace quorvane {

EchoLog::EchoLog(LogWriter& inner, Output output, const Clock& clock, EchoStyle style)
    : inner_(inner), output_(std::move(output)), clock_(clock), style_(style), guiThread_(std::this_thread::get_id()) {}

EchoLog::EchoLog(LogWriter& inner, std::FILE* out, const Clock& clock, EchoStyle style)
    : EchoLog(inner,
              [out](const std::string& bytes) {
                  std::fwrite(bytes.data(), 1, bytes.size(), out);
                  std::fflush(out);
              },
              clock, style) {}

EchoLog::~EchoLog() {
    if (lineOpen_) output_("\n");
}

std::string EchoLog::lineHead(LogSeverity severity) const {
    if (style_ == EchoStyle::Journal) return std::string(journalPrefix(severity));
    return stampedLogLine(clock_, "");
}

void EchoLog::echo(const std::string& text, bool append, LogSeverity severity, bool foreign) {
    const std::string inert = inertLogText(text);
    const bool gui = !foreign && std::this_thread::get_id() == guiThread_;
    const std::lock_guard<std::mutex> lock(mutex_);
    if (append && gui && lineOpen_) {
        output_(inert);
        return;
    }
    std::string bytes = lineOpen_ ? "\n" : "";
    bytes += lineHead(severity);
    bytes += inert;
    // Only the GUI thread appends: another thread's line, or a foreign one, is ended at once.
    lineOpen_ = gui;
    if (!gui) bytes += '\n';
    output_(std::move(bytes));
}

void EchoLog::log(const std::string& text, bool append) {
    echo(text, append, LogSeverity::Info, false);
    inner_.log(text, append);
}

void EchoLog::logLine(const std::string& text, LogSeverity severity) {
    echo(text, false, severity, false);
    inner_.logLine(text, severity);
}

void EchoLog::passLine(const std::string& text, LogSeverity severity) { echo(text, false, severity, true); }

}  // namespace quorvane
