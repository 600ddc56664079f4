#pragma once
// The pages' fixed texts, all of them in one place: the classic page (the head every response
// starts with, the table and footer of the fragment, the page-time token), a person's status cell
// on it, the wall page's title and the wall data's paths and answers.
#include <string_view>

namespace quorvane {

// The page head, in its six pieces (808 characters in all).
inline constexpr std::string_view BoardPageHead[6] = {
    "<html><head><title>Where are they?</title>",
    "<style type=\"text/css\"><!--body, p, input, td, th, form, select {FONT-SIZE: 30px; font-family :  "
    "Verdana, Times New Roman, serif; color : #000000; }h1 { FONT-SIZE: 35px; font-family : Verdana, Geneva, "
    "Arial, Helvetica, sans-serif; font-weight: bold; color : #000099; }h2 { FONT-SIZE: 30px; font-family : "
    "Verdana, Geneva, Arial, Helvetica, sans-serif; font-weight: bold; color : #FFFFFF; }body { background: "
    "#EEEEFF;}a:visited {color: blue}--></style>",
    "<meta http-equiv=\"Page-Exit\" content=\"progid:DXImageTransform.Microsoft.RandomDissolve(Duration=2)\">",
    "<META HTTP-EQUIV=\"EXPIRES\" CONTENT=\"0\"><META HTTP-EQUIV=\"PRAGMA\" CONTENT=\"NO-CACHE\">",
    "<META HTTP-EQUIV=\"CACHE-CONTROL\" CONTENT=\"NO-CACHE\"><meta http-equiv=\"refresh\" content=\"30\">",
    "</head><body><h1>Where Is Everyone?</h1>",
};

// Where the page handler writes the page time, and how.
constexpr std::string_view PageTimeToken = "%NOW";
constexpr std::string_view PageTimePattern = "dd/mm hh:nn";
// The token's "%" in a calendar's own text, as a character reference the browser shows as "%".
constexpr std::string_view InertPercent = "&#37;";

// The board fragment: the table, one row per person, and the footer; the page handler fills in
// the page time.
constexpr std::string_view FragmentLineBreak = "\r\n";
constexpr std::string_view TableOpenLine =
    "<table border=\"2\" bordercolor=\"#000066\" cellspacing=\"0\" width=\"95%\" cellpadding=\"2\">";
constexpr std::string_view RowOpen = "<tr><td bgcolor=\"#000066\" width=18%><h2>";
constexpr std::string_view RowMiddle = "</h2></td><td bgcolor=\"#FFFFFF\" nowrap>";
constexpr std::string_view RowClose = "</td><tr>";
constexpr std::string_view EmptyStatus = "&nbsp;";
constexpr std::string_view TableCloseLine = "</table>";
constexpr std::string_view FooterOpen = "<p><small><small>Page refreshed: %NOW, Data refreshed: ";
constexpr std::string_view FooterPattern = "dd/mm hh:nn";
constexpr std::string_view FooterClose = "</small></small><p>";
constexpr std::string_view PageCloseLine = "</body></html>";

// A person's status cell: the first meeting in progress, further ones as "Also:", then the notes.
constexpr std::string_view UntilText = " until ";
constexpr std::string_view UntilPattern = "hh:nn";
// The end of a meeting that ends on a later day than now.
constexpr std::string_view UntilLaterDayPattern = "dd/mm hh:nn";
constexpr std::string_view AlsoOpen = "<br><small>Also: ";
constexpr std::string_view NoteOpen = "<small>Note: ";
constexpr std::string_view NoteOpenAfter = "<br><small>Note: ";
constexpr std::string_view SmallClose = "</small>";
// A meeting's title when titles are hidden.
constexpr std::string_view HiddenMeetingText = "In a meeting";

// The wall page: the office title used when the operator gives none, and the marker in the
// embedded page that the served title replaces (it appears in <title> and <h1>).
constexpr std::string_view DefaultWallTitle = "Where Is Everyone?";
constexpr std::string_view WallTitlePlaceholder = "{{TITLE}}";
// The wall page's other markers: the language code (<html lang>), the theme (<html data-theme>)
// and the script's settings (the clock and the language's texts, as one JSON object).
constexpr std::string_view WallLanguagePlaceholder = "{{LANG}}";
constexpr std::string_view WallThemePlaceholder = "{{THEME}}";
constexpr std::string_view WallLookPlaceholder = "{{LOOK}}";
// The wall page's language unless the operator picks another, and its themes' names as the page's
// style sheet knows them.
constexpr std::string_view DefaultWallLanguage = "en";
constexpr std::string_view DarkThemeName = "dark";
constexpr std::string_view LightThemeName = "light";
// The wall page's paths and answers.
constexpr std::string_view WallPagePath = "/";
constexpr std::string_view WallDataPath = "/board.json";
constexpr std::string_view JsonContentType = "application/json; charset=utf-8";
constexpr std::string_view PlainContentType = "text/plain; charset=utf-8";
constexpr std::string_view NoCache = "no-cache";
constexpr std::string_view NotFoundText = "Not found";
// The classic and the wall page's type.
constexpr std::string_view BoardContentType = "text/html; charset=utf-8";

// A person's own page at /me/TOKEN (pages/status.html) and what its form posts.
constexpr std::string_view SelfPathPrefix = "/me/";
constexpr std::string_view SelfNamePlaceholder = "{{NAME}}";
constexpr std::string_view SelfNowPlaceholder = "{{NOW}}";
constexpr std::string_view SelfErrorPlaceholder = "{{ERROR}}";
constexpr std::string_view SelfTodayPlaceholder = "{{TODAY}}";
constexpr std::string_view SelfErrorOpen = "<p class=\"error\" id=\"error\">";
constexpr std::string_view SelfErrorClose = "</p>";
constexpr std::string_view SelfNoStatusText = "No status set: the board shows your calendar.";
constexpr std::string_view SelfFormText = "text";
constexpr std::string_view SelfFormUntil = "until";
constexpr std::string_view SelfFormClear = "clear";
// Enough for "Back at 3 after the dentist, call my mobile" and short enough for a board's row.
constexpr std::size_t SelfStatusMaxChars = 80;
constexpr std::string_view SelfUntilPattern = "dd/mm hh:nn";
// Why a post is refused (a 400 with the page showing it).
constexpr std::string_view SelfErrorNotText = "The status is not UTF-8 text.";
constexpr std::string_view SelfErrorControls = "The status holds control characters.";
constexpr std::string_view SelfErrorEmpty = "Say what your status is, or clear it.";
constexpr std::string_view SelfErrorTooLong = "The status is longer than 80 characters.";
constexpr std::string_view SelfErrorUntilUnreadable = "The time is not one this page reads (YYYY-MM-DDTHH:MM).";
constexpr std::string_view SelfErrorUntilPast = "That time has already passed.";
constexpr std::string_view SelfErrorTooLarge = "The form is too large.";
constexpr std::string_view SelfErrorTooMany = "Too many changes in a minute: wait a little and try again.";

}  // namespace quorvane
