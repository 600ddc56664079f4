#pragma once
// Tells systemd how the service is doing (sd_notify): ready once every binding listens, a status
// line after each grab, stopping on the way out, and the watchdog's keep-alive. The keep-alive is
// sent by a timer on the event loop of the thread that made the notifier (the main loop) at half
// of the watchdog's time-out, so a stuck main loop gets the service restarted.
//
// Without NOTIFY_SOCKET (not started by systemd, or not as Type=notify) every call does nothing.
// A failed notification reaches the log once, until one succeeds again.
#include <QTimer>
#include <string>
#include <string_view>

#include "log/LogWriter.h"

class ServiceNotifier {
public:
    explicit ServiceNotifier(LogWriter& log);

    bool enabled() const noexcept { return enabled_; }
    // The watchdog's keep-alive interval, 0 when systemd watches nothing.
    int watchdogIntervalMs() const noexcept { return timer_.interval(); }

    void ready();                         // READY=1
    void status(std::string_view text);   // STATUS=text (on one line)
    void stopping();                      // STOPPING=1

private:
    void send(const std::string& state);

    LogWriter& log_;
    const bool enabled_;
    bool failing_ = false;
    QTimer timer_;
};
