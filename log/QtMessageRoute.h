#pragma once
// Qt's messages, and through them the embedded browser engine's, kept apart from the program's own
// lines. Written to systemd's journal, every message is one whole line (or lines) with its
// priority; the engine's own (its categories qt.webengine*, the pages' console "js", its set-up
// warnings such as "WebEngineContext used before ...") is debug, so "journalctl -p warning"
// leaves it out. Elsewhere Qt's messages go on as before.
#include <functional>
#include <string>
#include <string_view>

#include "log/LogWriter.h"

namespace quorvane {

// Installs the handler, once; journal: standard error is the journal. In journal mode the engine's
// processes are told to keep their own log to fatal errors (QTWEBENGINE_CHROMIUM_FLAGS gains
// --log-level=3): they write to the same stream with no priority, a certificate check of a CA that
// --calendar-ca trusts among it.
void routeQtMessages(bool journal);

// Where the journal's lines go while the program's log writes there (the echo's passLine, so none
// lands inside one of the program's lines); none: straight to standard error, one write a line.
using QtMessageSink = std::function<void(const std::string& text, LogSeverity severity)>;
void setQtMessageSink(QtMessageSink sink);

// The severity a message is routed at: the engine's is debug whatever its type.
LogSeverity qtMessageSeverity(int type, std::string_view category, std::string_view message);

}  // namespace quorvane
