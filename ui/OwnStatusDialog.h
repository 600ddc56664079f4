#pragma once
// The operator's window onto people's own statuses: pick a person, a preset or own words and an
// end, then Set or Clear. It stays open for the next person; each press is handed on as a request
// (the window checks and stores it as the people's own pages do).
#include <QDateTime>
#include <QDialog>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>

class QComboBox;
class QDateTimeEdit;
class QPushButton;

namespace quorvane {

struct OwnStatusRequest {
    std::string name;
    bool clear = false;
    std::string text;                // when set
    std::optional<QDateTime> until;  // local; none: until cleared
};

class OwnStatusDialog final : public QDialog {
    Q_OBJECT
public:
    OwnStatusDialog(const QStringList& names, QWidget* parent = nullptr);

    // Told of each Set and Clear press.
    std::function<void(const OwnStatusRequest&)> onRequest;

    QComboBox* nameBox;
    QComboBox* textBox;   // the presets, editable for own words
    QComboBox* untilBox;  // end of today, a time, until cleared
    QDateTimeEdit* untilEdit;
    QPushButton* setButton;
    QPushButton* clearButton;

private:
    void request(bool clear);
};

}  // namespace quorvane
