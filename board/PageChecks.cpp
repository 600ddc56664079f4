#include "board/PageChecks.h"

#include <string>

namespace quorvane {

namespace {

std::string lowerCase(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

}  // namespace

bool holdsPasswordField(std::string_view markup)
{
    const std::string lower = lowerCase(markup);
    for (std::size_t at = lower.find("<input"); at != std::string::npos; at = lower.find("<input", at + 1)) {
        const std::size_t end = lower.find('>', at);
        std::string tag = lower.substr(at, end == std::string::npos ? std::string::npos : end - at);
        // Quotes and blanks around the value do not matter: type=password, type="password", type = 'password'.
        std::string squeezed;
        for (char c : tag) {
            if (c != '"' && c != '\'' && c != ' ' && c != '\t' && c != '\r' && c != '\n') squeezed += c;
        }
        if (squeezed.find("type=password") != std::string::npos) return true;
    }
    return false;
}

}  // namespace quorvane
