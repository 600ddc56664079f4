#pragma once
// The command line of quorvane-democal.
#include <cstdint>
#include <optional>
#include <string>

#include "tools/democal/DemoCalendar.h"

namespace quorvane {

struct DemoCommandLine {
    std::uint16_t port = 0;
    std::optional<std::string> certOut;
    DemoOptions calendar;
    bool help = false;
};

// Raises DemoError with a one-line reason for an unknown option, a missing or bad value.
DemoCommandLine parseDemoCommandLine(int argc, const char* const* argv);
std::string demoUsage();

}  // namespace quorvane
