#include "ui/OwnStatusDialog.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

#include "ui/UiConstants.h"

namespace quorvane {

OwnStatusDialog::OwnStatusDialog(const QStringList& names, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QLatin1String(OwnStatusDialogCaption));
    nameBox = new QComboBox(this);
    nameBox->addItems(names);
    textBox = new QComboBox(this);
    textBox->setEditable(true);
    for (const char* preset : OwnStatusPresets) textBox->addItem(QString::fromUtf8(preset));
    textBox->lineEdit()->setMaxLength(OwnStatusMaxChars);
    untilBox = new QComboBox(this);
    for (const char* choice : OwnStatusUntilChoices) untilBox->addItem(QString::fromUtf8(choice));
    untilEdit = new QDateTimeEdit(QDateTime::currentDateTime().addSecs(3600), this);
    untilEdit->setDisplayFormat(QStringLiteral("dd/MM/yyyy HH:mm"));
    untilEdit->setEnabled(false);
    connect(untilBox, &QComboBox::currentIndexChanged, this, [this](int index) { untilEdit->setEnabled(index == 1); });

    auto* buttons = new QDialogButtonBox(this);
    setButton = buttons->addButton(QLatin1String(OwnStatusSetCaption), QDialogButtonBox::ActionRole);
    clearButton = buttons->addButton(QLatin1String(OwnStatusClearCaption), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    connect(setButton, &QPushButton::clicked, this, [this] { request(false); });
    connect(clearButton, &QPushButton::clicked, this, [this] { request(true); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout(this);
    form->addRow(QLatin1String(OwnStatusPersonLabel), nameBox);
    form->addRow(QLatin1String(OwnStatusTextLabel), textBox);
    form->addRow(QLatin1String(OwnStatusUntilLabel), untilBox);
    form->addRow(QString(), untilEdit);
    form->addRow(buttons);
}

void OwnStatusDialog::request(bool clear) {
    if (!onRequest || nameBox->currentIndex() < 0) return;
    OwnStatusRequest asked;
    asked.name = nameBox->currentText().toStdString();
    asked.clear = clear;
    asked.text = textBox->currentText().toStdString();
    if (untilBox->currentIndex() == 0) asked.until = QDateTime(QDate::currentDate(), QTime(23, 59));
    else if (untilBox->currentIndex() == 1) asked.until = untilEdit->dateTime();
    onRequest(asked);
}

}  // namespace quorvane
