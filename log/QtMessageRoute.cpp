#include "log/QtMessageRoute.h"

#include <QString>
#include <QtGlobal>
#include <cstdlib>
#include <mutex>
#include <unistd.h>

#include "log/JournalStream.h"
#include "log/LogConstants.h"

namespace quorvane {

namespace {

std::mutex sinkMutex;
QtMessageSink messageSink;

bool isEngineNoise(std::string_view category, std::string_view message) {
    if (category.rfind(EngineCategoryHead, 0) == 0 || category == PageConsoleCategory) return true;
    for (std::string_view head : EngineMessageHeads)
        if (message.rfind(head, 0) == 0) return true;
    return false;
}

void toJournal(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    std::string text = message.toStdString();
    // Some of the engine's messages end with a line end of their own: the line ends it here.
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    const LogSeverity severity =
        qtMessageSeverity(type, context.category ? context.category : "", text);
    {
        const std::lock_guard<std::mutex> lock(sinkMutex);
        if (messageSink) return messageSink(text, severity);
    }
    const std::string bytes = journalLines(text, severity);
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(STDERR_FILENO, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

}  // namespace

LogSeverity qtMessageSeverity(int type, std::string_view category, std::string_view message) {
    if (isEngineNoise(category, message)) return LogSeverity::Debug;
    switch (type) {
        case QtDebugMsg: return LogSeverity::Debug;
        case QtInfoMsg: return LogSeverity::Info;
        case QtWarningMsg: return LogSeverity::Warning;
        default: return LogSeverity::Error;  // critical, fatal
    }
}

void routeQtMessages(bool journal) {
    // Elsewhere (a terminal, a file) Qt's own handler and the browser's filter stay as they were.
    if (!journal) return;
    static const bool installed = [] {
        qInstallMessageHandler(toJournal);
        const char* given = std::getenv(EngineFlagsVariable);
        std::string flags = given ? given : "";
        if (flags.find(EngineLogLevelFlag) == std::string::npos) {
            flags += flags.empty() ? "" : " ";
            flags += EngineQuietFlag;
            setenv(EngineFlagsVariable, flags.c_str(), 1);
        }
        return true;
    }();
    (void)installed;
}

void setQtMessageSink(QtMessageSink sink) {
    const std::lock_guard<std::mutex> lock(sinkMutex);
    messageSink = std::move(sink);
}

}  // namespace quorvane
