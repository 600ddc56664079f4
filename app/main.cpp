// The program: options, the application object, the main window and the event loop.
#include <QDir>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

#include "app/AppConstants.h"
#include "app/Application.h"
#include "app/Options.h"
#include "app/MainWindow.h"
#include "browser/WebEngineControl.h"
#include "text/DateTime.h"
#include "text/Errors.h"
#include "webserver/OpenFileLimit.h"

namespace {

int signalPipe[2] = {-1, -1};

// A signal asks the window to close, as the operator would; a second one ends the program at once.
void onStopSignal(int signalNumber) {
    const char byte = static_cast<char>(signalNumber);
    [[maybe_unused]] const ssize_t written = write(signalPipe[1], &byte, 1);
    std::signal(signalNumber, SIG_DFL);
}

int fail(const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", ProgramName, message.c_str());
    return ExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::optional<Credentials> credentials;
    try {
        options = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
        if (options.help) {
            std::fputs(usageText().c_str(), stdout);
            return 0;
        }
        if (options.version) {
            std::printf("%s %s\n", ProgramName, ProgramVersion);
            return 0;
        }
        if (!options.credentialsFile.empty()) {
            const FileCredentials read = readCredentialsFile(options.credentialsFile);
            credentials = Credentials{read.userId, read.password};
        }
    } catch (const UsageError& error) {
        return fail(error.what());
    }

    const bool headless =
        isHeadless(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"), std::getenv(PlatformVariable));
    if (headless && !std::getenv(PlatformVariable)) setenv(PlatformVariable, HeadlessPlatform, 1);
    if (headless && !credentials)
        return fail("no screen to ask for the calendar user id and password on; give them with "
                    "--credentials-file FILE");

    // Each connection holds a descriptor: a burst must not reach the soft limit long before the hard one.
    raiseOpenFileLimit();
    const std::string runtimeDir = prepareWebEngineProcess();
    int exitCode = 0;
    {
        Application app(argc, argv, headless);
        reloadLocaleFormats();

        WindowSettings settings;
        settings.calendarHost = options.calendarHost;
        settings.credentials = credentials;
        settings.echoLog = headless;
        settings.maxClientConnections = options.maxClientConnections;
        settings.calendarHttps = options.calendarHttps;
        bool trusted = true;
        if (!options.calendarCa.empty()) {
            try {
                settings.trust = loadCalendarTrust(options.calendarHost, options.calendarCa);
            } catch (const QuorvaneError& error) {
                exitCode = fail(error.what());
                trusted = false;
            }
        }

        std::unique_ptr<MainWindow> window;
        if (trusted) {
            try {
                window = std::make_unique<MainWindow>(std::move(settings));
            } catch (const std::exception& error) {
                app.showFatal(error);
                exitCode = ExitFatal;
            }
        }
        if (window) {
            if (socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) == 0) {
                auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
                QObject::connect(notifier, &QSocketNotifier::activated, window.get(), [&window] {
                    char byte = 0;
                    [[maybe_unused]] const ssize_t got = read(signalPipe[0], &byte, 1);
                    window->close();
                });
                std::signal(SIGINT, onStopSignal);
                std::signal(SIGTERM, onStopSignal);
            }
            try {
                window->start();
            } catch (const std::exception& error) {
                app.showException(error);
            }
            if (!window->closed()) {
                window->show();
                exitCode = app.exec();
            }
            window.reset();
        }
    }
    if (!runtimeDir.empty()) QDir(QString::fromStdString(runtimeDir)).removeRecursively();
    return exitCode;
}
