#pragma once
// The board's metrics, as /metrics serves them: build info, grabs and per-person fetches by
// outcome, the last successful grab, the served data's age, HTTP answers by code, open
// connections and the fetch-time histogram. Labels carry sources, outcomes and codes only, never
// a person's name, address or title.
//
// The HTTP calls are made by connection threads on every request and take no lock (after the
// first answer of each code); the grab calls come from the main thread once per person or grab.
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <string_view>

#include "service/MetricsRegistry.h"
#include "service/ServiceConstants.h"
#include "text/Instant.h"

namespace quorvane {

class ServiceMetrics {
public:
    using Now = std::function<Instant()>;
    // now: the real time (the data's age is computed from it at each rendering).
    explicit ServiceMetrics(std::string_view version, Now now = systemNow);

    // A grab ended, at `ended`; a successful one also counts as the last success.
    void grabEnded(bool succeeded, Instant ended);
    // One person's fetch ended: source such as "daypage" or "caldav", result such as "ok" or
    // "failed", and the time it took.
    void personFetched(std::string_view source, std::string_view result, double seconds);
    // The time of the data served now (a grab's end, or that of the data loaded from the state file).
    void setDataTime(Instant dataTime);

    // Any thread, no lock once a code has been answered before.
    void httpAnswered(int code);
    void connectionOpened() noexcept { connections_.add(1); }
    void connectionClosed() noexcept { connections_.add(-1); }
    // For a server that counts its open connections itself.
    void setConnectionsOpen(double count) noexcept { connections_.set(count); }

    // The Prometheus text, served with MetricsContentType.
    std::string render() const { return registry_.render(); }

    static Instant systemNow();

private:
    static constexpr std::int64_t NoDataTime = std::numeric_limits<std::int64_t>::min();
    const Now now_;
    MetricsRegistry registry_;
    Gauge& buildInfo_;
    MetricFamily<Counter>& grabs_;
    MetricFamily<Counter>& fetches_;
    MetricFamily<Counter>& http_;
    Gauge& lastSuccess_;
    Gauge& connections_;
    Histogram& fetchDuration_;
    std::atomic<std::int64_t> dataTime_;  // Unix seconds, or NoDataTime
    std::array<std::atomic<Counter*>, HttpCodeLimit> httpByCode_{};
};

}  // namespace quorvane
