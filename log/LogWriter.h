#pragma once
// The one way to write the activity log: Log(text, append). New-line mode adds a time-stamped
// line; append mode adds text to the end of the last line. Callable from any thread.
#include <string>

namespace quorvane {

class LogWriter {
public:
    virtual ~LogWriter() = default;
    virtual void log(const std::string& text, bool append) = 0;
};

}  // namespace quorvane
