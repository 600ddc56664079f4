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

int ScaleDialogUnits(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    return static_cast<int>(std::llround(static_cast<double>(product) / c));
}

int PromptTextMaxWidth(int averageCharWidth) { return ScaleDialogUnits(PromptTextWidthDu, averageCharWidth, 4); }

TPromptLayout ComputePromptLayout(int x, int y, QSize promptTextSize, int editHeight) {
    TPromptLayout layout;
    layout.ClientWidth = ScaleDialogUnits(PromptClientWidthDu, x, 4);
    const int left = ScaleDialogUnits(PromptMarginDu, x, 4);
    const int maxWidth = PromptTextMaxWidth(x);
    layout.Prompt = QRect(left, ScaleDialogUnits(PromptMarginDu, y, 8), std::min(promptTextSize.width(), maxWidth),
                          promptTextSize.height());
    layout.Edit = QRect(left, layout.Prompt.y() + layout.Prompt.height() + PromptEditGapPx, maxWidth, editHeight);
    const int buttonTop = layout.Edit.y() + layout.Edit.height() + PromptButtonGapPx;
    const int buttonWidth = ScaleDialogUnits(PromptButtonWidthDu, x, 4);
    const int buttonHeight = ScaleDialogUnits(PromptButtonHeightDu, y, 8);
    layout.Ok = QRect(ScaleDialogUnits(PromptOkLeftDu, x, 4), buttonTop, buttonWidth, buttonHeight);
    layout.Cancel = QRect(ScaleDialogUnits(PromptCancelLeftDu, x, 4), buttonTop, buttonWidth, buttonHeight);
    layout.ClientHeight = buttonTop + buttonHeight + PromptBottomGapPx;
    return layout;
}

TPromptDialog::TPromptDialog(const QString& title, const QString& prompt, const QString& defaultText, QWidget* parent)
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
    const int maxWidth = PromptTextMaxWidth(averageCharWidth_);
    const QRect oneLine = metrics.boundingRect(prompt);
    QSize textSize(oneLine.width(), metrics.height());
    if (oneLine.width() > maxWidth) textSize = QSize(maxWidth, label_->heightForWidth(maxWidth));
    const TPromptLayout layout =
        ComputePromptLayout(averageCharWidth_, charHeight_, textSize, edit_->sizeHint().height());
    label_->setGeometry(layout.Prompt);
    edit_->setGeometry(layout.Edit);
    ok_->setGeometry(layout.Ok);
    cancel_->setGeometry(layout.Cancel);
    setFixedSize(layout.ClientWidth, layout.ClientHeight);

    edit_->setText(defaultText);
    edit_->selectAll();
    edit_->setFocus();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(layout.ClientWidth / 2, layout.ClientHeight / 2));
    }
}

std::string PromptForText(const std::string& title, const std::string& prompt, const std::string& defaultText) {
    QPointer<TPromptDialog> dialog = new TPromptDialog(QString::fromStdString(title), QString::fromStdString(prompt),
                                                       QString::fromStdString(defaultText));
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    const int result = dialog->exec();
    std::string text = defaultText;
    if (dialog && result == QDialog::Accepted) text = dialog->Edit()->text().toUtf8().toStdString();
    delete dialog.data();
    return text;
}

bool MaskActivePromptEdit() {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog) dialog = QApplication::activeWindow();
    if (!dialog) return false;
    const QList<QLineEdit*> edits = dialog->findChildren<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly);
    if (edits.size() != 1) return false;
    edits.front()->setEchoMode(QLineEdit::Password);
    return true;
}
