#pragma once
// The wall page (GET / with the wall page chosen), embedded in the program at build time.
#include <string>
#include <string_view>

// The page with the office title in place, HTML-escaped (the default title where it is empty);
// bytes of the title that are not UTF-8 show as U+FFFD.
std::string wallPageHtml(std::string_view title);
