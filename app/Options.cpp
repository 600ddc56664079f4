#include "app/Options.h"

#include <arpa/inet.h>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include "app/AppConstants.h"
#include "board/BoardConstants.h"
#include "webserver/ServerConstants.h"

namespace {

bool empty(const char* value) { return !value || !*value; }

std::string stripLineEnd(std::string line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    return line;
}

std::uint16_t portValue(const std::string& text) {
    unsigned long port = 0;
    const bool digits = !text.empty() && text.size() <= 5 && text.find_first_not_of("0123456789") == std::string::npos;
    if (digits) port = std::stoul(text);
    if (!digits || port < 1 || port > MaxPort)
        throw UsageError("option --port takes a port number from 1 to 65535, not '" + text + "'");
    return static_cast<std::uint16_t>(port);
}

std::string bindValue(const std::string& text) {
    unsigned char address[sizeof(in6_addr)];
    if (inet_pton(AF_INET, text.c_str(), address) != 1 && inet_pton(AF_INET6, text.c_str(), address) != 1)
        throw UsageError("option --bind takes an IPv4 or IPv6 address such as 127.0.0.1 or ::1, not '" + text + "'");
    return text;
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

}  // namespace

Options parseOptions(const std::vector<std::string>& args) {
    Options options;
    options.calendarHost = DefaultCalendarHost;
    options.port = BoardPort;
    options.rosterFile = std::string(RosterFileName);
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string name = arg, value;
        bool hasValue = false;
        if (const size_t eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            hasValue = true;
        }
        auto takeValue = [&]() {
            if (hasValue) return value;
            if (i + 1 >= args.size()) throw UsageError("option " + name + " needs a value");
            return args[++i];
        };
        if (name == OptionHelp && !hasValue) {
            options.help = true;
        } else if (name == OptionVersion && !hasValue) {
            options.version = true;
        } else if (name == OptionCalendarHost) {
            options.calendarHost = takeValue();
            // The value is put between a scheme and a path: anything but host[:port] breaks both.
            if (options.calendarHost.empty() ||
                options.calendarHost.find_first_of(CalendarHostForbidden) != std::string::npos)
                throw UsageError("option --calendar-host takes HOST[:PORT], not '" + options.calendarHost + "'");
        } else if (name == OptionCalendarCa) {
            options.calendarCa = takeValue();
        } else if (name == OptionCredentialsFile) {
            options.credentialsFile = takeValue();
        } else if (name == OptionPort) {
            options.port = portValue(takeValue());
        } else if (name == OptionBind) {
            options.bindAddresses.push_back(bindValue(takeValue()));
        } else if (name == OptionRoster) {
            options.rosterFile = takeValue();
            if (options.rosterFile.empty()) throw UsageError("option --roster needs a file name");
        } else if (name == OptionNetrcFile) {
            options.netrcFile = takeValue();
        } else if (name == OptionPage) {
            const std::string page = takeValue();
            if (page != PageClassic && page != PageWall)
                throw UsageError("option --page takes classic or wall, not '" + page + "'");
            options.wallPage = page == PageWall;
        } else if (name == OptionTitle) {
            options.title = takeValue();
        } else if (name == OptionHideTitles && !hasValue) {
            options.hideTitles = true;
        } else if (name == OptionMaxClientConnections) {
            const std::string text = takeValue();
            int count = -1;
            const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
            if (text.empty() || error != std::errc() || end != text.data() + text.size() || count < 0)
                throw UsageError("option --max-client-connections takes a count (0 = no cap), not '" + text + "'");
            options.maxClientConnections = count;
        } else if (name == OptionCalendarHttps && !hasValue) {
            options.calendarHttps = true;
        } else {
            throw UsageError("unknown option '" + arg + "' (see --help)");
        }
    }
    return options;
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
        << "Options:\n"
        << "  --port N                     serve the board on TCP port N (default " << BoardPort << ")\n"
        << "  --bind ADDRESS               listen on this IPv4 or IPv6 address only; repeat for more\n"
        << "                               (default every IPv4 and IPv6 address)\n"
        << "  --roster FILE                the roster, one \"Name\",itemid,\"Leave tag\" a line\n"
        << "                               (default " << RosterFileName << " in the working directory)\n"
        << "  --calendar-host HOST[:PORT]  the calendar server (default " << DefaultCalendarHost << ")\n"
        << "  --calendar-ca FILE           PEM certificates to trust for the calendar server and\n"
        << "                               every calendar address\n"
        << "  --credentials-file FILE      user id on the first line, password on the second;\n"
        << "                               the file must be readable by its owner only\n"
        << "  --netrc-file FILE            HTTP credentials per host (netrc format, readable by its\n"
        << "                               owner only) for people read from calendar addresses\n"
        << "  --page classic|wall          the page served: the classic table (default), or the\n"
        << "                               wall-display page at / with its data at /board.json\n"
        << "  --title TEXT                 the office's title on the wall page\n"
        << "                               (default \"Where Is Everyone?\")\n"
        << "  --hide-titles                show meetings and notes by their kind only, never their titles\n"
        << "  --calendar-https             fetch the day views over https too (default plain http)\n"
        << "  --max-client-connections N   connections open at once from one client address\n"
        << "                               (default " << DefaultMaxClientConnections << ", 0 = no cap; loopback is not capped)\n"
        << "  --help                       show this text\n"
        << "  --version                    show the version\n";
    return out.str();
}

FileCredentials readCredentialsFile(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        throw UsageError("cannot read the credentials file '" + path + "': " + std::strerror(errno));
    if (!S_ISREG(info.st_mode)) throw UsageError("the credentials file '" + path + "' is not a regular file");
    if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        throw UsageError("the credentials file '" + path +
                          "' must be readable by its owner only (chmod 600 it); refused");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw UsageError("cannot read the credentials file '" + path + "'");
    std::string user, password;
    std::getline(in, user);
    std::getline(in, password);
    FileCredentials credentials{stripLineEnd(user), stripLineEnd(password)};
    if (credentials.userId.empty() || credentials.password.empty())
        throw UsageError("the credentials file '" + path +
                          "' must hold the user id on its first line and the password on its second");
    return credentials;
}

bool isHeadless(const char* display, const char* waylandDisplay, const char* platform) {
    if (!empty(platform)) {
        const std::string name = platform;
        return name.rfind(HeadlessPlatform, 0) == 0 || name.rfind(MinimalPlatform, 0) == 0;
    }
    return empty(display) && empty(waylandDisplay);
}
