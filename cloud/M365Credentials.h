#pragma once
// The Microsoft 365 app identity: the tenant and the app's client id and secret, read from the
// --m365-credentials file ("key = value" lines; blank lines and "#" lines ignored).
#include <string>

struct M365Credentials {
    std::string tenant;
    std::string clientId;
    std::string clientSecret;
};

// Raises CloudCredentialsError for a file that is unreadable, not owner-only, holds a line that
// is not "key = value" or an unknown key, or lacks a key (the message names it).
M365Credentials readM365Credentials(const std::string& path);
