#include "ui/FormClient.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QStatusBar>

#include "text/Text.h"
#include "ui/UiConstants.h"

QRect AnchoredGeometry(const QRect& design, unsigned anchors, QSize designClient, QSize client) {
    const int dx = client.width() - designClient.width();
    const int dy = client.height() - designClient.height();
    QRect r = design;
    const bool left = anchors & AnchorLeft, right = anchors & AnchorRight;
    const bool top = anchors & AnchorTop, bottom = anchors & AnchorBottom;
    if (left && right)
        r.setWidth(design.width() + dx);
    else if (right)
        r.moveLeft(design.left() + dx);
    else if (!left)
        r.moveLeft(design.left() + dx / 2);  // anchored to neither edge: keeps its relative place
    if (top && bottom)
        r.setHeight(design.height() + dy);
    else if (bottom)
        r.moveTop(design.top() + dy);
    else if (!top)
        r.moveTop(design.top() + dy / 2);
    return r;
}

TFormClient::TFormClient(QWidget* browser, QWidget* parent) : QWidget(parent) {
    QFont formFont{QString::fromLatin1(FormFontFamily)};
    formFont.setPixelSize(FormFontPixelHeight);
    setFont(formFont);
    resize(FormClientWidth, FormClientHeight);

    // Created in stacking order: a later control lies above an earlier one where they overlap.
    memoLog = new QPlainTextEdit(this);
    memoLog->setObjectName(QStringLiteral("memoLog"));
    memoLog->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memoLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoLog->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoLog->setUndoRedoEnabled(false);  // the log runs for weeks: keep no edit history
    Place(memoLog, MemoLogRect, AnchorTop | AnchorRight | AnchorBottom);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(true);
    StatusBar1->setFont(QFont());
    Place(StatusBar1, StatusBarRect, AnchorLeft | AnchorRight | AnchorBottom);

    WebBrowser1 = browser;
    WebBrowser1->setParent(this);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->setFocusPolicy(Qt::StrongFocus);
    Place(WebBrowser1, WebBrowserRect, AnchorLeft | AnchorTop | AnchorRight | AnchorBottom);

    memoHTML = new QPlainTextEdit(this);
    memoHTML->setObjectName(QStringLiteral("memoHTML"));
    memoHTML->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memoHTML->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memoHTML->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memoHTML->setUndoRedoEnabled(false);
    Place(memoHTML, MemoHtmlRect, AnchorRight | AnchorBottom);

    txtDateTime = new QLineEdit(this);
    txtDateTime->setObjectName(QStringLiteral("txtDateTime"));
    Place(txtDateTime, TxtDateTimeRect, AnchorRight | AnchorBottom);

    cbForceGrab = new QCheckBox(QLatin1String(CbForceGrabCaption), this);
    cbForceGrab->setObjectName(QStringLiteral("cbForceGrab"));
    Place(cbForceGrab, CbForceGrabRect, AnchorRight | AnchorBottom);

    Button1 = new QPushButton(QLatin1String(Button1DesignCaption), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Place(Button1, Button1Rect, AnchorRight | AnchorBottom);

    // Tab order: log, browser, button, fragment, fake time, force grab; the status bar takes none.
    StatusBar1->setFocusPolicy(Qt::NoFocus);
    setTabOrder(memoLog, WebBrowser1);
    setTabOrder(WebBrowser1, Button1);
    setTabOrder(Button1, memoHTML);
    setTabOrder(memoHTML, txtDateTime);
    setTabOrder(txtDateTime, cbForceGrab);
    memoLog->setFocus();
}

void TFormClient::Place(QWidget* control, const QRect& design, unsigned anchors) {
    control->setGeometry(design);
    anchored_.push_back({control, design, anchors});
}

void TFormClient::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    for (const TAnchoredControl& c : anchored_)
        c.Control->setGeometry(
            AnchoredGeometry(c.Design, c.Anchors, QSize(FormClientWidth, FormClientHeight), event->size()));
}

void TFormClient::WebBrowser1ProgressChange(int progress, int progressMax) {
    StatusBar1->showMessage(QString::fromStdString(IntToText(progress) + ProgressSeparator + IntToText(progressMax)));
}
