#include "cloud/M365Credentials.h"

#include <map>
#include <sstream>

#include "cloud/CloudConstants.h"
#include "cloud/CloudErrors.h"
#include "cloud/OwnerOnlyFile.h"

namespace {

constexpr std::string_view FileName = "Microsoft 365 credentials file";

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

M365Credentials readM365Credentials(const std::string& path) {
    std::istringstream in(readOwnerOnlyFile(path, FileName));
    const std::string name = std::string(FileName) + " '" + path + "'";
    std::map<std::string, std::string, std::less<>> values{
        {std::string(M365TenantKey), {}}, {std::string(M365ClientIdKey), {}}, {std::string(M365ClientSecretKey), {}}};
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        line = trimmed(line);
        if (line.empty() || line.front() == '#') continue;
        const auto equals = line.find('=');
        // The line itself may hold the secret, so only its number is named.
        if (equals == std::string::npos)
            throw CloudCredentialsError("line " + std::to_string(number) + " of the " + name + " is not \"key = value\"");
        const std::string key = trimmed(line.substr(0, equals));
        auto known = values.find(key);
        if (known == values.end())
            throw CloudCredentialsError("unknown key '" + key + "' on line " + std::to_string(number) + " of the " + name);
        known->second = trimmed(line.substr(equals + 1));
    }
    for (const auto& [key, value] : values)
        if (value.empty()) throw CloudCredentialsError("the " + name + " has no " + key);
    return {values.at(std::string(M365TenantKey)), values.at(std::string(M365ClientIdKey)),
            values.at(std::string(M365ClientSecretKey))};
}
