#include "app/Options.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include "app/AppConstants.h"

namespace {

bool Empty(const char* value) { return !value || !*value; }

std::string StripLineEnd(std::string line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    return line;
}

}  // namespace

TOptions ParseOptions(const std::vector<std::string>& args) {
    TOptions options;
    options.CalendarHost = DefaultCalendarHost;
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
            if (i + 1 >= args.size()) throw EUsageError("option " + name + " needs a value");
            return args[++i];
        };
        if (name == OptionHelp && !hasValue) {
            options.Help = true;
        } else if (name == OptionVersion && !hasValue) {
            options.Version = true;
        } else if (name == OptionCalendarHost) {
            options.CalendarHost = takeValue();
            // The value is put between a scheme and a path: anything but host[:port] breaks both.
            if (options.CalendarHost.empty() ||
                options.CalendarHost.find_first_of(CalendarHostForbidden) != std::string::npos)
                throw EUsageError("option --calendar-host takes HOST[:PORT], not '" + options.CalendarHost + "'");
        } else if (name == OptionCalendarCa) {
            options.CalendarCa = takeValue();
        } else if (name == OptionCredentialsFile) {
            options.CredentialsFile = takeValue();
        } else {
            throw EUsageError("unknown option '" + arg + "' (see --help)");
        }
    }
    return options;
}

std::string UsageText() {
    std::ostringstream out;
    out << "Usage: " << ProgramName << " [options]\n"
        << "Shows where everyone is, from the organisation's web calendar, on http://127.0.0.1:7350/.\n"
        << "The roster is people.txt in the current directory.\n\n"
        << "Options:\n"
        << "  --calendar-host HOST[:PORT]  the calendar server (default " << DefaultCalendarHost << ")\n"
        << "  --calendar-ca FILE           PEM certificates to trust for the calendar server\n"
        << "  --credentials-file FILE      user id on the first line, password on the second;\n"
        << "                               the file must be readable by its owner only\n"
        << "  --help                       show this text\n"
        << "  --version                    show the version\n";
    return out.str();
}

TFileCredentials ReadCredentialsFile(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        throw EUsageError("cannot read the credentials file '" + path + "': " + std::strerror(errno));
    if (!S_ISREG(info.st_mode)) throw EUsageError("the credentials file '" + path + "' is not a regular file");
    if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        throw EUsageError("the credentials file '" + path +
                          "' must be readable by its owner only (chmod 600 it); refused");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw EUsageError("cannot read the credentials file '" + path + "'");
    std::string user, password;
    std::getline(in, user);
    std::getline(in, password);
    TFileCredentials credentials{StripLineEnd(user), StripLineEnd(password)};
    if (credentials.UserId.empty() || credentials.Password.empty())
        throw EUsageError("the credentials file '" + path +
                          "' must hold the user id on its first line and the password on its second");
    return credentials;
}

bool IsHeadless(const char* display, const char* waylandDisplay, const char* platform) {
    if (!Empty(platform)) {
        const std::string name = platform;
        return name.rfind(HeadlessPlatform, 0) == 0 || name.rfind(MinimalPlatform, 0) == 0;
    }
    return Empty(display) && Empty(waylandDisplay);
}
