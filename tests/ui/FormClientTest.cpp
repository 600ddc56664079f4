// The operator window's client area: design geometry, anchors on resize, stacking, tab order,
// captions and the status bar's progress text.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>

#include "tests/ui/QtTestApp.h"
#include "ui/FormClient.h"

namespace {

class FormClientTest : public ::testing::Test {
protected:
    FormClientTest() : client((QtTestApp(), new QWidget)) { client.show(); }
    TFormClient client;
};

TEST_F(FormClientTest, ControlsStartAtTheirDesignPlaces) {
    EXPECT_EQ(client.size(), QSize(851, 971));
    EXPECT_EQ(client.memoLog->geometry(), QRect(431, 0, 417, 617));
    EXPECT_EQ(client.StatusBar1->geometry(), QRect(0, 952, 851, 19));
    EXPECT_EQ(client.WebBrowser1->geometry(), QRect(0, 0, 424, 956));
    EXPECT_EQ(client.memoHTML->geometry(), QRect(431, 659, 417, 295));
    EXPECT_EQ(client.txtDateTime->geometry(), QRect(704, 627, 121, 21));
    EXPECT_EQ(client.cbForceGrab->geometry(), QRect(834, 629, 14, 17));
    EXPECT_EQ(client.Button1->geometry(), QRect(431, 625, 401, 25));
}

TEST_F(FormClientTest, EnlargingBy100FollowsTheAnchors) {
    client.resize(951, 1071);
    EXPECT_EQ(client.WebBrowser1->geometry(), QRect(0, 0, 524, 1056));
    EXPECT_EQ(client.memoLog->geometry(), QRect(531, 0, 417, 717));
    EXPECT_EQ(client.Button1->geometry(), QRect(531, 725, 401, 25));
    EXPECT_EQ(client.cbForceGrab->geometry(), QRect(934, 729, 14, 17));
    EXPECT_EQ(client.txtDateTime->geometry(), QRect(804, 727, 121, 21));
    EXPECT_EQ(client.memoHTML->geometry(), QRect(531, 759, 417, 295));
    EXPECT_EQ(client.StatusBar1->geometry(), QRect(0, 1052, 951, 19));
    client.resize(851, 971);  // and back to the design
    EXPECT_EQ(client.memoLog->geometry(), QRect(431, 0, 417, 617));
}

TEST_F(FormClientTest, ButtonLiesAboveTheFakeTimeBoxItCovers) {
    EXPECT_TRUE(client.Button1->geometry().contains(client.txtDateTime->geometry()));
    const QObjectList& order = client.children();
    EXPECT_GT(order.indexOf(client.Button1), order.indexOf(client.txtDateTime));
    EXPECT_GT(order.indexOf(client.WebBrowser1), order.indexOf(client.StatusBar1));
}

// The next of the form's own controls in the focus chain (skipping the controls' inner parts).
QWidget* NextControl(const TFormClient& client, QWidget* from) {
    const QList<QWidget*> controls{client.memoLog, client.WebBrowser1, client.Button1, client.memoHTML,
                                   client.txtDateTime, client.cbForceGrab, client.StatusBar1};
    for (QWidget* w = from->nextInFocusChain(); w != from; w = w->nextInFocusChain())
        if (controls.contains(w) && w->focusPolicy() != Qt::NoFocus) return w;
    return nullptr;
}

TEST_F(FormClientTest, TabOrderAndCaptions) {
    EXPECT_EQ(NextControl(client, client.memoLog), client.WebBrowser1);
    EXPECT_EQ(NextControl(client, client.WebBrowser1), client.Button1);
    EXPECT_EQ(NextControl(client, client.Button1), client.memoHTML);
    EXPECT_EQ(NextControl(client, client.memoHTML), client.txtDateTime);
    EXPECT_EQ(NextControl(client, client.txtDateTime), client.cbForceGrab);
    EXPECT_EQ(client.StatusBar1->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(client.Button1->text(), QStringLiteral("Refresh Data from Server Now!"));
    EXPECT_EQ(client.cbForceGrab->text(), QStringLiteral("Force Grab.        Fake Now Time:"));
    EXPECT_FALSE(client.cbForceGrab->isChecked());
    EXPECT_TRUE(client.memoLog->toPlainText().isEmpty());
    EXPECT_FALSE(client.memoLog->isReadOnly());
    EXPECT_FALSE(client.memoHTML->isReadOnly());
}

TEST_F(FormClientTest, ProgressShowsBothNumbersWithSigns) {
    client.WebBrowser1ProgressChange(-1, 10000);
    EXPECT_EQ(client.StatusBar1->currentMessage(), QStringLiteral("-1 / 10000"));
    client.WebBrowser1ProgressChange(2048, 10000);
    EXPECT_EQ(client.StatusBar1->currentMessage(), QStringLiteral("2048 / 10000"));
}

TEST(AnchoredGeometryTest, UnanchoredControlKeepsItsRelativePlace) {
    EXPECT_EQ(AnchoredGeometry(QRect(10, 10, 5, 5), 0, QSize(100, 100), QSize(200, 300)), QRect(60, 110, 5, 5));
    EXPECT_EQ(AnchoredGeometry(QRect(10, 10, 5, 5), AnchorLeft | AnchorTop, QSize(100, 100), QSize(50, 50)),
              QRect(10, 10, 5, 5));
}

}  // namespace
