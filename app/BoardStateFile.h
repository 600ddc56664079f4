#pragma once
// The board's state file in the state directory: its last good data, written atomically after
// each grab (encoded and written by a thread of its own: the event loop never waits on the disk)
// and read back at start. A file that is missing or does not read is logged in one line and
// ignored; a write that fails is logged and the board goes on. Destroyed while it writes, it gives
// the write up and the last complete file stays.
#include <QJsonObject>

#include <optional>
#include <string>

#include "log/LogWriter.h"
#include "service/StateWriter.h"
#include "text/Clock.h"

namespace quorvane {

class BoardStateFile {
public:
    BoardStateFile(const std::string& directory, LogWriter& log, const Clock& clock);

    std::optional<QJsonObject> load();
    // Returns at once; the file is written later. A save still waiting is replaced.
    void save(const QJsonObject& data);
    // Waits for the saves handed over so far (tests).
    void flush() { writer_.flush(); }
    const std::string& path() const { return path_; }

private:
    std::string directory_;
    std::string path_;
    LogWriter& log_;
    const Clock& clock_;
    StateWriter writer_;  // last: it stops before the rest goes
};

}  // namespace quorvane
