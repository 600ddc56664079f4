#pragma once
// Reading a file that holds a secret, by text/SecretFile's rule: refused unless it is a regular
// file that no group or other user may read, write or run (systemd's copies in
// $CREDENTIALS_DIRECTORY may be group-readable).
#include <string>
#include <string_view>

namespace quorvane {

// The whole file. Raises CloudCredentialsError naming the file as "the WHAT 'PATH'".
std::string readOwnerOnlyFile(const std::string& path, std::string_view what);

}  // namespace quorvane
