#pragma once
// Fixed texts and limits of the wall page and its data.
#include <string_view>

// The office title used when the operator gives none.
constexpr std::string_view DefaultWallTitle = "Where Is Everyone?";
// The marker in the embedded page that the served title replaces (it appears in <title> and <h1>).
constexpr std::string_view WallTitlePlaceholder = "{{TITLE}}";

// What the data says in place of meeting titles and note texts when titles are hidden.
constexpr std::string_view HiddenMeetingText = "In a meeting";
constexpr std::string_view UntilWord = " until ";
constexpr std::string_view AlsoOpenHtml = "<br><small>Also: ";
constexpr std::string_view NoteOpenHtml = "<small>Note: ";
constexpr std::string_view NoteAfterOpenHtml = "<br><small>Note: ";
constexpr std::string_view SmallCloseHtml = "</small>";

