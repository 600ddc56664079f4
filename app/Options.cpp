#include "app/Options.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QUrl>
#include <QStringList>
#include <algorithm>
#include <arpa/inet.h>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <sstream>
#include <cerrno>
#include <cstring>
#include <tuple>

#include "app/AppConstants.h"
#include "app/OptionsTable.h"
#include "board/BoardConstants.h"
#include "service/ClientRanges.h"
#include "service/ServiceErrors.h"
#include "text/FileText.h"
#include "text/SecretFile.h"
#include "text/Utf8.h"
#include "cloud/CloudConstants.h"
#include "webserver/ServerConstants.h"

namespace quorvane {

namespace {

bool empty(const char* value) { return !value || !*value; }

std::string stripLineEnd(std::string line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    return line;
}

QCommandLineOption option(const char* name, const std::string& help, const char* valueName = "") {
    return QCommandLineOption(QLatin1String(name), QString::fromStdString(help), QLatin1String(valueName));
}

// The wall page's language codes as "en, de, ..." for the help and its complaint.
std::string languageList() {
    std::string list;
    for (std::string_view code : wallLanguages()) list += (list.empty() ? "" : ", ") + std::string(code);
    return list;
}

}  // namespace

QList<QCommandLineOption> optionTable() {
    const std::string roster(RosterFileName);
    return {
        option(OptionPort, "serve the board on TCP port N (default " + std::to_string(BoardPort) + ")", "N"),
        option(OptionBind, "listen on this IPv4 or IPv6 address only; repeat for more\n"
                           "(default every IPv4 and IPv6 address)", "ADDRESS"),
        option(OptionAllow, "serve only clients in this IPv4 or IPv6 address range,\n"
                            "such as 10.0.0.0/8 or 2001:db8::/32; repeat for more;\n"
                            "others get 403 Forbidden (default everyone)", "CIDR"),
        option(OptionRoster, "the roster, one \"Name\",itemid,\"Leave tag\" a line\n"
                             "(default " + roster + " in the working directory)", "FILE"),
        option(OptionCalendarHost, "the calendar server (default " + std::string(DefaultCalendarHost) + ")",
               "HOST[:PORT]"),
        option(OptionCalendarCa, "PEM certificates to trust for the calendar server and\n"
                                 "every calendar address and service", "FILE"),
        option(OptionCredentialsFile, "user id on the first line, password on the second;\n"
                                      "the file must be readable by its owner only", "FILE"),
        option(OptionNetrcFile, "HTTP credentials per host (netrc format, readable by its\n"
                                "owner only) for people read from calendar addresses", "FILE"),
        option(OptionStateDir, "where the board keeps its last data between runs (default\n"
                               "$STATE_DIRECTORY, $XDG_STATE_HOME/quorvane or ~/.local/state/quorvane)",
               "DIR"),
        option(OptionM365Credentials, "the Microsoft 365 app identity (tenant, client_id,\n"
                                      "client_secret; readable by its owner only) for m365:\n"
                                      "people", "FILE"),
        option(OptionM365LoginUrl, "the Microsoft identity service\n(default " + std::string(DefaultM365LoginUrl) + ")",
               "URL"),
        option(OptionM365GraphUrl, "the Microsoft Graph service\n(default " + std::string(DefaultM365GraphUrl) + ")",
               "URL"),
        option(OptionGoogleServiceAccount, "the Google service account's JSON key file (readable\n"
                                           "by its owner only) for google: people", "FILE"),
        option(OptionGoogleApiUrl, "the Google Calendar API service\n(default " + std::string(DefaultGoogleApiUrl) + ")",
               "URL"),
        option(OptionPage, "the page served: the classic table (default), or the\n"
                           "wall-display page at / with its data at /board.json", "classic|wall"),
        option(OptionTitle, "the office's title on the wall page\n(default \"Where Is Everyone?\")", "TEXT"),
        option(OptionHideTitles, "show meetings and notes by their kind only, never their titles"),
        option(OptionCalendarHttps, "fetch the day views over https too (default plain http)"),
        option(OptionMaxClientConnections, "connections open at once from one client address\n(default " +
                                               std::to_string(DefaultMaxClientConnections) +
                                               ", 0 = no cap; loopback is not capped)", "N"),
        option(OptionAbsenceWords, "more words that mark a person's own all-day entry as\n"
                                   "leave, one a line (\"home:\" before working-from-home\n"
                                   "words; # starts a comment), added to the built-in ones", "FILE"),
        option(OptionHelp, "show this text"),
        option(OptionVersion, "show the version"),
        option(OptionGrabMinutes, "read every calendar again every N minutes (default " +
                                      std::to_string(DefaultGrabMinutes) + ";\nat least " +
                                      std::to_string(MinGrabMinutesWebCalendar) +
                                      " while the roster has web-calendar people)", "N"),
        option(OptionConfig, "read options from this INI file first, one key per long\n"
                             "option (port = 8080); the command line wins", "FILE"),
        option(OptionLanguage, "the wall page's language (default " + std::string(DefaultWallLanguage) + "):\n" +
                                   languageList() + "\n(calendar texts are shown as they are)", "CODE"),
        option(OptionClock, "the wall page's times in 24 hours (default) or 12 hours", "24|12"),
        option(OptionTheme, "the wall page's colours: light text on dark (default) or\n"
                            "dark text on light", "dark|light"),
        option(OptionSelfStatus, "let people set their own status through a secret link\n"
                                 "each (/me/TOKEN); the statuses show beside the calendar's"),
        option(OptionStatusLinks, "print each roster person's link (NAME, a TAB, the URL)\n"
                                  "and exit; links are made when first needed"),
        option(OptionRenew, "with --status-links: give this person a new link; the\n"
                            "old one stops working at once", "NAME"),
        option(OptionPublicUrl, "the board's address in the links (default http://, this\n"
                                "machine's name and the port)", "URL"),
    };
}

namespace {

// The parser's complaint as one line in the program's own style.
std::string parserError(const QCommandLineParser& parser) {
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        const std::string name = unknown.constFirst().toStdString();
        return "unknown option '" + std::string(name.size() == 1 ? "-" : "--") + name + "' (see --help)";
    }
    std::string text = parser.errorText().toStdString();  // "Missing value after '--roster'."
    if (!text.empty() && text.back() == '.') text.pop_back();
    if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

// Every value the option was given, each checked; the last one counts.
template <typename Value, typename Check>
Value lastValue(const QCommandLineParser& parser, const char* name, Value value, Check check) {
    for (const QString& text : parser.values(QLatin1String(name))) value = check(text.toStdString());
    return value;
}

// The option's last value; empty when it is not given.
std::string lastText(const QCommandLineParser& parser, const char* name) {
    return parser.value(QLatin1String(name)).toStdString();
}

std::uint16_t portValue(const std::string& text) {
    unsigned long port = 0;
    const bool digits = !text.empty() && text.size() <= 5 && text.find_first_not_of("0123456789") == std::string::npos;
    if (digits) port = std::stoul(text);
    if (!digits || port < 1 || port > MaxPort)
        throw UsageError("option --port takes a port number from 1 to 65535, not '" + text + "'");
    return static_cast<std::uint16_t>(port);
}

std::string allowValue(const std::string& text) {
    try {
        parseAddressRange(text);
    } catch (const AddressRangeError& error) {
        throw UsageError(error.what());
    }
    return text;
}

std::string bindValue(const std::string& text) {
    unsigned char address[sizeof(in6_addr)];
    if (inet_pton(AF_INET, text.c_str(), address) != 1 && inet_pton(AF_INET6, text.c_str(), address) != 1)
        throw UsageError("option --bind takes an IPv4 or IPv6 address such as 127.0.0.1 or ::1, not '" + text + "'");
    return text;
}

std::string calendarHostValue(const std::string& text) {
    // The value is put between a scheme and a path: anything but host[:port] breaks both.
    if (text.empty() || text.find_first_of(CalendarHostForbidden) != std::string::npos)
        throw UsageError("option --calendar-host takes HOST[:PORT], not '" + text + "'");
    return text;
}

std::string rosterValue(const std::string& text) {
    if (text.empty()) throw UsageError("option --roster needs a file name");
    return text;
}

bool wallPageValue(const std::string& text) {
    if (text != PageClassic && text != PageWall)
        throw UsageError("option --page takes classic or wall, not '" + text + "'");
    return text == PageWall;
}

std::string languageValue(const std::string& text) {
    if (wallTexts(text).empty())
        throw UsageError("option --language takes one of " + languageList() + ", not '" + text + "'");
    return text;
}

bool clock12Value(const std::string& text) {
    if (text != "24" && text != "12") throw UsageError("option --clock takes 24 or 12, not '" + text + "'");
    return text == "12";
}

WallTheme themeValue(const std::string& text) {
    if (text != DarkThemeName && text != LightThemeName)
        throw UsageError("option --theme takes dark or light, not '" + text + "'");
    return text == LightThemeName ? WallTheme::Light : WallTheme::Dark;
}

// A service address: http or https with a host (plain http is used only towards loopback).
std::string serviceUrlValue(const char* name, const std::string& text) {
    const QUrl url(QString::fromStdString(text), QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != QLatin1String("https") && url.scheme() != QLatin1String("http")) ||
        url.host().isEmpty() || url.hasQuery() || url.hasFragment())
        throw UsageError("option --" + std::string(name) + " takes an https:// address, not '" + text + "'");
    return text;
}

int grabMinutesValue(const std::string& text) {
    int minutes = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), minutes);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || minutes < MinGrabMinutes ||
        minutes > MaxGrabMinutes)
        throw UsageError("option --grab-minutes takes a number of minutes from " + std::to_string(MinGrabMinutes) +
                         " to " + std::to_string(MaxGrabMinutes) + ", not '" + text + "'");
    return minutes;
}

