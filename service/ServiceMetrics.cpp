#include "service/ServiceMetrics.h"

#include <chrono>

ServiceMetrics::ServiceMetrics(std::string_view version, Now now)
    : now_(std::move(now)),
      buildInfo_(registry_.gauge(std::string(BuildInfoName), std::string(BuildInfoHelp), {"version"})
                     .labels({std::string(version)})),
      grabs_(registry_.counter(std::string(GrabsName), std::string(GrabsHelp), {"result"})),
      fetches_(registry_.counter(std::string(PersonFetchesName), std::string(PersonFetchesHelp),
                                 {"source", "result"})),
      http_(registry_.counter(std::string(HttpRequestsName), std::string(HttpRequestsHelp), {"code"})),
      lastSuccess_(registry_.gauge(std::string(LastGrabSuccessName), std::string(LastGrabSuccessHelp)).labels({})),
      connections_(registry_.gauge(std::string(HttpConnectionsName), std::string(HttpConnectionsHelp)).labels({})),
      fetchDuration_(registry_
                         .histogram(std::string(FetchDurationName), std::string(FetchDurationHelp),
                                    {FetchDurationBuckets.begin(), FetchDurationBuckets.end()})
                         .labels({})),
      dataTime_(NoDataTime) {
    buildInfo_.set(1);
    // Both outcomes are there from the start, so a rate over them never starts from nothing.
    grabs_.labels({std::string(GrabOk)});
    grabs_.labels({std::string(GrabFailed)});
    registry_.computedGauge(std::string(DataAgeName), std::string(DataAgeHelp), [this]() -> std::optional<double> {
        const std::int64_t dataTime = dataTime_.load();
        if (dataTime == NoDataTime) return std::nullopt;
        return static_cast<double>(unixSeconds(now_()) - dataTime);
    });
}

Instant ServiceMetrics::systemNow() {
    return std::chrono::time_point_cast<std::chrono::seconds>(std::chrono::system_clock::now());
}

void ServiceMetrics::grabEnded(bool succeeded, Instant ended) {
    grabs_.labels({std::string(succeeded ? GrabOk : GrabFailed)}).inc();
    if (succeeded) lastSuccess_.set(static_cast<double>(unixSeconds(ended)));
}

void ServiceMetrics::personFetched(std::string_view source, std::string_view result, double seconds) {
    fetches_.labels({std::string(source), std::string(result)}).inc();
    fetchDuration_.observe(seconds);
}

void ServiceMetrics::setDataTime(Instant dataTime) {
    dataTime_.store(unixSeconds(dataTime));
}

void ServiceMetrics::httpAnswered(int code) {
    if (code < 0 || code >= HttpCodeLimit) {
        http_.labels({std::to_string(code)}).inc();
        return;
    }
    auto& slot = httpByCode_[static_cast<std::size_t>(code)];
    Counter* counter = slot.load(std::memory_order_acquire);
    if (counter == nullptr) {
        // Two threads may race here: both get the same series from the family.
        counter = &http_.labels({std::to_string(code)});
        slot.store(counter, std::memory_order_release);
    }
    counter->inc();
}
