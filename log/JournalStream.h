#pragma once
// Whether a file descriptor writes to systemd's journal, checked as systemd documents it: the
// descriptor's device and inode are the ones JOURNAL_STREAM names.
#include <string>
#include <string_view>

#include "log/LogWriter.h"

namespace quorvane {

// journalStream: the variable's value (nullptr: not set). False when it is not "DEVICE:INODE" in
// decimal, when fd cannot be examined, or when fd is another file (output redirected by a shell
// under the service, or a test's file).
bool isJournalStream(int fd, const char* journalStream);
// The same with the process's own JOURNAL_STREAM.
bool isJournalStream(int fd);

// The "<N>" a line to the journal starts with for that severity.
std::string_view journalPrefix(LogSeverity severity);
// text as journal lines: each of its lines with that prefix and ended (a final line end in text
// adds no empty line).
std::string journalLines(std::string_view text, LogSeverity severity);
// A message of the program's own on standard error (a usage error, a fatal error box without a
// screen), in one write: as journal lines when standard error is the journal, else text and a
// line end as it always was.
void writeToStandardError(std::string_view text, LogSeverity severity);

}  // namespace quorvane
