// The operator window's client area: design geometry, anchors on resize, stacking, tab order,
// captions and the status bar's progress text.
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

TEST_F(WindowControlsTest, ControlsStartAtTheirDesignPlaces) {
    EXPECT_EQ(client.size(), QSize(851, 971));
    EXPECT_EQ(client.logEdit->geometry(), QRect(431, 0, 417, 617));
    EXPECT_EQ(client.statusBar->geometry(), QRect(0, 952, 851, 19));
    EXPECT_EQ(client.browserView->geometry(), QRect(0, 0, 424, 956));
    EXPECT_EQ(client.fragmentEdit->geometry(), QRect(431, 659, 417, 295));
    EXPECT_EQ(client.fakeTimeEdit->geometry(), QRect(704, 627, 121, 21));
    EXPECT_EQ(client.forceGrabBox->geometry(), QRect(834, 629, 14, 17));
    EXPECT_EQ(client.refreshButton->geometry(), QRect(431, 625, 401, 25));
}

TEST_F(WindowControlsTest, EnlargingBy100FollowsTheAnchors) {
    client.resize(951, 1071);
    EXPECT_EQ(client.browserView->geometry(), QRect(0, 0, 524, 1056));
    EXPECT_EQ(client.logEdit->geometry(), QRect(531, 0, 417, 717));
    EXPECT_EQ(client.refreshButton->geometry(), QRect(531, 725, 401, 25));
    EXPECT_EQ(client.forceGrabBox->geometry(), QRect(934, 729, 14, 17));
    EXPECT_EQ(client.fakeTimeEdit->geometry(), QRect(804, 727, 121, 21));
    EXPECT_EQ(client.fragmentEdit->geometry(), QRect(531, 759, 417, 295));
    EXPECT_EQ(client.statusBar->geometry(), QRect(0, 1052, 951, 19));
    client.resize(851, 971);  // and back to the design
    EXPECT_EQ(client.logEdit->geometry(), QRect(431, 0, 417, 617));
}

TEST_F(WindowControlsTest, ButtonLiesAboveTheFakeTimeBoxItCovers) {
    EXPECT_TRUE(client.refreshButton->geometry().contains(client.fakeTimeEdit->geometry()));
    const QObjectList& order = client.children();
    EXPECT_GT(order.indexOf(client.refreshButton), order.indexOf(client.fakeTimeEdit));
    EXPECT_GT(order.indexOf(client.browserView), order.indexOf(client.statusBar));
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

TEST(AnchoredGeometryTest, UnanchoredControlKeepsItsRelativePlace) {
    EXPECT_EQ(anchoredGeometry(QRect(10, 10, 5, 5), 0, QSize(100, 100), QSize(200, 300)), QRect(60, 110, 5, 5));
    EXPECT_EQ(anchoredGeometry(QRect(10, 10, 5, 5), AnchorLeft | AnchorTop, QSize(100, 100), QSize(50, 50)),
              QRect(10, 10, 5, 5));
}

}  // namespace
