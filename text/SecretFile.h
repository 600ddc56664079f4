#pragma once
// Files that hold a secret (a password, a key): named by path, or by credential name when systemd
// hands the service its own copies (LoadCredential=, in $CREDENTIALS_DIRECTORY); read only when
// nobody else may read them.
#include <string>
#include <string_view>

#include "text/Errors.h"

namespace quorvane {

// A secret file that cannot be used; the message names the file and says why, on one line.
class SecretFileError : public QuorvaneError {
public:
    using QuorvaneError::QuorvaneError;
};

// $CREDENTIALS_DIRECTORY, or empty when it is not set.
std::string credentialsDirectory();

// What an option's value names: a value without '/' that names a file in directory is that
// credential (directory/value); anything else is a path, returned as given.
std::string secretFilePath(const std::string& value, const std::string& directory);

// The whole file, named in messages as "the WHAT 'PATH'". Refused unless it is a regular file
// that no group or other user may read, write or run; a file inside directory (systemd's copy, in
// a directory only the service may enter, root-owned 0400 or 0440 with access granted to the
// service) may be group-readable too.
std::string readSecretFile(const std::string& path, std::string_view what,
                           const std::string& directory = credentialsDirectory());

}  // namespace quorvane
