// The configuration file (--config): its keys become command-line arguments placed before the
// command line's own, so that the command line's last value wins.
#include <QCommandLineParser>
#include <QSettings>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <sys/stat.h>

#include "app/AppConstants.h"
#include "app/Options.h"
#include "app/OptionsTable.h"

namespace quorvane {

namespace {

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

template <std::size_t N>
bool among(const char* const (&names)[N], const std::string& name) {
    return std::find_if(std::begin(names), std::end(names), [&name](const char* n) { return name == n; }) !=
           std::end(names);
}

// A key as the file writes it and where: QSettings gives the values but not their lines.
struct KeyLine {
    std::string key;  // as QSettings names it: "section/key" outside the general section
    int line = 0;
};

// Every key line of the file in order; raises for a line that is neither blank, a comment, a
// section nor "key = value", and for a key given twice (QSettings would keep one silently).
std::vector<KeyLine> scanKeyLines(const std::string& file, const std::string& where) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw UsageError("cannot read the configuration file '" + file + "': " + std::strerror(errno));
    std::vector<KeyLine> keys;
    std::map<std::string, int> seen;
    std::string section, text;
    for (int number = 1; std::getline(in, text); ++number) {
        const std::string line = trimmed(text);
        const std::string at = where + std::to_string(number) + ": ";
        if (line.empty() || line.front() == '#' || line.front() == ';') continue;
        if (line.front() == '[' && line.back() == ']') {
            section = trimmed(line.substr(1, line.size() - 2));
            if (section == ConfigGeneralSection) section.clear();
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string::npos) throw UsageError(at + "not a \"key = value\" line");
        const std::string key = (section.empty() ? "" : section + "/") + trimmed(line.substr(0, equals));
        if (const auto first = seen.find(key); first != seen.end())
            throw UsageError(at + "key '" + key + "' given again (first on line " + std::to_string(first->second) +
                             "); give a list on one line, comma separated");
        seen.emplace(key, number);
        keys.push_back({key, number});
    }
    if (in.bad()) throw UsageError("cannot read the configuration file '" + file + "': " + std::strerror(errno));
    return keys;
}

// The arguments one key stands for; raises for a value the option refuses.
std::vector<std::string> keyArguments(const QCommandLineOption& option, const QVariant& value,
                                      const std::string& at) {
    const std::string key = option.names().constFirst().toStdString();
    const QStringList items = value.toStringList();
    std::vector<std::string> arguments;
    if (option.valueName().isEmpty()) {
        const std::string flag = items.join(QLatin1String(", ")).trimmed().toLower().toStdString();
        if (!among(ConfigTrue, flag) && !among(ConfigFalse, flag))
            throw UsageError(at + "key '" + key + "' takes true or false, not '" + flag + "'");
        if (among(ConfigTrue, flag)) arguments.push_back("--" + key);
        return arguments;
    }
    if (among(ConfigListKeys, key)) {
        for (const QString& item : items) arguments.push_back("--" + key + "=" + item.toStdString());
        if (items.isEmpty()) arguments.push_back("--" + key + "=");
    } else {
        // An unquoted comma makes a list of the value: it is put back together.
        arguments.push_back("--" + key + "=" + items.join(QLatin1String(", ")).toStdString());
    }
    try {
        readCommandLine(arguments);
    } catch (const UsageError& error) {
        throw UsageError(at + "key '" + key + "': " + error.what());
    }
    return arguments;
}

}  // namespace

std::vector<std::string> readConfigArguments(const std::string& file, const std::vector<std::string>& args) {
    struct stat info {};
    if (stat(file.c_str(), &info) != 0)
        throw UsageError("cannot read the configuration file '" + file + "': " + std::strerror(errno));
    if (!S_ISREG(info.st_mode)) throw UsageError("the configuration file '" + file + "' is not a regular file");
    const std::string where = file + ":";
    const std::vector<KeyLine> keys = scanKeyLines(file, where);

    const QList<QCommandLineOption> table = optionTable();
    QCommandLineParser commandLine;
    commandLine.addOptions(table);
    QStringList arguments{QLatin1String(ProgramName)};
    for (const std::string& arg : args) arguments << QString::fromStdString(arg);
    commandLine.parse(arguments);  // already read without complaint

    const QSettings settings(QString::fromStdString(file), QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        throw UsageError("the configuration file '" + file + "' does not read as an INI file");
    std::vector<std::string> result;
    for (const KeyLine& entry : keys) {
        const std::string at = where + std::to_string(entry.line) + ": ";
        const auto option = std::find_if(table.begin(), table.end(), [&entry](const QCommandLineOption& o) {
            return o.names().constFirst().toStdString() == entry.key;
        });
        if (option == table.end() || among(ConfigOnlyOnCommandLine, entry.key))
            throw UsageError(at + "unknown key '" + entry.key + "' (see --help)");
        const std::vector<std::string> given =
            keyArguments(*option, settings.value(QString::fromStdString(entry.key)), at);
        // A list on the command line replaces the file's; any other value comes later and wins.
        if (among(ConfigListKeys, entry.key) && commandLine.isSet(QString::fromStdString(entry.key))) continue;
        result.insert(result.end(), given.begin(), given.end());
    }
    return result;
}

}  // namespace quorvane
