// The operator's window onto own statuses: each press handed on with the person, the words and
// the end chosen (end of today, the time given, or none).
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateTimeEdit>
#include <QPushButton>

#include "tests/ui/QtTestApp.h"
#include "ui/OwnStatusDialog.h"

using namespace quorvane;

namespace {

TEST(OwnStatusDialogTest, PressesCarryPersonWordsAndEnd) {
    qtTestApp();
    OwnStatusDialog dialog({"Ann Example", "Ben Carter"});
    std::vector<OwnStatusRequest> asked;
    dialog.onRequest = [&asked](const OwnStatusRequest& request) { asked.push_back(request); };
    const QDateTime later(QDate(2030, 1, 2), QTime(15, 45));
    const struct {
        int person, preset, until;
        const char* ownWords;
        bool clear;
        std::string name, text;
        std::optional<QDateTime> end;
    } cases[] = {
        {0, 0, 0, nullptr, false, "Ann Example", "Working from home", QDateTime(QDate::currentDate(), QTime(23, 59))},
        {1, 2, 1, nullptr, false, "Ben Carter", "On a site visit", later},
        {1, 0, 2, "Back after lunch", false, "Ben Carter", "Back after lunch", std::nullopt},
        {0, 1, 2, nullptr, true, "Ann Example", "Out of office", std::nullopt},
    };
    for (const auto& c : cases) {
        dialog.nameBox->setCurrentIndex(c.person);
        dialog.textBox->setCurrentIndex(c.preset);
        if (c.ownWords) dialog.textBox->setEditText(QString::fromUtf8(c.ownWords));
        dialog.untilBox->setCurrentIndex(c.until);
        dialog.untilEdit->setDateTime(later);
        EXPECT_EQ(dialog.untilEdit->isEnabled(), c.until == 1);
        (c.clear ? dialog.clearButton : dialog.setButton)->click();
        ASSERT_FALSE(asked.empty());
        EXPECT_EQ(asked.back().name, c.name);
        EXPECT_EQ(asked.back().clear, c.clear);
        EXPECT_EQ(asked.back().text, c.text);
        EXPECT_EQ(asked.back().until, c.end) << c.text;
    }
    EXPECT_EQ(asked.size(), std::size(cases));
}

}  // namespace
