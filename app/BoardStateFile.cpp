#include "app/BoardStateFile.h"

#include <exception>

#include "app/AppConstants.h"
#include "service/StateDirectory.h"
#include "service/StateEnvelope.h"

namespace quorvane {

BoardStateFile::BoardStateFile(const std::string& directory, LogWriter& log, const Clock& clock)
    : directory_(directory), path_(directory + "/" + BoardStateFileName), log_(log), clock_(clock)
{
}

std::optional<QJsonObject> BoardStateFile::load()
{
    const StateLoad loaded = readStateFile(path_, BoardStateVersion);
    if (loaded.problem != StateLoad::Problem::None || !loaded.envelope) {
        // No file yet is a first start, not a problem; one that does not read is.
        log_.logLine(StateNotRestoredText + loaded.reason,
                     loaded.problem == StateLoad::Problem::Missing ? LogSeverity::Info : LogSeverity::Warning);
        return std::nullopt;
    }
    log_.log(StateRestoredText + path_, false);
    return loaded.envelope->data;
}

void BoardStateFile::save(const QJsonObject& data)
{
    try {
        // Made here, not at start: a directory removed while the board runs comes back.
        ensureStateDirectory(directory_);
        writeStateFile(path_, StateEnvelope{BoardStateVersion, instantOfLocal(clock_.now()), data});
    } catch (const std::exception& error) {
        log_.error(StateNotSavedText + std::string(error.what()));
    }
}

}  // namespace quorvane
