#pragma once
// The board fragment: the HTML table the web server serves, one row per person, n + 4 lines
// joined by CR LF.
#include <string>

#include "board/Roster.h"
#include "text/DateTime.h"

// Builds the fragment from the roster's names and statuses, an empty status shown as "&nbsp;".
// "%NOW" is left for the page handler.
std::string buildBoardFragment(const Roster& roster, DateTime dataTime);
