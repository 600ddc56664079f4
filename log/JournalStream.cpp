#include "log/JournalStream.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "log/LogConstants.h"

namespace quorvane {

namespace {

// A whole decimal number, nothing before or after it.
bool readNumber(std::string_view text, unsigned long long& value) {
    if (text.empty()) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

bool isJournalStream(int fd, const char* journalStream) {
    if (!journalStream) return false;
    const std::string_view value(journalStream);
    const std::size_t colon = value.find(':');
    unsigned long long device = 0, inode = 0;
    if (colon == std::string_view::npos || !readNumber(value.substr(0, colon), device) ||
        !readNumber(value.substr(colon + 1), inode))
        return false;
    struct stat info {};
    if (fstat(fd, &info) != 0) return false;
    return static_cast<unsigned long long>(info.st_dev) == device && static_cast<unsigned long long>(info.st_ino) == inode;
}

bool isJournalStream(int fd) { return isJournalStream(fd, std::getenv(JournalStreamVariable)); }

std::string_view journalPrefix(LogSeverity severity) {
    switch (severity) {
        case LogSeverity::Debug: return JournalDebugPrefix;
        case LogSeverity::Warning: return JournalWarningPrefix;
        case LogSeverity::Error: return JournalErrorPrefix;
        case LogSeverity::Info: break;
    }
    return JournalInfoPrefix;
}

std::string journalLines(std::string_view text, LogSeverity severity) {
    std::string bytes;
    for (std::size_t start = 0; start < text.size() || bytes.empty();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        bytes += journalPrefix(severity);
        bytes.append(text.substr(start, end - start));
        bytes += '\n';
        start = end + 1;
    }
    return bytes;
}

void writeToStandardError(std::string_view text, LogSeverity severity) {
    const std::string bytes = isJournalStream(STDERR_FILENO) ? journalLines(text, severity) : std::string(text) + "\n";
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(STDERR_FILENO, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

}  // namespace quorvane
