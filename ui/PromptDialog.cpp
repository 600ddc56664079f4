#include "ui/PromptDialog.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QPointer>

#include "ui/UiConstants.h"

std::string promptForText(const std::string& title, const std::string& prompt, const std::string& defaultText) {
    // No help, minimise or maximise buttons: a caption and a close box, as the prompt always had.
    QPointer<QInputDialog> dialog = new QInputDialog(
        nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    dialog->setWindowTitle(QString::fromStdString(title));
    dialog->setLabelText(QString::fromStdString(prompt));
    dialog->setInputMode(QInputDialog::TextInput);
    dialog->setTextValue(QString::fromStdString(defaultText));
    dialog->setOkButtonText(QLatin1String(PromptOkCaption));
    dialog->setCancelButtonText(QLatin1String(PromptCancelCaption));
    QFont font = QApplication::font();
    font.setPointSize(PromptFontPointSize);
    dialog->setFont(font);
    // QInputDialog offers neither a length limit nor a mask character: both are set on its box.
    if (auto* edit = dialog->findChild<QLineEdit*>()) edit->setMaxLength(PromptMaxLength);
    dialog->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: %1; }").arg(int(PasswordMaskChar)));

    const int result = dialog->exec();
    std::string text = defaultText;
    if (dialog && result == QDialog::Accepted) text = dialog->textValue().toUtf8().toStdString();
    delete dialog.data();
    return text;
}

bool maskActivePromptEdit() {
    QWidget* window = QApplication::activeModalWidget();
    if (!window) window = QApplication::activeWindow();
    auto* prompt = qobject_cast<QInputDialog*>(window);
    if (!prompt || prompt->inputMode() != QInputDialog::TextInput) return false;
    prompt->setTextEchoMode(QLineEdit::Password);
    return true;
}
