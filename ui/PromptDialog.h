#pragma once
// The modal prompt for one line of text (title, prompt, text box, OK and Cancel), and the
// masking of its text box while it is open.
#include <QDialog>
#include <QRect>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Where the prompt's controls go, from the font's average character width X and height Y, the
// prompt text's laid-out size and the text box's natural height.
struct PromptLayout {
    QRect prompt, edit, ok, cancel;
    int clientWidth = 0, clientHeight = 0;
};
// a * b / c rounded to the nearest whole number, halves away from zero.
int scaleDialogUnits(int a, int b, int c);
// The prompt text's widest extent before it wraps.
int promptTextMaxWidth(int averageCharWidth);
PromptLayout computePromptLayout(int averageCharWidth, int charHeight, QSize promptTextSize, int editHeight);

class PromptDialog final : public QDialog {
    Q_OBJECT
public:
    PromptDialog(const QString& title, const QString& prompt, const QString& defaultText, QWidget* parent = nullptr);

    QLabel* promptLabel() const { return label_; }
    QLineEdit* edit() const { return edit_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    // Average character width and height of the dialog's font.
    int averageCharWidth() const { return averageCharWidth_; }
    int charHeight() const { return charHeight_; }

private:
    QLabel* label_;
    QLineEdit* edit_;
    QPushButton* ok_;
    QPushButton* cancel_;
    int averageCharWidth_ = 0;
    int charHeight_ = 0;
};

// Shows the prompt modally; the text typed on OK, the default text on Cancel, Esc, the close box
// or an application shutdown.
std::string promptForText(const std::string& title, const std::string& prompt, const std::string& defaultText);

// Masks the single text box of the application's active modal dialog with '*'; does nothing
// when no dialog is open or it has no single text box. Returns whether a box was masked.
bool maskActivePromptEdit();
