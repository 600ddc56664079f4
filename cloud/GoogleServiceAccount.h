#pragma once
// The Google Workspace app identity: the service account's JSON key file as the console
// downloads it.
#include <string>

struct GoogleServiceAccount {
    std::string clientEmail;
    std::string privateKeyPem;
    std::string privateKeyId;
    std::string tokenUri;
};

// Raises CloudCredentialsError for a file that is unreadable, not owner-only, not a JSON object,
// or lacks one of the four fields (the message names it).
GoogleServiceAccount readGoogleServiceAccount(const std::string& path);
