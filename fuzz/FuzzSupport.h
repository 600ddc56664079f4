#pragma once
// Doubles shared by the fuzz targets: a fixed clock, a log that keeps nothing, and a browser
// control that never loads anything.
#include <cstddef>
#include <cstdint>
#include <string>

#include "browser/BrowserControl.h"
#include "text/Clock.h"
#include "text/DateTime.h"
#include "ui/LogWriter.h"

// 6 December 2026 10:00, the moment every fuzzed page is read against.
inline const TDateTime FuzzNow = EncodeDate(2026, 12, 6) + EncodeTime(10, 0, 0, 0);

class TFixedClock final : public TClock {
public:
    TDateTime Now() const override { return FuzzNow; }
};

// Counts what it is given, so a runaway line or a flood of calls still shows up as work.
class TCountingLog final : public TLogWriter {
public:
    void Log(const std::string& text, bool) override {
        ++Calls;
        Bytes += text.size();
    }
    std::size_t Calls = 0, Bytes = 0;
};

class TIdleBrowserControl final : public TBrowserControl {
public:
    void Navigate(const std::string&) override {}
    std::string LocationURL() const override { return {}; }
    TVariant DocumentElementInnerHTML() override { return {}; }
    void RunWaitPass() override {}
};

inline std::string FuzzText(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}
