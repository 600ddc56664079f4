#pragma once
// Sizes, positions, captions and limits of the operator window and the prompt dialog.
#include <QRect>

// Main window.
constexpr const char* FormCaption = "Quorvane";
constexpr int FormClientWidth = 851;
constexpr int FormClientHeight = 971;
constexpr int FormFontPixelHeight = 11;  // 8 points at 96 dots per inch
constexpr const char* FormFontFamily = "MS Sans Serif";
constexpr int FormIconSize = 16;
constexpr const char* FormIconColour = "#000066";  // the board's name-column blue

// Design-time geometry of the controls in the 851 x 971 client area.
inline const QRect MemoLogRect{431, 0, 417, 617};
inline const QRect StatusBarRect{0, 952, 851, 19};
inline const QRect WebBrowserRect{0, 0, 424, 956};
inline const QRect MemoHtmlRect{431, 659, 417, 295};
inline const QRect TxtDateTimeRect{704, 627, 121, 21};
inline const QRect CbForceGrabRect{834, 629, 14, 17};
inline const QRect Button1Rect{431, 625, 401, 25};

constexpr const char* Button1DesignCaption = "Refresh Data from Server Now!";
constexpr const char* CbForceGrabCaption = "Force Grab.        Fake Now Time:";
constexpr const char* ProgressSeparator = " / ";

// Line view over a text box: the longest line a read returns, in bytes.
constexpr int MemoLineReadLimit = 4096;

// Prompt dialog, in dialog units (X: average character width / 4, Y: character height / 8).
constexpr int PromptClientWidthDu = 180;
constexpr int PromptMarginDu = 8;
constexpr int PromptTextWidthDu = 164;
constexpr int PromptButtonWidthDu = 50;
constexpr int PromptButtonHeightDu = 14;
constexpr int PromptOkLeftDu = 38;
constexpr int PromptCancelLeftDu = 92;
constexpr int PromptEditGapPx = 5;      // prompt text bottom to text box top
constexpr int PromptButtonGapPx = 15;   // text box bottom to buttons top
constexpr int PromptBottomGapPx = 13;   // buttons bottom to client bottom
constexpr int PromptMaxLength = 255;
constexpr int PromptFontPointSize = 8;
constexpr const char* PromptOkCaption = "OK";
constexpr const char* PromptCancelCaption = "Cancel";
constexpr const char* PromptMeasureText = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int PromptMeasureLetters = 52;
constexpr char PasswordMaskChar = '*';
