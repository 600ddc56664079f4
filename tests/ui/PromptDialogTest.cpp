// The prompt dialog: layout arithmetic, wrapping, the length limit, OK/Cancel/close/Esc results
// and masking while it is open.
#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include "tests/ui/QtTestApp.h"
#include "ui/PromptDialog.h"

namespace {

// Runs action on the open modal prompt once the event loop reaches it.
void whenOpen(std::function<void(PromptDialog&)> action) {
    QTimer::singleShot(0, [action] {
        auto* dialog = qobject_cast<PromptDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        action(*dialog);
    });
}

TEST(PromptLayoutTest, TypicalFontMetricGivesTheDesignSizes) {
    const PromptLayout layout = computePromptLayout(6, 13, QSize(100, 13), 21);
    EXPECT_EQ(layout.clientWidth, 270);
    EXPECT_EQ(layout.prompt, QRect(12, 13, 100, 13));
    EXPECT_EQ(layout.edit, QRect(12, 31, 246, 21));
    EXPECT_EQ(layout.ok, QRect(57, 67, 75, 23));
    EXPECT_EQ(layout.cancel, QRect(138, 67, 75, 23));
    EXPECT_EQ(layout.clientHeight, 67 + 23 + 13);
    // The prompt never gets wider than its maximum.
    EXPECT_EQ(computePromptLayout(6, 13, QSize(900, 26), 21).prompt.width(), 246);
}

TEST(PromptLayoutTest, ScalingRoundsHalvesAwayFromZero) {
    EXPECT_EQ(scaleDialogUnits(8, 13, 8), 13);
    EXPECT_EQ(scaleDialogUnits(14, 13, 8), 23);   // 22.75
    EXPECT_EQ(scaleDialogUnits(1, 5, 2), 3);      // 2.5
    EXPECT_EQ(scaleDialogUnits(-1, 5, 2), -3);
}

TEST(PromptDialogTest, ControlsFollowTheDialogsOwnFontMetric) {
    qtTestApp();
    PromptDialog dialog("Title", "Short", "");
    const int x = dialog.averageCharWidth(), y = dialog.charHeight();
    ASSERT_GT(x, 0);
    EXPECT_EQ(dialog.width(), scaleDialogUnits(180, x, 4));
    EXPECT_EQ(dialog.promptLabel()->pos(), QPoint(scaleDialogUnits(8, x, 4), scaleDialogUnits(8, y, 8)));
    EXPECT_EQ(dialog.edit()->width(), scaleDialogUnits(164, x, 4));
    EXPECT_EQ(dialog.edit()->y(), dialog.promptLabel()->geometry().bottom() + 1 + 5);
    EXPECT_EQ(dialog.okButton()->y(), dialog.edit()->geometry().bottom() + 1 + 15);
    EXPECT_EQ(dialog.height(), dialog.okButton()->geometry().bottom() + 1 + 13);
    EXPECT_TRUE(dialog.okButton()->isDefault());
    EXPECT_EQ(dialog.edit()->maxLength(), 255);
}

TEST(PromptDialogTest, LongPromptWrapsAndPushesTheRestDown) {
    qtTestApp();
    PromptDialog shortOne("T", "Please enter your Tessmor userid", "");
    PromptDialog longOne("T", QString("Please enter your Tessmor userid ").repeated(6), "");
    EXPECT_EQ(longOne.promptLabel()->width(), scaleDialogUnits(164, longOne.averageCharWidth(), 4));
    EXPECT_GT(longOne.promptLabel()->height(), shortOne.promptLabel()->height());
    EXPECT_GT(longOne.edit()->y(), shortOne.edit()->y());
    EXPECT_GT(longOne.height(), shortOne.height());
    EXPECT_EQ(longOne.width(), shortOne.width());
}

TEST(PromptDialogTest, OkReturnsTypedTextUpTo255Characters) {
    qtTestApp();
    whenOpen([](PromptDialog& dialog) {
        QTest::keyClicks(dialog.edit(), QString(256, QLatin1Char('k')));
        QTest::keyClick(dialog.edit(), Qt::Key_Return);
    });
    EXPECT_EQ(promptForText("T", "P", ""), std::string(255, 'k'));
}

TEST(PromptDialogTest, OkWithTheBoxUntouchedReturnsTheDefault) {
    qtTestApp();
    whenOpen([](PromptDialog& dialog) {
        EXPECT_EQ(dialog.edit()->selectedText(), QStringLiteral("preset"));
        dialog.okButton()->click();
    });
    EXPECT_EQ(promptForText("T", "P", "preset"), "preset");
}

TEST(PromptDialogTest, CancelEscAndCloseBoxReturnTheDefaultEvenAfterTyping) {
    qtTestApp();
    whenOpen([](PromptDialog& dialog) {
        QTest::keyClicks(dialog.edit(), "typed");
        dialog.cancelButton()->click();
    });
    EXPECT_EQ(promptForText("T", "P", ""), "");
    whenOpen([](PromptDialog& dialog) {
        QTest::keyClicks(dialog.edit(), "typed");
        QTest::keyClick(dialog.edit(), Qt::Key_Escape);
    });
    EXPECT_EQ(promptForText("T", "P", "dflt"), "dflt");
    whenOpen([](PromptDialog& dialog) {
        QTest::keyClicks(dialog.edit(), "typed");
        dialog.close();
    });
    EXPECT_EQ(promptForText("T", "P", ""), "");
}

TEST(PromptDialogTest, PostedMaskShowsStarsWhileTheTextStaysAsTyped) {
    qtTestApp();
    // Posted before the prompt opens, handled by the prompt's own event loop.
    QObject target;
    QTimer::singleShot(0, &target, [] { EXPECT_TRUE(maskActivePromptEdit()); });
    whenOpen([](PromptDialog& dialog) {
        QTimer::singleShot(0, [&dialog] {
            QTest::keyClicks(dialog.edit(), "s3cret");
            EXPECT_EQ(dialog.edit()->echoMode(), QLineEdit::Password);
            EXPECT_EQ(dialog.edit()->displayText(), QStringLiteral("******"));
            EXPECT_EQ(dialog.edit()->text(), QStringLiteral("s3cret"));
            dialog.okButton()->click();
        });
    });
    EXPECT_EQ(promptForText("Quorvane - Password Needed", "Please enter your Tessmor password", ""), "s3cret");
    // The next prompt builds a fresh, unmasked box.
    whenOpen([](PromptDialog& dialog) {
        EXPECT_EQ(dialog.edit()->echoMode(), QLineEdit::Normal);
        dialog.okButton()->click();
    });
    promptForText("T", "P", "x");
}

TEST(PromptDialogTest, MaskWithoutAnOpenDialogDoesNothing) {
    qtTestApp();
    EXPECT_FALSE(maskActivePromptEdit());
}

}  // namespace