std::string configValue(const std::string& text) {
    if (text.empty()) throw UsageError("option --config needs a file name");
    return text;
}

// The board's address as people's phones reach it: http or https, a host, no query; its
// trailing "/" dropped, so that "/me/..." follows it once.
std::string publicUrlValue(std::string text) {
    const QUrl url(QString::fromStdString(text), QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != QLatin1String("https") && url.scheme() != QLatin1String("http")) ||
        url.host().isEmpty() || url.hasQuery() || url.hasFragment())
        throw UsageError("option --public-url takes an http:// or https:// address, not '" + text + "'");
    while (!text.empty() && text.back() == '/') text.pop_back();
    return text;
}

int connectionCapValue(const std::string& text) {
    int count = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || count < 0)
        throw UsageError("option --max-client-connections takes a count (0 = no cap), not '" + text + "'");
    return count;
}

// The address a browser on this machine reaches the board at, as the help shows it.
std::string listenText(const Options& options) {
    const std::string port = std::to_string(options.port);
    if (options.bindAddresses.empty())
        return "port " + port + " of every IPv4 and IPv6 address\n(http://127.0.0.1:" + port + "/ on this machine)";
    std::string text;
    for (const std::string& address : options.bindAddresses) {
        if (!text.empty()) text += ", ";
        text += "http://" + (address.find(':') != std::string::npos ? "[" + address + "]" : address) + ":" + port + "/";
    }
    return text;
}

