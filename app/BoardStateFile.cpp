#include "app/BoardStateFile.h"

#include "app/AppConstants.h"
#include "service/StateDirectory.h"
#include "service/StateEnvelope.h"

namespace quorvane {

BoardStateFile::BoardStateFile(const std::string& directory, LogWriter& log, const Clock& clock)
    : directory_(directory), path_(directory + "/" + BoardStateFileName), log_(log), clock_(clock),
      writer_([this](const std::string& failure) { log_.error(StateNotSavedText + failure); })
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
    // The data is shared, not copied: the writer's thread only reads it.
    writer_.write([directory = directory_, path = path_,
                   envelope = StateEnvelope{BoardStateVersion, instantOfLocal(clock_.now()), data}](
                      const std::atomic<bool>& abandon) {
        // Made here, not at start: a directory removed while the board runs comes back.
        ensureStateDirectory(directory);
        writeStateFile(path, envelope, abandon);
    });
}

}  // namespace quorvane
