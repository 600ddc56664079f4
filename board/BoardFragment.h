#pragma once
// The board fragment: the HTML table the web server serves, one row per person, n + 4 lines
// joined by CR LF.
#include <string>

#include "board/BoardSnapshot.h"

// Builds the fragment from the board's rows (titles hidden when asked), an empty status shown as
// "&nbsp;". "%NOW" is left for the page handler.
std::string buildBoardFragment(const BoardSnapshot& board, bool hideTitles);
