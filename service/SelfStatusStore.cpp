#include "service/SelfStatusStore.h"

#include <QJsonObject>
#include <QJsonValue>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include "service/ServiceConstants.h"
#include "service/ServiceErrors.h"
#include "service/StateDirectory.h"
#include "service/StateEnvelope.h"

namespace quorvane {

namespace {

QString qText(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }
std::string bytesOf(const QString& text) { return text.toUtf8().toStdString(); }

// Holds an exclusive lock on the lock file for the scope: the board and "--status-links" may
// change the token file at the same time, and each change reads it first.
class FileLock {
public:
    explicit FileLock(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        if (fd_ < 0) throw StateError("cannot open " + path + ": " + std::strerror(errno));
        while (::flock(fd_, LOCK_EX) != 0)
            if (errno != EINTR) throw StateError("cannot lock " + path + ": " + std::strerror(errno));
    }
    ~FileLock() { ::close(fd_); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int fd_;
};

std::map<std::string, std::string> tokensOf(const QJsonObject& data) {
    std::map<std::string, std::string> tokens;
    const QJsonObject links = data.value(QLatin1String(SelfLinksKey)).toObject();
    for (auto it = links.begin(); it != links.end(); ++it)
        if (it.value().isString()) tokens[bytesOf(it.key())] = bytesOf(it.value().toString());
    return tokens;
}

// A file root writes for the board ("sudo quorvane --status-links") is given to the state
// directory's owner, the service's user, who could not read it otherwise (it is the owner's only).
void giveToDirectoryOwner(const std::string& directory, const std::string& path) {
    struct stat info {};
    if (::geteuid() != 0 || ::stat(directory.c_str(), &info) != 0 || info.st_uid == 0) return;
    if (::chown(path.c_str(), info.st_uid, info.st_gid) != 0)
        throw StateError("cannot give " + path + " to the state directory's owner: " + std::strerror(errno));
}

}  // namespace

std::string newStatusToken() {
    unsigned char bytes[StatusTokenBytes];
    for (std::size_t got = 0; got < sizeof bytes;) {
        const ssize_t n = ::getrandom(bytes + got, sizeof bytes - got, 0);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw StateError(std::string("no random bytes for a status link: ") + std::strerror(errno));
        }
        got += static_cast<std::size_t>(n);
    }
    static constexpr char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    std::string token;
    unsigned buffer = 0;
    int bits = 0;
    for (const unsigned char byte : bytes) {
        buffer = (buffer << 8) | byte;
        bits += 8;
        while (bits >= 6) {
            bits -= 6;
            token.push_back(Alphabet[(buffer >> bits) & 63]);
        }
    }
    if (bits > 0) token.push_back(Alphabet[(buffer << (6 - bits)) & 63]);
    return token;
}

bool tokensEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    unsigned char difference = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}

SelfStatusStore::SelfStatusStore(std::string directory)
    : directory_(std::move(directory)), statusPath_(directory_ + "/" + std::string(SelfStatusFileName)),
      linksPath_(directory_ + "/" + std::string(SelfLinksFileName)),
      lockPath_(directory_ + "/" + std::string(SelfLinksLockName)) {}

std::vector<std::string> SelfStatusStore::load(Instant now) {
    std::vector<std::string> problems;
    std::lock_guard lock(mutex_);
    const StateLoad loaded = readStateFile(statusPath_, SelfStateVersion);
    if (loaded.problem == StateLoad::Problem::None && loaded.envelope) {
        const QJsonObject all = loaded.envelope->data.value(QLatin1String(SelfStatusesKey)).toObject();
        for (auto it = all.begin(); it != all.end(); ++it) {
            const QJsonObject entry = it.value().toObject();
            OwnStatus status{bytesOf(entry.value(QLatin1String(SelfTextKey)).toString()), std::nullopt};
            const QJsonValue until = entry.value(QLatin1String(SelfUntilKey));
            if (until.isDouble()) status.until = instantOfUnix(static_cast<std::int64_t>(until.toDouble()));
            if (!status.until || *status.until > now) statuses_[bytesOf(it.key())] = std::move(status);
        }
    } else if (loaded.problem != StateLoad::Problem::Missing) {
        problems.push_back(loaded.reason);
    }
    if (std::optional<std::string> problem = refreshTokensLocked()) problems.push_back(*problem);
    return problems;
}

std::optional<std::string> SelfStatusStore::refreshTokensLocked() {
    struct stat info {};
    FileStamp stamp;
    if (::stat(linksPath_.c_str(), &info) == 0)
        stamp = {info.st_ino, static_cast<long long>(info.st_size),
                 static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec};
    if (stamp == tokensStamp_) return std::nullopt;
    tokensStamp_ = stamp;
    const StateLoad loaded = readStateFile(linksPath_, SelfStateVersion);
    if (loaded.problem == StateLoad::Problem::None && loaded.envelope) {
        tokens_ = tokensOf(loaded.envelope->data);
        return std::nullopt;
    }
    // A link file that is gone or does not read opens no page (never an old token).
    tokens_.clear();
    if (loaded.problem == StateLoad::Problem::Missing) return std::nullopt;
    return loaded.reason;
}

