#pragma once
// People's own statuses and the secret links they set them through, kept in the state directory:
// the statuses in self-status.json (written by the board alone), the links' tokens in
// status-links.json (written by the board and by "quorvane --status-links", each under a lock on
// status-links.lock). Both are written atomically; a token file replaced by another process is
// read again at the next lookup, so a renewed link stops working in the running board at once.
// A person's name is the key of both. Safe to call from any thread.
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <utility>
#include <vector>

#include "text/Instant.h"

namespace quorvane {

struct OwnStatus {
    std::string text;
    std::optional<Instant> until;  // none: until cleared
    bool operator==(const OwnStatus&) const = default;
};

// A new secret token: 128 bits from the system's random source, base64url without padding.
std::string newStatusToken();
// Whether two tokens are equal, in a time that does not depend on where they first differ.
bool tokensEqual(std::string_view a, std::string_view b);

class SelfStatusStore {
public:
    explicit SelfStatusStore(std::string directory);

    // Reads both files; statuses ended by now are dropped. The lines say what could not be read
    // (a missing file is no problem: nothing was set yet).
    std::vector<std::string> load(Instant now);

    // Whose link this token is; none for every other text. Reads the token file again when it
    // has changed on disk.
    std::optional<std::string> nameOfToken(std::string_view token);
    std::optional<OwnStatus> statusOf(const std::string& name, Instant now) const;
    // Every status still running at now, by name.
    std::map<std::string, OwnStatus> statusesAt(Instant now) const;
    // The first end after now, when the board must be shown again without it.
    std::optional<Instant> nextEnd(Instant now) const;

    // Sets (or, with none, clears) a status and writes the file before returning; throws
    // StateError when the file cannot be written, and nothing is changed then.
    void set(const std::string& name, std::optional<OwnStatus> status);
    // Whether one more change through this link is allowed at now: at most maxPerMinute in any
    // minute. Every call counts.
    bool admitChange(const std::string& token, Instant now, int maxPerMinute);

    // Only these people keep a status and a link (the roster read again); true when any went.
    bool keepOnly(const std::set<std::string>& names);
    // Every named person's link token, those missing made now (written under the lock).
    std::vector<std::pair<std::string, std::string>> tokensFor(const std::vector<std::string>& names);
    // A new token for the person; the old one stops working.
    std::string renew(const std::string& name);

    const std::string& statusPath() const { return statusPath_; }
    const std::string& linksPath() const { return linksPath_; }

private:
    struct FileStamp {
        ino_t inode = 0;
        long long size = -1, modifiedNs = -1;
        bool operator==(const FileStamp&) const = default;
    };
    // Under mutex_: the token file read again when its stamp has changed; a problem as a line.
    std::optional<std::string> refreshTokensLocked();
    void writeTokensLocked(const std::map<std::string, std::string>& tokens);
    void writeStatusesLocked(const std::map<std::string, OwnStatus>& statuses);
    // Runs change on the token map read fresh under the file lock, and writes it when it says so.
    template <typename Change>
    void changeTokensLocked(Change change);

    std::string directory_, statusPath_, linksPath_, lockPath_;
    mutable std::mutex mutex_;
    std::map<std::string, OwnStatus> statuses_;
    std::map<std::string, std::string> tokens_;  // name → token
    FileStamp tokensStamp_;
    std::map<std::string, std::deque<Instant>> changes_;  // token → its recent changes
};

}  // namespace quorvane
