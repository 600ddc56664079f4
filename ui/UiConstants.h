#pragma once
// Sizes, positions, captions and limits of the operator window and the prompt dialog.
#include <QRect>

// Main window.
constexpr const char* WindowCaption = "Quorvane";
constexpr int WindowClientWidth = 851;
constexpr int WindowClientHeight = 971;
constexpr int WindowFontPixelHeight = 11;  // 8 points at 96 dots per inch
constexpr const char* WindowFontFamily = "MS Sans Serif";
constexpr int WindowIconSize = 16;
constexpr const char* WindowIconColour = "#000066";  // the board's name-column blue

// Design-time geometry of the controls in the 851 x 971 client area.
inline const QRect LogEditRect{431, 0, 417, 617};
inline const QRect StatusBarRect{0, 952, 851, 19};
inline const QRect BrowserViewRect{0, 0, 424, 956};
inline const QRect FragmentEditRect{431, 659, 417, 295};
inline const QRect FakeTimeEditRect{704, 627, 121, 21};
inline const QRect ForceGrabBoxRect{834, 629, 14, 17};
inline const QRect RefreshButtonRect{431, 625, 401, 25};

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
