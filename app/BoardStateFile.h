#pragma once
// The board's state file in the state directory: its last good data, written atomically after
// each grab and read back at start. A file that is missing or does not read is logged in one line
// and ignored; a write that fails is logged and the board goes on.
#include <QJsonObject>

#include <optional>
#include <string>

#include "log/LogWriter.h"
#include "text/Clock.h"

namespace quorvane {

class BoardStateFile {
public:
    BoardStateFile(const std::string& directory, LogWriter& log, const Clock& clock);

    std::optional<QJsonObject> load();
    void save(const QJsonObject& data);
    const std::string& path() const { return path_; }

private:
    std::string directory_;
    std::string path_;
    LogWriter& log_;
    const Clock& clock_;
};

}  // namespace quorvane