// "  --name VALUE" padded to the description column, then the description, one line per line.
std::string optionLines(const QCommandLineOption& option) {
    std::string head = "  --" + option.names().constFirst().toStdString();
    if (!option.valueName().isEmpty()) head += " " + option.valueName().toStdString();
    const std::string indent(HelpDescriptionColumn, ' ');
    head += indent.substr(std::min(head.size(), HelpDescriptionColumn - 1));
    std::string text;
    for (const QString& line : option.description().split(QLatin1Char('\n')))
        text += (text.empty() ? head : indent) + line.toStdString() + "\n";
    return text;
}

}  // namespace

Options readCommandLine(const std::vector<std::string>& args) {
    QCommandLineParser parser;
    parser.addOptions(optionTable());
    QStringList arguments{QLatin1String(ProgramName)};
    for (const std::string& arg : args) arguments << QString::fromStdString(arg);
    if (!parser.parse(arguments)) throw UsageError(parserError(parser));
    if (!parser.positionalArguments().isEmpty())
        throw UsageError("unknown option '" + parser.positionalArguments().constFirst().toStdString() + "' (see --help)");
    if (std::find(args.begin(), args.end(), EndOfOptions) != args.end())
        throw UsageError(std::string("unknown option '") + EndOfOptions + "' (see --help)");

    Options options;
    options.help = parser.isSet(QLatin1String(OptionHelp));
    options.version = parser.isSet(QLatin1String(OptionVersion));
    options.hideTitles = parser.isSet(QLatin1String(OptionHideTitles));
    options.calendarHttps = parser.isSet(QLatin1String(OptionCalendarHttps));
    options.port = lastValue<std::uint16_t>(parser, OptionPort, BoardPort, portValue);
    options.calendarHost =
        lastValue<std::string>(parser, OptionCalendarHost, DefaultCalendarHost, calendarHostValue);
    options.rosterFile = lastValue<std::string>(parser, OptionRoster, std::string(RosterFileName), rosterValue);
    options.calendarCa = lastText(parser, OptionCalendarCa);
    options.credentialsFile = lastText(parser, OptionCredentialsFile);
    options.netrcFile = lastText(parser, OptionNetrcFile);
    options.stateDir = lastText(parser, OptionStateDir);
    options.title = lastText(parser, OptionTitle);
    options.m365Credentials = lastText(parser, OptionM365Credentials);
    options.googleServiceAccount = lastText(parser, OptionGoogleServiceAccount);
    for (const auto& [name, value, fallback] :
         {std::tuple{OptionM365LoginUrl, &options.m365LoginUrl, DefaultM365LoginUrl},
          std::tuple{OptionM365GraphUrl, &options.m365GraphUrl, DefaultM365GraphUrl},
          std::tuple{OptionGoogleApiUrl, &options.googleApiUrl, DefaultGoogleApiUrl}})
        *value = lastValue<std::string>(parser, name, std::string(fallback),
                                        [name = name](const std::string& text) { return serviceUrlValue(name, text); });
    options.wallPage = lastValue<bool>(parser, OptionPage, false, wallPageValue);
    options.maxClientConnections =
        lastValue<int>(parser, OptionMaxClientConnections, DefaultMaxClientConnections, connectionCapValue);
    options.selfStatus = parser.isSet(QLatin1String(OptionSelfStatus));
    options.statusLinks = parser.isSet(QLatin1String(OptionStatusLinks));
    options.renew = lastText(parser, OptionRenew);
    if (parser.isSet(QLatin1String(OptionRenew)) && (!options.statusLinks || options.renew.empty()))
        throw UsageError("option --renew takes a roster name and goes with --status-links");
    if (parser.isSet(QLatin1String(OptionPublicUrl)))
        options.publicUrl = publicUrlValue(lastText(parser, OptionPublicUrl));
    for (const QString& address : parser.values(QLatin1String(OptionBind)))
        options.bindAddresses.push_back(bindValue(address.toStdString()));
    for (const QString& range : parser.values(QLatin1String(OptionAllow)))
        options.allow.push_back(allowValue(range.toStdString()));
    options.grabMinutes = lastValue<int>(parser, OptionGrabMinutes, DefaultGrabMinutes, grabMinutesValue);
    options.configFile = lastValue<std::string>(parser, OptionConfig, std::string(), configValue);
    options.absenceWordsFile = lastText(parser, OptionAbsenceWords);
    options.wallLook.language =
        lastValue<std::string>(parser, OptionLanguage, std::string(DefaultWallLanguage), languageValue);
    options.wallLook.clock12 = lastValue<bool>(parser, OptionClock, false, clock12Value);
    options.wallLook.theme = lastValue<WallTheme>(parser, OptionTheme, WallTheme::Dark, themeValue);
    return options;
}

