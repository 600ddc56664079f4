#pragma once

namespace quorvane {

// Sizes, positions, captions and limits of the operator window and the prompt dialog.

// Main window.
constexpr const char* WindowCaption = "Quorvane";
constexpr int WindowClientWidth = 851;   // the window's first size
constexpr int WindowClientHeight = 971;
constexpr int WindowFontPixelHeight = 11;  // 8 points at 96 dots per inch
constexpr const char* WindowFontFamily = "MS Sans Serif";
constexpr int WindowIconSize = 16;
constexpr const char* WindowIconColour = "#000066";  // the board's name-column blue

// The client area's arrangement: the browser on the left takes what the side column leaves;
// the side column keeps its width and holds the log (taking the height), the refresh row and the
// fragment box.
constexpr int SideColumnWidth = 417;     // the log's and the fragment box's width
constexpr int ColumnGap = 7;             // browser to side column
constexpr int SideColumnRightMargin = 3;
constexpr int SideRowGap = 8;            // between the side column's rows
constexpr int RefreshButtonHeight = 25;
constexpr int FragmentBoxHeight = 295;
constexpr int FakeTimeBoxWidth = 121;
// The force-grab box shows its box only; its caption lies out of sight, as it always has.
constexpr int ForceGrabBoxWidth = 14;
constexpr int ForceGrabBoxGap = 2;       // refresh button to force-grab box

constexpr const char* RefreshButtonDesignCaption = "Refresh Data from Server Now!";
constexpr const char* ForceGrabBoxCaption = "Force Grab.        Fake Now Time:";
constexpr const char* ProgressSeparator = " / ";

// Line view over a text box: the longest line a read returns, in bytes.
constexpr int TextBoxLineReadLimit = 4096;

// Prompt dialog.
constexpr int PromptMaxLength = 255;
constexpr int PromptFontPointSize = 8;
constexpr const char* PromptOkCaption = "OK";
constexpr const char* PromptCancelCaption = "Cancel";
constexpr char PasswordMaskChar = '*';

// The operator's window onto people's own statuses (--self-status): the same presets as their pages.
constexpr const char* OwnStatusButtonCaption = "Own statuses...";
constexpr const char* OwnStatusDialogCaption = "Own statuses";
constexpr const char* OwnStatusPresets[] = {"Working from home", "Out of office", "On a site visit", "Back at "};
constexpr const char* OwnStatusUntilChoices[] = {"End of today", "At the time below", "Until cleared"};
constexpr const char* OwnStatusSetCaption = "Set";
constexpr const char* OwnStatusClearCaption = "Clear";
constexpr const char* OwnStatusPersonLabel = "Person:";
constexpr const char* OwnStatusTextLabel = "Status:";
constexpr const char* OwnStatusUntilLabel = "Until:";
constexpr int OwnStatusMaxChars = 80;

}  // namespace quorvane
