#pragma once
// The command line of quorvane-democal.
#include <cstdint>
#include <optional>
#include <string>

#include "tools/democal/DemoCalendar.h"

struct DemoCommandLine {
    std::uint16_t Port = 0;
    std::optional<std::string> CertOut;
    DemoOptions Calendar;
    bool Help = false;
};

// Raises EDemoError with a one-line reason for an unknown option, a missing or bad value.
DemoCommandLine ParseDemoCommandLine(int argc, const char* const* argv);
std::string DemoUsage();
