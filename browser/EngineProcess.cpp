#include "browser/EngineProcess.h"

#include <QCoreApplication>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "browser/WebEngineConstants.h"

namespace quorvane {

namespace {

QtMessageHandler passOnMessage = nullptr;

void dropEngineNoise(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.trimmed() == QLatin1String(NoGraphicsBackendMessage)) return;
    if (passOnMessage)
        passOnMessage(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

}  // namespace

std::string prepareWebEngineProcess() {
    static const bool filtered = [] {
        passOnMessage = qInstallMessageHandler(dropEngineNoise);
        return true;
    }();
    (void)filtered;
    if (geteuid() == 0) {
        std::string flags = RootChromiumFlags;
        if (const char* user = std::getenv(ChromiumFlagsVariable); user && *user) flags = std::string(user) + " " + flags;
        setenv(ChromiumFlagsVariable, flags.c_str(), 1);
    }
    if (!std::getenv(LoggingRulesVariable)) setenv(LoggingRulesVariable, QuietLoggingRules, 1);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

    // Qt wants a runtime directory private to the user; make one when there is none.
    const char* runtime = std::getenv(RuntimeDirVariable);
    struct stat info {};
    if (runtime && *runtime && stat(runtime, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid() &&
        (info.st_mode & 0777) == 0700)
        return {};
    std::string dir = RuntimeDirTemplate;
    if (!mkdtemp(dir.data())) return {};  // mkdtemp makes it 0700
    setenv(RuntimeDirVariable, dir.c_str(), 1);
    return dir;
}

}  // namespace quorvane
