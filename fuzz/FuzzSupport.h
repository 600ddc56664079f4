#pragma once
// Doubles shared by the fuzz targets: a fixed clock and a log that keeps nothing.
#include <cstddef>
#include <cstdint>
#include <string>

#include "text/Clock.h"
#include "text/DateTime.h"
#include "log/LogWriter.h"

namespace quorvane {

// 6 December 2026 10:00, the moment every fuzzed page is read against.
inline const DateTime FuzzNow = encodeDate(2026, 12, 6) + encodeTime(10, 0, 0, 0);

class FixedClock final : public Clock {
public:
    DateTime now() const override { return FuzzNow; }
};

// Counts what it is given, so a runaway line or a flood of calls still shows up as work.
class CountingLog final : public LogWriter {
public:
    void log(const std::string& text, bool) override {
        ++calls;
        Bytes += text.size();
    }
    std::size_t calls = 0, Bytes = 0;
};

inline std::string fuzzText(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

}  // namespace quorvane