std::optional<std::string> SelfStatusStore::nameOfToken(std::string_view token) {
    std::lock_guard lock(mutex_);
    refreshTokensLocked();
    // Every token is compared, whatever matched: the time taken says nothing of which was close.
    std::optional<std::string> found;
    for (const auto& [name, known] : tokens_)
        if (tokensEqual(known, token) && !found) found = name;
    return found;
}

std::optional<OwnStatus> SelfStatusStore::statusOf(const std::string& name, Instant now) const {
    std::lock_guard lock(mutex_);
    const auto it = statuses_.find(name);
    if (it == statuses_.end() || (it->second.until && *it->second.until <= now)) return std::nullopt;
    return it->second;
}

std::map<std::string, OwnStatus> SelfStatusStore::statusesAt(Instant now) const {
    std::lock_guard lock(mutex_);
    std::map<std::string, OwnStatus> running;
    for (const auto& [name, status] : statuses_)
        if (!status.until || *status.until > now) running.emplace(name, status);
    return running;
}

std::optional<Instant> SelfStatusStore::nextEnd(Instant now) const {
    std::lock_guard lock(mutex_);
    std::optional<Instant> next;
    for (const auto& [name, status] : statuses_)
        if (status.until && *status.until > now && (!next || *status.until < *next)) next = status.until;
    return next;
}

void SelfStatusStore::set(const std::string& name, std::optional<OwnStatus> status) {
    std::lock_guard lock(mutex_);
    std::map<std::string, OwnStatus> next = statuses_;
    if (status)
        next[name] = std::move(*status);
    else
        next.erase(name);
    writeStatusesLocked(next);
    statuses_.swap(next);
}

bool SelfStatusStore::admitChange(const std::string& token, Instant now, int maxPerMinute) {
    std::lock_guard lock(mutex_);
    std::deque<Instant>& recent = changes_[token];
    while (!recent.empty() && recent.front() <= now - std::chrono::minutes(1)) recent.pop_front();
    if (static_cast<int>(recent.size()) >= maxPerMinute) return false;
    recent.push_back(now);
    return true;
}

bool SelfStatusStore::keepOnly(const std::set<std::string>& names) {
    std::lock_guard lock(mutex_);
    bool dropped = false;
    std::map<std::string, OwnStatus> next = statuses_;
    std::erase_if(next, [&](const auto& entry) { return !names.count(entry.first); });
    if (next.size() != statuses_.size()) {
        writeStatusesLocked(next);
        statuses_.swap(next);
        dropped = true;
    }
    changeTokensLocked([&](std::map<std::string, std::string>& tokens) {
        return std::erase_if(tokens, [&](const auto& entry) { return !names.count(entry.first); }) > 0;
    });
    return dropped;
}

std::vector<std::pair<std::string, std::string>> SelfStatusStore::tokensFor(const std::vector<std::string>& names) {
    std::lock_guard lock(mutex_);
    changeTokensLocked([&](std::map<std::string, std::string>& tokens) {
        bool added = false;
        for (const std::string& name : names)
            if (!tokens.count(name)) tokens[name] = newStatusToken(), added = true;
        return added;
    });
    std::vector<std::pair<std::string, std::string>> links;
    for (const std::string& name : names) links.emplace_back(name, tokens_.at(name));
    return links;
}

std::string SelfStatusStore::renew(const std::string& name) {
    std::lock_guard lock(mutex_);
    changeTokensLocked([&](std::map<std::string, std::string>& tokens) {
        tokens[name] = newStatusToken();
        return true;
    });
    return tokens_.at(name);
}

template <typename Change>
void SelfStatusStore::changeTokensLocked(Change change) {
    ensureStateDirectory(directory_);
    FileLock fileLock(lockPath_);
    giveToDirectoryOwner(directory_, lockPath_);
    // Read fresh under the lock: another process may have written since the last look.
    tokensStamp_ = {};
    if (std::optional<std::string> problem = refreshTokensLocked())
        throw StateError("cannot read the status links: " + *problem);
    std::map<std::string, std::string> tokens = tokens_;
    if (!change(tokens)) return;
    writeTokensLocked(tokens);
    tokens_.swap(tokens);
}

void SelfStatusStore::writeTokensLocked(const std::map<std::string, std::string>& tokens) {
    QJsonObject links;
    for (const auto& [name, token] : tokens) links.insert(qText(name), qText(token));
    QJsonObject data;
    data.insert(QLatin1String(SelfLinksKey), links);
    writeStateFile(linksPath_, StateEnvelope{SelfStateVersion, instantOfUnix(::time(nullptr)), data});
    giveToDirectoryOwner(directory_, linksPath_);
    tokensStamp_ = {};  // read back at the next lookup: the stamp is the new file's
}

void SelfStatusStore::writeStatusesLocked(const std::map<std::string, OwnStatus>& statuses) {
    QJsonObject all;
    for (const auto& [name, status] : statuses) {
        QJsonObject entry;
        entry.insert(QLatin1String(SelfTextKey), qText(status.text));
        entry.insert(QLatin1String(SelfUntilKey),
                     status.until ? QJsonValue(static_cast<double>(unixSeconds(*status.until))) : QJsonValue());
        all.insert(qText(name), entry);
    }
    QJsonObject data;
    data.insert(QLatin1String(SelfStatusesKey), all);
    ensureStateDirectory(directory_);
    writeStateFile(statusPath_, StateEnvelope{SelfStateVersion, instantOfUnix(::time(nullptr)), data});
}

}  // namespace quorvane
