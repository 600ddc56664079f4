#include "service/ServiceNotifier.h"

#include <systemd/sd-daemon.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "service/ServiceConstants.h"

namespace quorvane {

ServiceNotifier::ServiceNotifier(LogWriter& log) : log_(log), enabled_(std::getenv("NOTIFY_SOCKET") != nullptr) {
    timer_.setInterval(0);
    std::uint64_t timeoutUs = 0;
    if (!enabled_ || sd_watchdog_enabled(0, &timeoutUs) <= 0) return;
    const std::uint64_t intervalMs = timeoutUs / WatchdogIntervalDivisor / UsPerMs;
    timer_.setInterval(static_cast<int>(std::clamp<std::uint64_t>(intervalMs, 1, std::numeric_limits<int>::max())));
    QObject::connect(&timer_, &QTimer::timeout, [this] { send("WATCHDOG=1"); });
    timer_.start();
}

void ServiceNotifier::ready() { send("READY=1"); }

void ServiceNotifier::status(std::string_view text) {
    // A line feed would start another assignment.
    std::string line(text);
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';
    send("STATUS=" + line);
}

void ServiceNotifier::stopping() { send("STOPPING=1"); }

void ServiceNotifier::send(const std::string& state) {
    if (!enabled_) return;
    const int result = sd_notify(0, state.c_str());
    if (result > 0) {
        failing_ = false;
        return;
    }
    if (failing_) return;
    failing_ = true;
    const std::string reason = result < 0 ? std::strerror(-result) : "no notification socket";
    log_.error("Could not notify systemd (" + state.substr(0, state.find('=')) + "): " + reason);
}

}  // namespace quorvane
