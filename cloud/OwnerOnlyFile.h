#pragma once
// Reading a file that holds a secret: refused unless it is a regular file that no group or
// other user may read, write or run.
#include <string>
#include <string_view>

// The whole file. Raises CloudCredentialsError naming the file as "the WHAT 'PATH'".
std::string readOwnerOnlyFile(const std::string& path, std::string_view what);
