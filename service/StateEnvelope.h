#pragma once
// The envelope every JSON state file is kept in:
//   {"format": "quorvane-state", "version": N, "written": unix-seconds, "data": {...}}
// The data is whatever its owner keeps; the loader checks the envelope and hands the data back,
// or says in one line why the file is not used (missing, unreadable, truncated or corrupt, of
// another format or another version). A bad file is never a crash.
#include <QByteArray>
#include <QJsonObject>

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "text/Instant.h"

namespace quorvane {

struct StateEnvelope {
    int version = 0;
    Instant written{};
    QJsonObject data;
};

struct StateLoad {
    enum class Problem { None, Missing, Unreadable, Corrupt, OtherFormat, OtherVersion };
    Problem problem = Problem::None;
    std::optional<StateEnvelope> envelope;  // when problem is None
    std::string reason;                      // otherwise, one line
};

QByteArray encodeStateEnvelope(const StateEnvelope& envelope);
// Bytes as read from a state file, checked against the version this board reads.
StateLoad decodeStateEnvelope(const QByteArray& bytes, int expectedVersion);

// Atomically (see writeFileAtomically); throws StateError.
void writeStateFile(const std::string& path, const StateEnvelope& envelope);
// The same, given up when abandon is set (false then; the file stays as it was).
bool writeStateFile(const std::string& path, const StateEnvelope& envelope, const std::atomic<bool>& abandon);
// The reason names the file: "state file PATH is missing", "... is not JSON: garbage at the end
// of the document (offset 12)", "... is version 2, not 1".
StateLoad readStateFile(const std::string& path, int expectedVersion);

}  // namespace quorvane
