#pragma once
// HTTP credentials per host from a netrc file: "machine HOST login USER password PASS" entries,
// an optional "default" entry, tokens separated by any white space (also across lines), "#"
// comments to the end of their line, and "macdef" macro bodies skipped up to their blank line.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/Errors.h"

namespace quorvane {

// A netrc file that cannot be used; the message is one line naming the file.
class NetrcError : public QuorvaneError {
public:
    using QuorvaneError::QuorvaneError;
};

struct NetrcCredentials {
    std::string login;
    std::string password;
    bool operator==(const NetrcCredentials&) const = default;
};

class Netrc {
public:
    // Reads netrc text. Tokens may be double-quoted (with backslash escapes), as curl reads them.
    static Netrc parse(std::string_view text);
    // Reads the file (text/SecretFile's rule); raises NetrcError when it is missing, not a
    // regular file, readable by anyone but its owner, or unreadable, saying why.
    static Netrc load(const std::string& path);

    // The credentials of the first entry for this host (letter case ignored), else the default
    // entry's, else nullopt. An entry without a login or a password gives nullopt too.
    // With MachineOnly, the default entry is never used: for a host the board was sent to by a
    // redirect rather than given in the roster.
    enum class Entries { WithDefault, MachineOnly };
    std::optional<NetrcCredentials> find(std::string_view host, Entries entries = Entries::WithDefault) const;
    bool empty() const { return machines_.empty() && !default_; }

private:
    struct Machine {
        std::string host;
        NetrcCredentials credentials;
    };
    std::vector<Machine> machines_;
    std::optional<NetrcCredentials> default_;
};

}  // namespace quorvane
