#pragma once
// A person's own page at their secret link: their name, their status now and the form that sets
// or clears it (pages/status.html, compiled in), and the reading of what that form posts.
#include <optional>
#include <string>
#include <string_view>

#include "text/Instant.h"

namespace quorvane {

// What a post asks for, or why it cannot be done (error non-empty: a 400 showing it).
struct StatusForm {
    bool clear = false;
    std::string text;              // trimmed, at most SelfStatusMaxChars characters
    std::optional<Instant> until;  // none: until cleared
    std::string error;
};

// The fields text, until (YYYY-MM-DDTHH:MM local time, or empty) and clear of an
// application/x-www-form-urlencoded body, checked against now.
StatusForm readStatusForm(std::string_view body, Instant now);

// The page: name and status text as given (escaped here); error shown above the form when given.
std::string selfStatusPageHtml(std::string_view name, std::string_view statusText, std::string_view error, Instant now);

// "TEXT until dd/mm hh:nn" ("TEXT" alone when it runs until cleared), as the page and the log say it.
std::string ownStatusText(std::string_view text, const std::optional<Instant>& until);

}  // namespace quorvane
