// The prompt: its texts, the length limit, OK/Cancel/close/Esc results and masking while it is open.
#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>
#include <functional>

#include "tests/ui/QtTestApp.h"
#include "ui/PromptDialog.h"

namespace {

// Runs action on the open modal prompt once the event loop reaches it.
void whenOpen(std::function<void(QInputDialog&)> action) {
    QTimer::singleShot(0, [action] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        action(*dialog);
    });
}

QLineEdit* edit(QInputDialog& dialog) { return dialog.findChild<QLineEdit*>(); }

QPushButton* button(QInputDialog& dialog, QDialogButtonBox::StandardButton which) {
    return dialog.findChild<QDialogButtonBox*>()->button(which);
}

TEST(PromptDialogTest, ShowsItsTextsAndReturnsTypedTextUpTo255Characters) {
    qtTestApp();
    whenOpen([](QInputDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Quorvane - Username Needed"));
        EXPECT_EQ(dialog.labelText(), QStringLiteral("Please enter your Tessmor userid"));
        EXPECT_EQ(button(dialog, QDialogButtonBox::Ok)->text(), QStringLiteral("OK"));
        EXPECT_EQ(button(dialog, QDialogButtonBox::Cancel)->text(), QStringLiteral("Cancel"));
        EXPECT_TRUE(button(dialog, QDialogButtonBox::Ok)->isDefault());
        QTest::keyClicks(edit(dialog), QString(256, QLatin1Char('k')));
        QTest::keyClick(edit(dialog), Qt::Key_Return);
    });
    EXPECT_EQ(promptForText("Quorvane - Username Needed", "Please enter your Tessmor userid", ""), std::string(255, 'k'));
}

TEST(PromptDialogTest, OkWithTheBoxUntouchedReturnsTheDefault) {
    qtTestApp();
    whenOpen([](QInputDialog& dialog) {
        EXPECT_EQ(edit(dialog)->selectedText(), QStringLiteral("preset"));
        button(dialog, QDialogButtonBox::Ok)->click();
    });
    EXPECT_EQ(promptForText("T", "P", "preset"), "preset");
}

TEST(PromptDialogTest, CancelEscAndCloseBoxReturnTheDefaultEvenAfterTyping) {
    qtTestApp();
    const std::vector<std::function<void(QInputDialog&)>> dismissals{
        [](QInputDialog& dialog) { button(dialog, QDialogButtonBox::Cancel)->click(); },
        [](QInputDialog& dialog) { QTest::keyClick(edit(dialog), Qt::Key_Escape); },
        [](QInputDialog& dialog) { dialog.close(); },
    };
    for (const auto& dismiss : dismissals) {
        whenOpen([dismiss](QInputDialog& dialog) {
            QTest::keyClicks(edit(dialog), "typed");
            dismiss(dialog);
        });
        EXPECT_EQ(promptForText("T", "P", "dflt"), "dflt");
    }
}

TEST(PromptDialogTest, PostedMaskShowsStarsWhileTheTextStaysAsTyped) {
    qtTestApp();
    EXPECT_FALSE(maskActivePromptEdit());  // no prompt open: nothing to mask
    // Posted before the prompt opens, handled by the prompt's own event loop.
    QObject target;
    QTimer::singleShot(0, &target, [] { EXPECT_TRUE(maskActivePromptEdit()); });
    whenOpen([](QInputDialog& dialog) {
        QTimer::singleShot(0, [&dialog] {
            QTest::keyClicks(edit(dialog), "s3cret");
            EXPECT_EQ(edit(dialog)->echoMode(), QLineEdit::Password);
            EXPECT_EQ(edit(dialog)->displayText(), QStringLiteral("******"));
            EXPECT_EQ(edit(dialog)->text(), QStringLiteral("s3cret"));
            button(dialog, QDialogButtonBox::Ok)->click();
        });
    });
    EXPECT_EQ(promptForText("Quorvane - Password Needed", "Please enter your Tessmor password", ""), "s3cret");
    // The next prompt builds a fresh, unmasked box.
    whenOpen([](QInputDialog& dialog) {
        EXPECT_EQ(edit(dialog)->echoMode(), QLineEdit::Normal);
        button(dialog, QDialogButtonBox::Ok)->click();
    });
    promptForText("T", "P", "x");
}

}  // namespace
