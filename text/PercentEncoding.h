#pragma once
// Percent-encoding of address pieces: the calendar's log-in query, the demo calendar's
// addresses, and the board's request targets.
#include <string>
#include <string_view>

// Every byte but the unreserved ones (A-Z a-z 0-9 - . _ ~) as %XX, upper-case hex.
std::string percentEncode(std::string_view text);
// %XX escapes decoded (a malformed one stays as it is); "+" stays "+".
std::string percentDecode(std::string_view text);
