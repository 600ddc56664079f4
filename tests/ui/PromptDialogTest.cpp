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
void WhenOpen(std::function<void(TPromptDialog&)> action) {
    QTimer::singleShot(0, [action] {
        auto* dialog = qobject_cast<TPromptDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        action(*dialog);
    });
}

TEST(PromptLayoutTest, TypicalFontMetricGivesTheDesignSizes) {
    const TPromptLayout layout = ComputePromptLayout(6, 13, QSize(100, 13), 21);
    EXPECT_EQ(layout.ClientWidth, 270);
    EXPECT_EQ(layout.Prompt, QRect(12, 13, 100, 13));
    EXPECT_EQ(layout.Edit, QRect(12, 31, 246, 21));
    EXPECT_EQ(layout.Ok, QRect(57, 67, 75, 23));
    EXPECT_EQ(layout.Cancel, QRect(138, 67, 75, 23));
    EXPECT_EQ(layout.ClientHeight, 67 + 23 + 13);
    // The prompt never gets wider than its maximum.
    EXPECT_EQ(ComputePromptLayout(6, 13, QSize(900, 26), 21).Prompt.width(), 246);
}

TEST(PromptLayoutTest, ScalingRoundsHalvesAwayFromZero) {
    EXPECT_EQ(ScaleDialogUnits(8, 13, 8), 13);
    EXPECT_EQ(ScaleDialogUnits(14, 13, 8), 23);   // 22.75
    EXPECT_EQ(ScaleDialogUnits(1, 5, 2), 3);      // 2.5
    EXPECT_EQ(ScaleDialogUnits(-1, 5, 2), -3);
}

TEST(PromptDialogTest, ControlsFollowTheDialogsOwnFontMetric) {
    QtTestApp();
    TPromptDialog dialog("Title", "Short", "");
    const int x = dialog.AverageCharWidth(), y = dialog.CharHeight();
    ASSERT_GT(x, 0);
    EXPECT_EQ(dialog.width(), ScaleDialogUnits(180, x, 4));
    EXPECT_EQ(dialog.PromptLabel()->pos(), QPoint(ScaleDialogUnits(8, x, 4), ScaleDialogUnits(8, y, 8)));
    EXPECT_EQ(dialog.Edit()->width(), ScaleDialogUnits(164, x, 4));
    EXPECT_EQ(dialog.Edit()->y(), dialog.PromptLabel()->geometry().bottom() + 1 + 5);
    EXPECT_EQ(dialog.OkButton()->y(), dialog.Edit()->geometry().bottom() + 1 + 15);
    EXPECT_EQ(dialog.height(), dialog.OkButton()->geometry().bottom() + 1 + 13);
    EXPECT_TRUE(dialog.OkButton()->isDefault());
    EXPECT_EQ(dialog.Edit()->maxLength(), 255);
}

TEST(PromptDialogTest, LongPromptWrapsAndPushesTheRestDown) {
    QtTestApp();
    TPromptDialog shortOne("T", "Please enter your Tessmor userid", "");
    TPromptDialog longOne("T", QString("Please enter your Tessmor userid ").repeated(6), "");
    EXPECT_EQ(longOne.PromptLabel()->width(), ScaleDialogUnits(164, longOne.AverageCharWidth(), 4));
    EXPECT_GT(longOne.PromptLabel()->height(), shortOne.PromptLabel()->height());
    EXPECT_GT(longOne.Edit()->y(), shortOne.Edit()->y());
    EXPECT_GT(longOne.height(), shortOne.height());
    EXPECT_EQ(longOne.width(), shortOne.width());
}

TEST(PromptDialogTest, OkReturnsTypedTextUpTo255Characters) {
    QtTestApp();
    WhenOpen([](TPromptDialog& dialog) {
        QTest::keyClicks(dialog.Edit(), QString(256, QLatin1Char('k')));
        QTest::keyClick(dialog.Edit(), Qt::Key_Return);
    });
    EXPECT_EQ(PromptForText("T", "P", ""), std::string(255, 'k'));
}

TEST(PromptDialogTest, OkWithTheBoxUntouchedReturnsTheDefault) {
    QtTestApp();
    WhenOpen([](TPromptDialog& dialog) {
        EXPECT_EQ(dialog.Edit()->selectedText(), QStringLiteral("preset"));
        dialog.OkButton()->click();
    });
    EXPECT_EQ(PromptForText("T", "P", "preset"), "preset");
}

TEST(PromptDialogTest, CancelEscAndCloseBoxReturnTheDefaultEvenAfterTyping) {
    QtTestApp();
    WhenOpen([](TPromptDialog& dialog) {
        QTest::keyClicks(dialog.Edit(), "typed");
        dialog.CancelButton()->click();
    });
    EXPECT_EQ(PromptForText("T", "P", ""), "");
    WhenOpen([](TPromptDialog& dialog) {
        QTest::keyClicks(dialog.Edit(), "typed");
        QTest::keyClick(dialog.Edit(), Qt::Key_Escape);
    });
    EXPECT_EQ(PromptForText("T", "P", "dflt"), "dflt");
    WhenOpen([](TPromptDialog& dialog) {
        QTest::keyClicks(dialog.Edit(), "typed");
        dialog.close();
    });
    EXPECT_EQ(PromptForText("T", "P", ""), "");
}

TEST(PromptDialogTest, PostedMaskShowsStarsWhileTheTextStaysAsTyped) {
    QtTestApp();
    // Posted before the prompt opens, handled by the prompt's own event loop.
    QObject target;
    QTimer::singleShot(0, &target, [] { EXPECT_TRUE(MaskActivePromptEdit()); });
    WhenOpen([](TPromptDialog& dialog) {
        QTimer::singleShot(0, [&dialog] {
            QTest::keyClicks(dialog.Edit(), "s3cret");
            EXPECT_EQ(dialog.Edit()->echoMode(), QLineEdit::Password);
            EXPECT_EQ(dialog.Edit()->displayText(), QStringLiteral("******"));
            EXPECT_EQ(dialog.Edit()->text(), QStringLiteral("s3cret"));
            dialog.OkButton()->click();
        });
    });
    EXPECT_EQ(PromptForText("Quorvane - Password Needed", "Please enter your Tessmor password", ""), "s3cret");
    // The next prompt builds a fresh, unmasked box.
    WhenOpen([](TPromptDialog& dialog) {
        EXPECT_EQ(dialog.Edit()->echoMode(), QLineEdit::Normal);
        dialog.OkButton()->click();
    });
    PromptForText("T", "P", "x");
}

TEST(PromptDialogTest, MaskWithoutAnOpenDialogDoesNothing) {
    QtTestApp();
    EXPECT_FALSE(MaskActivePromptEdit());
}

}  // namespace
