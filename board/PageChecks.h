#pragma once
// What a captured calendar page is, beyond its markup: the calendar answers a request it will not
// serve (no session, refused log-in) with its log-in form, which is the one page holding a
// password input field.
#include <string_view>

namespace quorvane {

// Whether the markup holds an INPUT element whose type is "password" (any case, quoted or not).
bool holdsPasswordField(std::string_view markup);

}  // namespace quorvane