Options parseOptions(const std::vector<std::string>& args) {
    const Options commandLine = readCommandLine(args);
    if (commandLine.configFile.empty()) return commandLine;
    std::vector<std::string> merged = readConfigArguments(commandLine.configFile, args);
    merged.insert(merged.end(), args.begin(), args.end());
    return readCommandLine(merged);
}

int grabMinutesFor(int configured, bool webCalendar) {
    return webCalendar ? std::max(configured, MinGrabMinutesWebCalendar) : configured;
}

std::string usageText(const Options& options) {
    std::error_code ignored;
    const std::string roster = std::filesystem::absolute(options.rosterFile, ignored).string();
    std::ostringstream out;
    out << "Usage: " << ProgramName << " [options]\n"
        << "Shows where everyone is, from the organisation's web calendar.\n"
        << "Serves the board on " << listenText(options) << ".\n"
        << "The roster is " << roster << "; SIGHUP reads it again.\n"
        << "Without a screen (or when the named one cannot be opened) it runs headless and logs to\n"
        << "standard output.\n\n"
        << "Options:\n";
    for (const QCommandLineOption& option : optionTable()) out << optionLines(option);
    return out.str();
}

FileCredentials readCredentialsFile(const std::string& path) {
    std::istringstream in;
    try {
        in.str(readSecretFile(path, "credentials file"));
    } catch (const SecretFileError& error) {
        throw UsageError(error.what());
    }
    std::string user, password;
    std::getline(in, user);
    std::getline(in, password);
    FileCredentials credentials{stripLineEnd(user), stripLineEnd(password)};
    if (credentials.userId.empty() || credentials.password.empty())
        throw UsageError("the credentials file '" + path +
                          "' must hold the user id on its first line and the password on its second");
    return credentials;
}

void resolveCredentialNames(Options& options, const std::string& directory) {
    for (std::string* value : {&options.credentialsFile, &options.netrcFile, &options.m365Credentials,
                               &options.googleServiceAccount})
        *value = secretFilePath(*value, directory);
}

std::string readAbsenceWordsFile(const std::string& path) {
    const std::string name = "the absence words file '" + path + "'";
    FileText file = readFileText(path, static_cast<std::size_t>(MaxAbsenceWordsBytes));
    if (file.error) throw UsageError("cannot read " + name + ": " + std::strerror(file.error));
    if (file.tooLarge)
        throw UsageError(name + " is larger than " + std::to_string(MaxAbsenceWordsBytes) + " bytes");
    if (!isValidUtf8(file.text)) throw UsageError(name + " is not UTF-8 text");
    return std::move(file.text);
}

bool isHeadless(const char* display, const char* waylandDisplay, const char* platform) {
    if (!empty(platform)) {
        const std::string name = platform;
        return name.rfind(HeadlessPlatform, 0) == 0 || name.rfind(MinimalPlatform, 0) == 0;
    }
    return empty(display) && empty(waylandDisplay);
}

}  // namespace quorvane
