#include "calendarfetch/Netrc.h"

#include "text/SecretFile.h"
#include "text/Text.h"

namespace quorvane {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

// Splits netrc text into tokens, skipping macro bodies.
class Tokens {
public:
    explicit Tokens(std::string_view text) : text_(text) {}

    std::optional<std::string> next() {
        for (;;) {
            while (pos_ < text_.size() && isSpace(text_[pos_])) ++pos_;
            if (pos_ >= text_.size()) return std::nullopt;
            if (text_[pos_] != '#') break;
            // A comment runs to the end of its line.
            std::size_t lineEnd = text_.find('\n', pos_);
            pos_ = lineEnd == std::string_view::npos ? text_.size() : lineEnd;
        }
        std::string token;
        if (text_[pos_] == '"') {
            ++pos_;
            while (pos_ < text_.size() && text_[pos_] != '"') {
                if (text_[pos_] == '\\' && pos_ + 1 < text_.size()) ++pos_;
                token += text_[pos_++];
            }
            if (pos_ < text_.size()) ++pos_;  // the closing quote
            return token;
        }
        while (pos_ < text_.size() && !isSpace(text_[pos_])) token += text_[pos_++];
        return token;
    }

    // A macro body runs from the line after "macdef NAME" to the first empty line.
    void skipMacroBody() {
        std::size_t lineEnd = text_.find('\n', pos_);
        if (lineEnd == std::string_view::npos) {
            pos_ = text_.size();
            return;
        }
        std::size_t end = text_.find("\n\n", lineEnd);
        std::size_t endCr = text_.find("\n\r\n", lineEnd);
        if (endCr != std::string_view::npos && (end == std::string_view::npos || endCr < end)) end = endCr;
        pos_ = end == std::string_view::npos ? text_.size() : end + 1;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

Netrc Netrc::parse(std::string_view text) {
    Netrc netrc;
    Tokens tokens(text);
    // The entry being read: a machine, the default entry, or none (tokens before any entry).
    enum class Entry { None, Machine, Default } entry = Entry::None;
    NetrcCredentials current;
    std::string host;
    auto close = [&] {
        if (entry == Entry::Machine) netrc.machines_.push_back({host, current});
        if (entry == Entry::Default && !netrc.default_) netrc.default_ = current;
        entry = Entry::None;
        current = {};
    };
    while (std::optional<std::string> token = tokens.next()) {
        if (*token == "machine") {
            close();
            host = tokens.next().value_or("");
            entry = Entry::Machine;
        } else if (*token == "default") {
            close();
            entry = Entry::Default;
        } else if (*token == "login") {
            current.login = tokens.next().value_or("");
        } else if (*token == "password") {
            current.password = tokens.next().value_or("");
        } else if (*token == "account") {
            tokens.next();  // not used by HTTP
        } else if (*token == "macdef") {
            close();
            tokens.next();  // the macro's name
            tokens.skipMacroBody();
        }
        // Any other word is ignored, as ftp and curl do.
    }
    close();
    return netrc;
}

Netrc Netrc::load(const std::string& path) {
    try {
        return parse(readSecretFile(path, "netrc file"));
    } catch (const SecretFileError& error) {
        throw NetrcError(error.what());
    }
}

std::optional<NetrcCredentials> Netrc::find(std::string_view host, Entries entries) const {
    const NetrcCredentials* found = default_ && entries == Entries::WithDefault ? &*default_ : nullptr;
    for (const Machine& machine : machines_) {
        if (sameTextAscii(machine.host, host)) {
            found = &machine.credentials;
            break;
        }
    }
    if (!found || found->login.empty() || found->password.empty()) return std::nullopt;
    return *found;
}

}  // namespace quorvane
