#include "service/StateDirectory.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "service/ServiceConstants.h"
#include "service/ServiceErrors.h"

namespace {

std::string variable(std::string_view name) {
    const char* value = std::getenv(std::string(name).c_str());
    return value ? value : "";
}

std::string joined(const std::string& directory, std::string_view name) {
    std::string path = directory;
    if (path.empty() || path.back() != '/') path += '/';
    return path + std::string(name);
}

}  // namespace

StateEnvironment StateEnvironment::fromProcess() {
    return {variable(StateDirectoryVariable), variable(XdgStateHomeVariable), variable(HomeVariable)};
}

std::string stateDirectoryPath(const std::string& option, const StateEnvironment& environment) {
    if (!option.empty()) return option;
    if (!environment.stateDirectory.empty())
        return environment.stateDirectory.substr(0, environment.stateDirectory.find(':'));
    // The XDG base directory rules ignore a relative XDG_STATE_HOME.
    if (environment.xdgStateHome.starts_with('/')) return joined(environment.xdgStateHome, StateSubdirectory);
    if (!environment.home.empty())
        return joined(joined(environment.home, HomeStatePath), StateSubdirectory);
    throw StateError("no state directory: give --state-dir, or set STATE_DIRECTORY, XDG_STATE_HOME or HOME");
}

void ensureStateDirectory(const std::string& path) {
    // Each missing component in turn, from the root down.
    for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::string part = path.substr(0, end);
        if (!part.empty() && ::mkdir(part.c_str(), StateDirectoryMode) != 0 && errno != EEXIST)
            throw StateError("cannot create the state directory " + path + ": " + std::strerror(errno));
        if (end == std::string::npos) break;
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        throw StateError("cannot use the state directory " + path + ": " + std::strerror(errno));
    if (!S_ISDIR(info.st_mode)) throw StateError("the state directory " + path + " is not a directory");
}
