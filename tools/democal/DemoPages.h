#pragma once
#include "text/HtmlEscape.h"
// The small pages of the demo calendar other than the day view, and HTML escaping.
#include <string>
#include <string_view>

namespace quorvane {

// A complete old-style page with a title and a body paragraph (both escaped).
std::string messagePage(std::string_view title, std::string_view message);
// The calendar's log-in form (a password input field among others), with a title and a message.
std::string logInFormPage(std::string_view title, std::string_view message);
// The page that sends the browser on to `url` by a meta refresh; url is escaped as an attribute.
std::string redirectPage(std::string_view url);

}  // namespace quorvane
