#include "app/Options.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include "app/AppConstants.h"

namespace {

bool empty(const char* value) { return !value || !*value; }

std::string stripLineEnd(std::string line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    return line;
}

}  // namespace

Options parseOptions(const std::vector<std::string>& args) {
    Options options;
    options.calendarHost = DefaultCalendarHost;
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

std::string usageText() {
    std::ostringstream out;
    out << "Usage: " << ProgramName << " [options]\n"
        << "Shows where everyone is, from the organisation's web calendar, on http://127.0.0.1:7350/.\n"
        << "The roster is people.txt in the current directory.\n\n"
        << "Options:\n"
        << "  --calendar-host HOST[:PORT]  the calendar server (default " << DefaultCalendarHost << ")\n"
        << "  --calendar-ca FILE           PEM certificates to trust for the calendar server\n"
        << "  --credentials-file FILE      user id on the first line, password on the second;\n"
        << "                               the file must be readable by its owner only\n"
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
