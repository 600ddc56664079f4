#pragma once
// The wall page (GET / with the wall page chosen), embedded in the program at build time, in the
// language, clock and theme the operator chose.
#include <string>
#include <string_view>
#include <vector>

#include "pages/PagesConstants.h"

namespace quorvane {

enum class WallTheme { Dark, Light };

// How the wall page looks; the defaults are the page as it has always been.
struct WallLook {
    std::string language = std::string(DefaultWallLanguage);  // one of wallLanguages()
    bool clock12 = false;                                     // times as "2:30 PM" instead of "14:30"
    WallTheme theme = WallTheme::Dark;
};

// The page with the office title in place, HTML-escaped (the default title where it is empty);
// bytes of the title that are not UTF-8 show as U+FFFD. A language the page does not speak
// shows it in the default language.
std::string wallPageHtml(std::string_view title, const WallLook& look = {});

// The codes of the languages the wall page speaks, the default first.
std::vector<std::string_view> wallLanguages();
// The language's translation table as JSON (the data file compiled in); empty for a code the
// page does not speak.
std::string_view wallTexts(std::string_view language);

}  // namespace quorvane
