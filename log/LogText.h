#pragma once
// What every log line is made of: its time stamp, and text made inert. Text from outside (a
// request line, a header, a roster name, a page) may hold control bytes; written raw they would
// move a terminal's cursor or recolour it, or split one log line into two.
#include <string>
#include <string_view>

#include "text/Clock.h"

namespace quorvane {

// "[dd/mm/yy hh:mm:ss] " + text, the stamp at the clock's time.
std::string stampedLogLine(const Clock& clock, std::string_view text);
// Every control byte (0x00-0x1F, 0x7F) and every byte 0x80-0x9F outside a UTF-8 character as \xHH
// (upper-case hex); the C1 controls, U+2028, U+2029 and the bidirectional controls (U+202A-U+202E,
// U+2066-U+2069) written in UTF-8 as \u{HHHH}; every other byte as it is.
std::string inertLogText(std::string_view text);

}  // namespace quorvane
