// The operator window's client area: its arrangement at any size, stacking, tab order, captions
// and the status bar's progress text.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>

#include "tests/ui/QtTestApp.h"
#include "ui/WindowControls.h"

namespace {

class WindowControlsTest : public ::testing::Test {
protected:
    WindowControlsTest() : client((qtTestApp(), new QWidget)) { client.show(); }
    WindowControls client;
};

// At the first size and enlarged, the browser takes the width and the log the height; the side
// column keeps its width beside the browser, the fragment box its size under the refresh row,
// the status bar the bottom; the button covers the fake-time box (and lies above it).
TEST_F(WindowControlsTest, LayoutKeepsTheArrangementAtEverySize) {
    EXPECT_EQ(client.size(), QSize(851, 971));
    for (const QSize size : {QSize(851, 971), QSize(951, 1071)}) {
        client.resize(size);
        const QRect log = client.logEdit->geometry(), button = client.refreshButton->geometry();
        const QRect fragment = client.fragmentEdit->geometry(), status = client.statusBar->geometry();
        EXPECT_EQ(client.browserView->geometry(), QRect(0, 0, log.left() - 7, status.top())) << size.width();
        EXPECT_EQ(log, QRect(size.width() - 3 - 417, 0, 417, button.top() - 8)) << size.width();
        EXPECT_EQ(button, QRect(log.left(), button.top(), 401, 25));
        EXPECT_EQ(client.forceGrabBox->geometry().right(), log.right());
        EXPECT_EQ(fragment, QRect(log.left(), button.bottom() + 1 + 8, 417, 295));
        EXPECT_EQ(status, QRect(0, fragment.bottom() + 1, size.width(), size.height() - fragment.bottom() - 1));
        EXPECT_TRUE(button.contains(client.fakeTimeEdit->geometry()));
    }
    const QObjectList& order = client.children();
    EXPECT_GT(order.indexOf(client.refreshButton), order.indexOf(client.fakeTimeEdit));
}

// The next of the form's own controls in the focus chain (skipping the controls' inner parts).
QWidget* nextControl(const WindowControls& client, QWidget* from) {
    const QList<QWidget*> controls{client.logEdit, client.browserView, client.refreshButton, client.fragmentEdit,
                                   client.fakeTimeEdit, client.forceGrabBox, client.statusBar};
    for (QWidget* w = from->nextInFocusChain(); w != from; w = w->nextInFocusChain())
        if (controls.contains(w) && w->focusPolicy() != Qt::NoFocus) return w;
    return nullptr;
}

TEST_F(WindowControlsTest, TabOrderAndCaptions) {
    EXPECT_EQ(nextControl(client, client.logEdit), client.browserView);
    EXPECT_EQ(nextControl(client, client.browserView), client.refreshButton);
    EXPECT_EQ(nextControl(client, client.refreshButton), client.fragmentEdit);
    EXPECT_EQ(nextControl(client, client.fragmentEdit), client.fakeTimeEdit);
    EXPECT_EQ(nextControl(client, client.fakeTimeEdit), client.forceGrabBox);
    EXPECT_EQ(client.statusBar->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(client.refreshButton->text(), QStringLiteral("Refresh Data from Server Now!"));
    EXPECT_EQ(client.forceGrabBox->text(), QStringLiteral("Force Grab.        Fake Now Time:"));
    EXPECT_FALSE(client.forceGrabBox->isChecked());
    EXPECT_TRUE(client.logEdit->toPlainText().isEmpty());
    EXPECT_FALSE(client.logEdit->isReadOnly());
    EXPECT_FALSE(client.fragmentEdit->isReadOnly());
}

TEST_F(WindowControlsTest, ProgressShowsBothNumbersWithSigns) {
    client.showProgress(-1, 10000);
    EXPECT_EQ(client.statusBar->currentMessage(), QStringLiteral("-1 / 10000"));
    client.showProgress(2048, 10000);
    EXPECT_EQ(client.statusBar->currentMessage(), QStringLiteral("2048 / 10000"));
}

}  // namespace
