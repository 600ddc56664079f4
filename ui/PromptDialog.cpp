#include "ui/PromptDialog.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <cmath>

#include "ui/UiConstants.h"

int scaleDialogUnits(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    return static_cast<int>(std::llround(static_cast<double>(product) / c));
}

int promptTextMaxWidth(int averageCharWidth) { return scaleDialogUnits(PromptTextWidthDu, averageCharWidth, 4); }

PromptLayout computePromptLayout(int x, int y, QSize promptTextSize, int editHeight) {
    PromptLayout layout;
    layout.clientWidth = scaleDialogUnits(PromptClientWidthDu, x, 4);
    const int left = scaleDialogUnits(PromptMarginDu, x, 4);
    const int maxWidth = promptTextMaxWidth(x);
    layout.prompt = QRect(left, scaleDialogUnits(PromptMarginDu, y, 8), std::min(promptTextSize.width(), maxWidth),
                          promptTextSize.height());
    layout.edit = QRect(left, layout.prompt.y() + layout.prompt.height() + PromptEditGapPx, maxWidth, editHeight);
    const int buttonTop = layout.edit.y() + layout.edit.height() + PromptButtonGapPx;
    const int buttonWidth = scaleDialogUnits(PromptButtonWidthDu, x, 4);
    const int buttonHeight = scaleDialogUnits(PromptButtonHeightDu, y, 8);
    layout.ok = QRect(scaleDialogUnits(PromptOkLeftDu, x, 4), buttonTop, buttonWidth, buttonHeight);
    layout.cancel = QRect(scaleDialogUnits(PromptCancelLeftDu, x, 4), buttonTop, buttonWidth, buttonHeight);
    layout.clientHeight = buttonTop + buttonHeight + PromptBottomGapPx;
    return layout;
}

PromptDialog::PromptDialog(const QString& title, const QString& prompt, const QString& defaultText, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setWindowTitle(title);
    QFont dialogFont = QApplication::font();
    dialogFont.setPointSize(PromptFontPointSize);
    setFont(dialogFont);

    const QFontMetrics metrics(dialogFont);
    averageCharWidth_ = metrics.horizontalAdvance(QLatin1String(PromptMeasureText)) / PromptMeasureLetters;
    charHeight_ = metrics.height();

    label_ = new QLabel(prompt, this);
    label_->setWordWrap(true);
    label_->setTextFormat(Qt::PlainText);
    edit_ = new QLineEdit(this);
    edit_->setMaxLength(PromptMaxLength);
    // The mask character, when the box is switched to password display.
    edit_->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: %1; }").arg(int(PasswordMaskChar)));
    ok_ = new QPushButton(QLatin1String(PromptOkCaption), this);
    cancel_ = new QPushButton(QLatin1String(PromptCancelCaption), this);
    ok_->setDefault(true);
    ok_->setAutoDefault(true);
    cancel_->setAutoDefault(true);  // Enter on a focused button presses that button
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    setTabOrder(edit_, ok_);
    setTabOrder(ok_, cancel_);

    // The prompt grows with its text up to the maximum width, then wraps and grows in height.
    const int maxWidth = promptTextMaxWidth(averageCharWidth_);
    const QRect oneLine = metrics.boundingRect(prompt);
    QSize textSize(oneLine.width(), metrics.height());
    if (oneLine.width() > maxWidth) textSize = QSize(maxWidth, label_->heightForWidth(maxWidth));
    const PromptLayout layout =
        computePromptLayout(averageCharWidth_, charHeight_, textSize, edit_->sizeHint().height());
    label_->setGeometry(layout.prompt);
    edit_->setGeometry(layout.edit);
    ok_->setGeometry(layout.ok);
    cancel_->setGeometry(layout.cancel);
    setFixedSize(layout.clientWidth, layout.clientHeight);

    edit_->setText(defaultText);
    edit_->selectAll();
    edit_->setFocus();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(layout.clientWidth / 2, layout.clientHeight / 2));
    }
}

std::string promptForText(const std::string& title, const std::string& prompt, const std::string& defaultText) {
    QPointer<PromptDialog> dialog = new PromptDialog(QString::fromStdString(title), QString::fromStdString(prompt),
                                                       QString::fromStdString(defaultText));
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    const int result = dialog->exec();
    std::string text = defaultText;
    if (dialog && result == QDialog::Accepted) text = dialog->edit()->text().toUtf8().toStdString();
    delete dialog.data();
    return text;
}

bool maskActivePromptEdit() {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog) dialog = QApplication::activeWindow();
    if (!dialog) return false;
    const QList<QLineEdit*> edits = dialog->findChildren<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly);
    if (edits.size() != 1) return false;
    edits.front()->setEchoMode(QLineEdit::Password);
    return true;
}
