#include "text/SecretFile.h"

#include "text/FileText.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace quorvane {

namespace {

constexpr const char* CredentialsDirectoryVariable = "CREDENTIALS_DIRECTORY";

// Whether path lies in directory, by their names (systemd's copies are plain files there).
bool insideDirectory(const std::string& path, const std::string& directory) {
    if (directory.empty()) return false;
    const std::filesystem::path parent = std::filesystem::path(path).lexically_normal().parent_path();
    return parent == (std::filesystem::path(directory) / "").lexically_normal().parent_path();
}

}  // namespace

std::string credentialsDirectory() {
    const char* directory = std::getenv(CredentialsDirectoryVariable);
    return directory ? directory : "";
}

std::string secretFilePath(const std::string& value, const std::string& directory) {
    if (value.empty() || directory.empty() || value.find('/') != std::string::npos || value == "." || value == "..")
        return value;
    const std::string credential = (std::filesystem::path(directory) / value).string();
    struct stat info {};
    return stat(credential.c_str(), &info) == 0 && S_ISREG(info.st_mode) ? credential : value;
}

std::string readSecretFile(const std::string& path, std::string_view what, const std::string& directory) {
    const std::string name = std::string(what) + " '" + path + "'";
    const auto cannotRead = [&name](int error) {
        return SecretFileError("cannot read the " + name + ": " + std::strerror(error));
    };
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) throw cannotRead(errno);
    if (!S_ISREG(info.st_mode)) throw SecretFileError("the " + name + " is not a regular file");
    const mode_t refused = insideDirectory(path, directory) ? (S_IWGRP | S_IXGRP | S_IRWXO) : (S_IRWXG | S_IRWXO);
    if ((info.st_mode & refused) != 0)
        throw SecretFileError("the " + name + " must be readable by its owner only (chmod 600 it); refused");
    FileText file = readFileText(path);
    if (file.error) throw cannotRead(file.error);
    return std::move(file.text);
}

}  // namespace quorvane
