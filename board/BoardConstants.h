#pragma once
// Every limit and literal of the board core: roster file, day-page markers, status rules and
// keywords, refresh log lines. What the pages show is in pages/PagesConstants.h.
#include <cstddef>
#include <string_view>
#include <utility>

#include "text/TextConstants.h"
#include "board/PersonStatus.h"

namespace quorvane {

// The roster file, relative to the current directory.
constexpr std::string_view RosterFileName = "people.txt";
// Roster line fields, 0-based.
constexpr int NameField = 0;
constexpr int ItemIdField = 1;
constexpr int LeaveTagField = 2;
// A roster line whose first non-blank character is this is a comment.
constexpr char RosterCommentMark = '#';
constexpr std::string_view RosterInvalidUtf8Text =
    "warning: the name or leave tag is not valid UTF-8 (shown as it is)";
// A roster line: name, item id (the calendar), leave tag.
constexpr int RosterFieldCount = 3;
// A line that lists no one is skipped: "FILE:LINE: line skipped: WHY".
constexpr std::string_view RosterLineSkippedText = "line skipped: ";
constexpr std::string_view RosterUnclosedQuoteText = "a quote is not closed";
constexpr std::string_view RosterFieldCountText = "expected three fields: name, calendar, leave tag; found ";
// A line that lists a person but reads oddly: "FILE:LINE: warning: WHAT; WHAT (read as ...)".
constexpr std::string_view RosterWarningText = "warning: ";
constexpr std::string_view RosterBlankSeparatedText =
    "a space separates two fields where a comma should (a name with spaces needs quotes)";
constexpr std::string_view RosterExtraFieldsHead = "more than three fields (";
constexpr std::string_view RosterExtraFieldsTail = "): the ones after the leave tag are not read";
constexpr std::string_view RosterOdditySeparator = "; ";
// The roster file could not be read at the start: the board runs with no one until a SIGHUP reads it.
constexpr std::string_view RosterNotReadText = "Roster not read, the board lists no one: ";

// Day-page markers and cuts.
constexpr std::string_view MeetingMarker = "meetingNum";
constexpr std::string_view DayEventMarker = "specialNum";
constexpr std::string_view BlockEnd = "</FONT>";
constexpr std::string_view AnchorEnd = "</A>";
constexpr std::string_view LineBreak = "<BR>";
constexpr std::string_view FontEnd = "</FONT";
constexpr std::string_view TimeRangeSeparator = " - ";
constexpr std::string_view NonBreakingSpace = "&nbsp;";
constexpr std::string_view Blank = " ";
// Longest end-time text read after the separator.
constexpr int EndTextMaxLength = 99;
// The composed meeting time: date text + time text + seconds.
constexpr std::string_view MeetingDatePattern = "dd/mm/yyyy ";
constexpr std::string_view MeetingSecondsText = ":00";

// Meeting descriptions holding one of these (lower-cased) show no " until " on the pages.
constexpr std::string_view NoSuffixKeywords[] = {"shift", "(x)", "leave", "holiday"};
// A day view's "<BR>" in a meeting as the pages show it; ",  (" then closes up to " (".
constexpr std::string_view LineBreakReplacement = ", ";
constexpr std::string_view CommaBeforeParen = ",  (";
constexpr std::string_view BlankBeforeParen = " (";

// Character references a day view's text may hold, decoded for its plain form.
inline constexpr std::pair<std::string_view, char> HtmlEntities[] = {
    {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&#39;", '\''}, {"&nbsp;", ' '}};

// Day events: a block starts "=specialNumN ..."; the first 14 characters ("=specialNum" and up to
// three digits of the number) are skipped so the search for the text start cannot match inside
// the marker, and the next 999 characters are ample for the link and the description the
// calendar writes (a longer description is cut there).
constexpr int DayEventSkipLength = 14;
constexpr int DayEventWindowLength = 999;
constexpr std::string_view DayEventTextStart = "-1>";
// Day-event descriptions are shown only when they hold one of these (lower-cased).
constexpr std::string_view AdmissionKeywords[] = {"holiday", "leave", "shift", "late", "earl"};
constexpr std::string_view LeaveKeyword = "leave";
// The kind of an admitted note: the first of these words (lower-cased) it holds.
inline constexpr std::pair<std::string_view, NoteKind> NoteKindKeywords[] = {
    {LeaveKeyword, NoteKind::Leave}, {"holiday", NoteKind::Holiday}, {"shift", NoteKind::Shift},
    {"late", NoteKind::Late},        {"earl", NoteKind::Early}};
// The absence word lists (board/AbsenceWords.txt, --absence-words): a comment line's first
// character, and the prefix of a working-from-home word (a prefix rather than a section, so each
// line of a list means the same wherever it stands).
constexpr char AbsenceCommentMark = '#';
constexpr std::string_view AbsenceWorkingPrefix = "home:";
// The note of an untitled entry that blocks a whole day on a person's own calendar.
constexpr std::string_view BusyAllDayText = "Busy";

// Parser log texts.
constexpr std::string_view MeetingsCountText = "Result: Meetings: ";
constexpr std::string_view DayEventsCountText = ", Day Events: ";
constexpr std::string_view ItemDotText = ".";

// Refresh log texts and patterns.
constexpr std::string_view StartingText = "Starting";
constexpr std::string_view LoggedInText = "Logged in";
constexpr std::string_view UpdatingInfoText = "Updating info @ ";
constexpr std::string_view UpdatingInfoPattern = "dd/mm/yy hh:mm:ss";
constexpr std::string_view GrabbingPageText = "Grabbing Page for ";
constexpr std::string_view ProcessingText = "Processing Meetings for ";
// People whose item id is a calendar address.
constexpr std::string_view GrabbingCalendarText = "Grabbing Calendar for ";
constexpr std::string_view CalendarFailureText = "Calendar of ";
// After "Calendar of NAME: ", before what the calendar reader warns of.
constexpr std::string_view CalendarWarningText = "warning: ";
// A person whose calendar data does not read: "Page not read for NAME: REASON".
constexpr std::string_view PageNotReadText = "Page not read for ";
constexpr std::string_view DoneText = "Done";
// The roster read again on SIGHUP: the new one's file and head count, or why the old one stays.
constexpr std::string_view RosterReloadedText = "Roster reloaded from ";
constexpr std::string_view RosterKeptText = "Roster not reloaded, the current one is kept: ";
constexpr std::string_view RosterEmptyReason = "it lists nobody";
constexpr std::string_view LogInFailedText = "Log-in failed: ";
// Why a fetched page was not stored (after "Page not stored: "), and what the board shows instead.
constexpr std::string_view PageNotStoredText = "Page not stored: ";
// Each source's key in the board's saved state.
constexpr char DayViewCacheKey[] = "dayViews";
constexpr char AddressCacheKey[] = "calendarAddresses";
// What a calendar address saves of its fetched texts: all of them up to this size; above it only
// what the reader keeps for the dates shown (events that cannot touch them cut out), and nothing
// when that is still above the cap, so the state file and the memory held for it stay bounded
// whatever a feed holds (a feed may be 16 MiB).
constexpr std::size_t SavedRawTextBytes = 256 * 1024;
constexpr std::size_t SavedCalendarMaxBytes = 1024 * 1024;
constexpr std::string_view TimedOutReason = "timed out";
constexpr std::string_view NoCredentialsReason =
    "no calendar user id and password (give them with --credentials-file and restart)";
constexpr std::string_view StoppedReason = "stopped";
constexpr std::string_view NoLocationReason = "no page shown";
constexpr std::string_view MarkupNotReadReason = "the page's markup could not be read";
constexpr std::string_view PageTooLargeReason = "page too large (bytes: ";
constexpr std::string_view SessionLostReason = "the calendar showed its log-in form (session lost)";
constexpr std::string_view LogInFormAgainReason = "the calendar showed its log-in form again";
constexpr std::string_view KeptPageText = "; kept page of ";
constexpr std::string_view KeptPagePattern = "dd/mm hh:nn";
constexpr std::string_view NoPageKeptText = "; no earlier page";
// A captured day page above this is not stored: the calendar's own pages are a few kilobytes, and
// the page is copied for every refresh's parse.
constexpr std::size_t MaxDayPageBytes = 8u * 1024 * 1024;
constexpr std::string_view AddressDatePattern = "yyyy/mm/dd";

// Statuses composed from iCalendar data.
// A meeting's location joins its summary as the day views show it, before the replacements.
constexpr std::string_view LocationOpen = "<BR> (";
constexpr std::string_view LocationClose = ")";
// Item ids read from Microsoft 365 and Google Workspace, and why such a person is not read when
// the program was given no identity for the service.
constexpr std::string_view M365ItemPrefix = "m365:";
constexpr std::string_view GoogleItemPrefix = "google:";
constexpr std::string_view NoM365CredentialsText = "no Microsoft 365 credentials (--m365-credentials)";
constexpr std::string_view NoGoogleAccountText = "no Google service account (--google-service-account)";
// A timed out-of-office entry is a leave note saying until when, written as the pages write a
// meeting's end (the date too when it ends on a later day).
constexpr std::string_view LeaveUntilText = " until ";
constexpr std::string_view LeaveUntilPattern = "hh:nn";
constexpr std::string_view LeaveUntilLaterDayPattern = "dd/mm hh:nn";
// Shown instead of the title (and location) of a private or confidential entry.
constexpr std::string_view PrivateText = "Private";
// The note of an out-of-office day event that has no summary.
constexpr std::string_view OutOfOfficeText = "Out of office";

}  // namespace quorvane
