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
#include "board/Unit1.h"
#include "browser/WebEngineControl.h"
#include "text/DateTime.h"
#include "text/Errors.h"

namespace {

int signalPipe[2] = {-1, -1};

// A signal asks the window to close, as the operator would; a second one ends the program at once.
void OnStopSignal(int signalNumber) {
    const char byte = static_cast<char>(signalNumber);
    [[maybe_unused]] const ssize_t written = write(signalPipe[1], &byte, 1);
    std::signal(signalNumber, SIG_DFL);
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", ProgramName, message.c_str());
    return ExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    TOptions options;
    std::optional<TCredentials> credentials;
    try {
        options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
        if (options.Help) {
            std::fputs(UsageText().c_str(), stdout);
            return 0;
        }
        if (options.Version) {
            std::printf("%s %s\n", ProgramName, ProgramVersion);
            return 0;
        }
        if (!options.CredentialsFile.empty()) {
            const TFileCredentials read = ReadCredentialsFile(options.CredentialsFile);
            credentials = TCredentials{read.UserId, read.Password};
        }
    } catch (const EUsageError& error) {
        return Fail(error.what());
    }

    const bool headless =
        IsHeadless(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"), std::getenv(PlatformVariable));
    if (headless && !std::getenv(PlatformVariable)) setenv(PlatformVariable, HeadlessPlatform, 1);
    if (headless && !credentials)
        return Fail("no screen to ask for the calendar user id and password on; give them with "
                    "--credentials-file FILE");

    const std::string runtimeDir = PrepareWebEngineProcess();
    int exitCode = 0;
    {
        TApplication app(argc, argv, headless);
        ReloadLocaleFormats();

        TFormSettings settings;
        settings.CalendarHost = options.CalendarHost;
        settings.Credentials = credentials;
        settings.EchoLog = headless;
        bool trusted = true;
        if (!options.CalendarCa.empty()) {
            try {
                settings.Trust = LoadCalendarTrust(options.CalendarHost, options.CalendarCa);
            } catch (const EQuorvaneError& error) {
                exitCode = Fail(error.what());
                trusted = false;
            }
        }

        std::unique_ptr<TForm1> form;
        if (trusted) {
            try {
                form = std::make_unique<TForm1>(std::move(settings));
            } catch (const std::exception& error) {
                app.ShowFatal(error);
                exitCode = ExitFatal;
            }
        }
        if (form) {
            if (socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) == 0) {
                auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
                QObject::connect(notifier, &QSocketNotifier::activated, form.get(), [&form] {
                    char byte = 0;
                    [[maybe_unused]] const ssize_t got = read(signalPipe[0], &byte, 1);
                    form->close();
                });
                std::signal(SIGINT, OnStopSignal);
                std::signal(SIGTERM, OnStopSignal);
            }
            try {
                form->FormCreate();
            } catch (const std::exception& error) {
                app.ShowException(error);
            }
            if (!form->Closed()) {
                form->show();
                exitCode = app.exec();
            }
            form.reset();
        }
    }
    if (!runtimeDir.empty()) QDir(QString::fromStdString(runtimeDir)).removeRecursively();
    return exitCode;
}
