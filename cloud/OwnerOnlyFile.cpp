#include "cloud/OwnerOnlyFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "cloud/CloudErrors.h"

std::string readOwnerOnlyFile(const std::string& path, std::string_view what) {
    const std::string name = std::string(what) + " '" + path + "'";
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) throw CloudCredentialsError("cannot read the " + name + ": " + std::strerror(errno));
    if (!S_ISREG(info.st_mode)) throw CloudCredentialsError("the " + name + " is not a regular file");
    if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        throw CloudCredentialsError("the " + name + " must be readable by its owner only (chmod 600 it); refused");
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    if (!in || !(text << in.rdbuf())) throw CloudCredentialsError("cannot read the " + name);
    return text.str();
}
