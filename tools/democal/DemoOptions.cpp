#include "tools/democal/DemoOptions.h"

#include <charconv>
#include <string_view>

#include "tools/democal/DemoConstants.h"
#include "tools/democal/DemoErrors.h"

namespace quorvane {

namespace {

constexpr unsigned MaxPort = 65535;

std::uint16_t parsePort(std::string_view text) {
    unsigned value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty() || value > MaxPort)
        throw DemoError("bad port '" + std::string(text) + "'");
    return static_cast<std::uint16_t>(value);
}

DemoFault parseFault(std::string_view text) {
    if (text == DemoFaultNeverComplete) return DemoFault::NeverComplete;
    if (text == DemoFaultBrokenTime) return DemoFault::BrokenTime;
    if (text == DemoFaultUnterminated) return DemoFault::Unterminated;
    if (text == DemoFaultLostSession) return DemoFault::LostSession;
    if (text == DemoFaultSlowItem) return DemoFault::SlowItem;
    if (text == DemoFaultHugePage) return DemoFault::HugePage;
    if (text == DemoFaultOneUnreadable) return DemoFault::OneUnreadable;
    throw DemoError("unknown fault '" + std::string(text) + "'");
}

}  // namespace

DemoCommandLine parseDemoCommandLine(int argc, const char* const* argv) {
    DemoCommandLine options;
    for (int i = 1; i < argc; ++i) {
        std::string_view name = argv[i];
        if (name == DemoOptHelp) {
            options.help = true;
            continue;
        }
        if (i + 1 >= argc) throw DemoError("option '" + std::string(name) + "' needs a value");
        std::string value = argv[++i];
        if (name == DemoOptPort) {
            options.port = parsePort(value);
        } else if (name == DemoOptCertOut) {
            options.certOut = value;
        } else if (name == DemoOptNow) {
            options.calendar.now = parseMoment(value);
            if (!options.calendar.now) throw DemoError("bad time '" + value + "' (use \"YYYY-MM-DD hh:mm\")");
        } else if (name == DemoOptUser) {
            options.calendar.user = value;
        } else if (name == DemoOptPassword) {
            options.calendar.password = value;
        } else if (name == DemoOptFault) {
            options.calendar.fault = parseFault(value);
        } else {
            throw DemoError("unknown option '" + std::string(name) + "'");
        }
    }
    return options;
}

std::string demoUsage() {
    return "usage: quorvane-democal [--port N] [--cert-out FILE] [--now \"YYYY-MM-DD hh:mm\"]\n"
           "                        [--user ID] [--password PASS]\n"
           "                        [--fault never-complete|broken-time|unterminated|lost-session|\n"
           "                                 slow-item|huge-page|one-unreadable]\n"
           "Serves a demo calendar over HTTPS and HTTP on one loopback port (0 = any free port,\n"
           "printed as the first line of output) and writes its certificate as PEM to FILE.\n";
}

}  // namespace quorvane
