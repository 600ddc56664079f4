// The program: options, the application object, the main window and the event loop.
#include <QDir>
#include <QSocketNotifier>
#include <csignal>
#include <malloc.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

#include "app/AppConstants.h"
#include "app/Application.h"
#include "app/DisplayProbe.h"
#include "app/HealthPages.h"
#include "app/Options.h"
#include "calendarfetch/CalendarRequest.h"
#include "calendarfetch/Netrc.h"
#include "log/JournalStream.h"
#include "log/QtMessageRoute.h"
#include "service/ClientRanges.h"
#include "service/ServiceConstants.h"
#include "service/ServiceNotifier.h"
#include "cloud/CloudErrors.h"
#include "cloud/GoogleCalendarClient.h"
#include "cloud/GraphCalendarClient.h"
#include "cloud/RsaSigner.h"
#include "app/MainWindow.h"
#include "board/AbsenceWords.h"
#include "board/DayViewSource.h"
#include "service/ServiceErrors.h"
#include "service/StateDirectory.h"
#include "browser/EngineProcess.h"
#include "text/DateTime.h"
#include "text/Errors.h"
#include "text/SecretFile.h"
#include "webserver/OpenFileLimit.h"
#include "board/Roster.h"
#include "service/SelfStatusStore.h"

using namespace quorvane;

