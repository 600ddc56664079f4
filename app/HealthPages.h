#pragma once
// What the board answers for its health: /livez (it serves), /readyz (the data it serves is real
// and recent), /metrics (Prometheus text). These paths are for monitoring, never the board's page.
#include <optional>
#include <string>
#include <string_view>

#include "board/BoardSnapshot.h"
#include "text/Instant.h"

namespace quorvane {

enum class HealthPath { None, Live, Ready, Metrics };
HealthPath healthPathOf(std::string_view path);

// Not ready while the roster file could not be read (the reason given). Ready when the last grab stored at least one person's calendar and that data is younger than
// ReadyDataAgeLimitSeconds at now; otherwise the one-line reason it is not.
std::optional<std::string> notReadyReason(const BoardSnapshot& snapshot, Instant now);

// The last grab's outcome in one line, for systemd's status: "Last grab ok at 09:05:07, 12 people",
// "Last grab failed at 09:05:07: REASON", or "No grab yet".
std::string grabStatusText(const BoardSnapshot& snapshot);

}  // namespace quorvane
