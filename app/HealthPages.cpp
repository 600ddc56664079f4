#include "app/HealthPages.h"

#include <cstdio>

#include "app/AppConstants.h"
#include "text/TextConstants.h"

namespace quorvane {

HealthPath healthPathOf(std::string_view path) {
    if (path == LivePath) return HealthPath::Live;
    if (path == ReadyPath) return HealthPath::Ready;
    if (path == MetricsPath) return HealthPath::Metrics;
    return HealthPath::None;
}

std::optional<std::string> notReadyReason(const BoardSnapshot& snapshot, Instant now) {
    if (!snapshot.rosterFailure.empty()) return std::string(NotReadyNoRoster) + snapshot.rosterFailure;
    bool stored = false;
    for (const PersonRow& row : snapshot.people) stored = stored || row.fetchedAt.has_value();
    // The data time moves only when a grab stored at least one calendar.
    if (!snapshot.dataTime || !stored) return std::string(NotReadyNoData);
    // Rows an earlier run saved are shown, but they are not current until a grab succeeds.
    if (snapshot.restoredFromState) return std::string(NotReadyRestored);
    const long long age = (now - *snapshot.dataTime).count();
    if (age >= ReadyDataAgeLimitSeconds)
        return std::string(NotReadyOldHead) + std::to_string(age / SecondsPerMinute) + std::string(NotReadyOldTail);
    return std::nullopt;
}

std::string grabStatusText(const BoardSnapshot& snapshot) {
    if (!snapshot.lastGrabTime) return std::string(NoGrabYetText);
    const LocalParts at = localParts(*snapshot.lastGrabTime);
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", at.hour, at.minute, at.second);
    std::string text = std::string(GrabStatusHead) + (snapshot.lastGrabOk ? "ok" : "failed") + " at " + time;
    if (snapshot.lastGrabOk) return text + ", " + std::to_string(snapshot.people.size()) + " people";
    for (const PersonRow& row : snapshot.people)
        if (!row.failure.empty()) return text + ": " + row.failure;
    return text;
}

}  // namespace quorvane