namespace {

int signalPipe[2] = {-1, -1};

// A signal asks the window to close, as the operator would; a second one ends the program at once.
void onStopSignal(int signalNumber) {
    const char byte = static_cast<char>(signalNumber);
    [[maybe_unused]] const ssize_t written = write(signalPipe[1], &byte, 1);
    std::signal(signalNumber, SIG_DFL);
}

// SIGHUP asks for the roster to be read again, as often as it comes.
void onReloadSignal(int signalNumber) {
    const char byte = static_cast<char>(signalNumber);
    [[maybe_unused]] const ssize_t written = write(signalPipe[1], &byte, 1);
}

// The one place the options become the program's settings.
ProgramSettings settingsOf(const Options& options) {
    ProgramSettings settings;
    settings.board.calendarHost = options.calendarHost;
    settings.board.rosterFile = options.rosterFile;
    settings.board.calendarHttps = options.calendarHttps;
    settings.server = ServerSettings{options.port, options.bindAddresses, options.maxClientConnections,
                                     ClientRanges::parse(options.allow)};
    settings.pages = PageSettings{options.wallPage, options.title, options.hideTitles};
    settings.pages.wallLook = options.wallLook;
    settings.pages.selfStatus = options.selfStatus;
    settings.selfStatus = options.selfStatus;
    return settings;
}

// A roster read again on SIGHUP may bring in web-calendar people, whose calendar sets a longer
// shortest grab interval, or take the last of them away: the interval follows, and the log says so.
void applyGrabMinutes(MainWindow& window, const Options& options) {
    const int configured = options.grabMinutes;
    const int minutes = grabMinutesFor(configured, rosterFileNeedsWebCalendar(options.rosterFile));
    if (window.grabTimer().interval() == minutes * MillisecondsPerMinute) return;
    window.grabTimer().setInterval(minutes * MillisecondsPerMinute);
    if (minutes != configured)
        window.log().log(GrabRaisedText + std::to_string(minutes) + GrabRaisedTail, false);
    else
        window.log().log(GrabRestoredText + std::to_string(minutes) + GrabRestoredTail, false);
}

int fail(const std::string& message) {
    writeToStandardError(std::string(ProgramName) + ": " + message, LogSeverity::Error);
    return ExitUsage;
}

// --status-links: every roster person's link (those missing made now), or with --renew one
// person's new link, printed as NAME, a TAB and the URL.
int printStatusLinks(const Options& options) {
    std::string base = options.publicUrl;
    if (base.empty()) {
        char host[256] = {};
        if (gethostname(host, sizeof host - 1) != 0 || !*host) std::strcpy(host, "localhost");
        base = std::string("http://") + host + ":" + std::to_string(options.port);
    }
    try {
        const std::string directory = stateDirectoryPath(options.stateDir, StateEnvironment::fromProcess());
        Roster roster;
        loadRoster(roster, options.rosterFile);
        std::vector<std::string> names;
        for (const Person& person : roster)
            if (std::find(names.begin(), names.end(), person.name) == names.end()) names.push_back(person.name);
        SelfStatusStore store(directory);
        std::vector<std::pair<std::string, std::string>> links;
        if (!options.renew.empty()) {
            if (std::find(names.begin(), names.end(), options.renew) == names.end())
                return fail("no one named '" + options.renew + "' on the roster " + options.rosterFile);
            links.emplace_back(options.renew, store.renew(options.renew));
        } else {
            links = store.tokensFor(names);
        }
        for (const auto& [name, token] : links) std::printf("%s\t%s/me/%s\n", name.c_str(), base.c_str(), token.c_str());
    } catch (const std::exception& error) {
        return fail(error.what());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    mallopt(M_ARENA_MAX, MallocArenaMax);  // before any thread starts
    Options options;
    std::optional<Credentials> credentials;
    CalendarFetchSettings calendarFetch;
    std::optional<GraphSettings> m365;
    std::optional<GoogleSettings> google;
    std::shared_ptr<const AbsenceWords> absenceWords;
    try {
        options = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
        if (options.help) {
            std::fputs(usageText(options).c_str(), stdout);
            return 0;
        }
        if (options.version) {
            std::printf("%s %s\n", ProgramName, ProgramVersion);
            return 0;
        }
        // Under systemd a secret file may be named by its credential (LoadCredential=).
        resolveCredentialNames(options, credentialsDirectory());
        if (options.statusLinks) return printStatusLinks(options);
        if (!options.credentialsFile.empty()) {
            const FileCredentials read = readCredentialsFile(options.credentialsFile);
            credentials = Credentials{read.userId, read.password};
        }
        if (!options.netrcFile.empty()) calendarFetch.netrc = Netrc::load(options.netrcFile);
        // The cloud identities are read now, so a file that cannot be used stops the start.
        if (!options.m365Credentials.empty())
            m365 = GraphSettings{readM365Credentials(options.m365Credentials),
                                 QUrl(QString::fromStdString(options.m365LoginUrl)),
                                 QUrl(QString::fromStdString(options.m365GraphUrl)), {}};
        if (!options.googleServiceAccount.empty()) {
            google = GoogleSettings{readGoogleServiceAccount(options.googleServiceAccount),
                                    QUrl(QString::fromStdString(options.googleApiUrl)), {}};
            RsaSigner{google->account.privateKeyPem};  // a key that cannot sign is refused here
        }
        if (!options.absenceWordsFile.empty())
            absenceWords = AbsenceWords::builtInWith(readAbsenceWordsFile(options.absenceWordsFile));
    } catch (const CloudCredentialsError& error) {
        return fail(error.what());
    } catch (const UsageError& error) {
        return fail(error.what());
    } catch (const NetrcError& error) {
        return fail(error.what());
    }

    bool headless =
        isHeadless(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"), std::getenv(PlatformVariable));
    // A display named but not there (a stale DISPLAY in a service or ssh session): run headless.
    if (!headless && !std::getenv(PlatformVariable) && !displayOpens(argc, argv)) {
        const char* display = std::getenv("WAYLAND_DISPLAY");
        if (!display || !*display) display = std::getenv("DISPLAY");
        writeToStandardError(std::string(ProgramName) + ": cannot open the display '" + display + "'; running headless",
                             LogSeverity::Warning);
        headless = true;
    }
    if (headless && !std::getenv(PlatformVariable)) setenv(PlatformVariable, HeadlessPlatform, 1);
    // Only a roster with web-calendar people needs the calendar's user id and password.
    if (headless && !credentials && rosterFileNeedsWebCalendar(options.rosterFile))
        return fail("no screen to ask for the calendar user id and password on; give them with "
                    "--credentials-file FILE");
    // The web calendar is not logged into more often than every few minutes.
    if (options.grabMinutes < MinGrabMinutesWebCalendar && rosterFileNeedsWebCalendar(options.rosterFile))
        return fail("option --grab-minutes must be at least " + std::to_string(MinGrabMinutesWebCalendar) +
                    " while the roster has web-calendar people, not '" + std::to_string(options.grabMinutes) + "'");

    // Each connection holds a descriptor: a burst must not reach the soft limit long before the hard one.
    raiseOpenFileLimit();
    const std::string runtimeDir = prepareWebEngineProcess();
    // Under systemd the journal stamps each line itself and keeps its priority: Qt's messages and
    // the engine's get theirs, the engine's as debug.
    routeQtMessages(isJournalStream(STDERR_FILENO));
    // Until the window can reload the roster, a SIGHUP must not end the program past its clean-up.
    std::signal(SIGHUP, SIG_IGN);
    int exitCode = 0;
    {
        Application app(argc, argv, headless);
        reloadLocaleFormats();

        ProgramSettings settings = settingsOf(options);
        settings.credentials = credentials;
        if (absenceWords) settings.board.absenceWords = absenceWords;
        settings.echoLog = headless;
        settings.journal = isJournalStream(STDOUT_FILENO);
        settings.deferBrowser = headless;
        try {
            settings.stateDirectory = stateDirectoryPath(options.stateDir, StateEnvironment::fromProcess());
        } catch (const StateError& error) {
            writeToStandardError(std::string(ProgramName) + ": " + NoStateDirectoryText + error.what(), LogSeverity::Warning);
        }
        bool trusted = true;
        if (!options.calendarCa.empty()) {
            try {
                // The same certificates are trusted for every calendar address.
                calendarFetch.extraCa = loadCalendarCa(options.calendarCa);
                settings.trust = calendarTrust(options.calendarHost, calendarFetch.extraCa);
            } catch (const std::exception& error) {
                exitCode = fail(error.what());
                trusted = false;
            }
        }
        // --calendar-ca is trusted for the cloud services too.
        if (m365) m365->http.extraCa = calendarFetch.extraCa;
        if (google) google->http.extraCa = calendarFetch.extraCa;
        settings.board.calendarFetch = std::move(calendarFetch);
        settings.board.m365 = std::move(m365);
        settings.board.google = std::move(google);

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
                QObject::connect(notifier, &QSocketNotifier::activated, window.get(), [&window, &options] {
                    char byte = 0;
                    [[maybe_unused]] const ssize_t got = read(signalPipe[0], &byte, 1);
                    if (byte == SIGHUP) {
                        window->reloadRoster();
                        applyGrabMinutes(*window, options);
                        return;
                    }
                    window->close();
                });
                std::signal(SIGINT, onStopSignal);
                std::signal(SIGTERM, onStopSignal);
                std::signal(SIGHUP, onReloadSignal);
            }
            // systemd hears of readiness once every binding listens (the window's site does by
            // now), of each grab's outcome, and of the stop; the watchdog is fed from this loop.
            auto notifier = std::make_unique<ServiceNotifier>(window->log());
            window->controller().onRefreshEnded = [&window, &notifier] {
                notifier->status(grabStatusText(*window->site().board().current()->snapshot));
                // What the refresh parsed and composed is freed by now: the heap's free pages go
                // back to the system instead of staying resident until the next refresh.
                malloc_trim(0);
            };
            window->controller().refresh().onPersonFetched = [&window](const char* kind, bool fetched, double seconds) {
                window->site().metrics().personFetched(kind, fetched ? GrabOk : GrabFailed, seconds);
            };
            window->grabTimer().setInterval(options.grabMinutes * MillisecondsPerMinute);
            notifier->ready();
            try {
                window->start();
            } catch (const std::exception& error) {
                app.showException(error);
            }
            if (!window->closed()) {
                // Headless nobody sees the window: shown off-screen it would only be painted, into
                // a 3 MB image, at every log line.
                if (!headless) window->show();
                exitCode = app.exec();
            }
            notifier->stopping();
            window->controller().onRefreshEnded = nullptr;
            notifier.reset();
            window.reset();
        }
    }
    if (!runtimeDir.empty()) QDir(QString::fromStdString(runtimeDir)).removeRecursively();
    return exitCode;
}
