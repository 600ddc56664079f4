#pragma once
// The board page, all of it in one place: the head every response starts with, the fragment's
// table and footer the refresh writes, and the page-time token the page handler fills in.
#include <string_view>

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
