#include "ui/WindowControls.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QStatusBar>

#include "text/Text.h"
#include "ui/UiConstants.h"

QRect anchoredGeometry(const QRect& design, unsigned anchors, QSize designClient, QSize client) {
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

WindowControls::WindowControls(QWidget* browser, QWidget* parent) : QWidget(parent) {
    QFont formFont{QString::fromLatin1(WindowFontFamily)};
    formFont.setPixelSize(WindowFontPixelHeight);
    setFont(formFont);
    resize(WindowClientWidth, WindowClientHeight);

    // Created in stacking order: a later control lies above an earlier one where they overlap.
    logEdit = new QPlainTextEdit(this);
    logEdit->setObjectName(QStringLiteral("logEdit"));
    logEdit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    logEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    logEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    logEdit->setUndoRedoEnabled(false);  // the log runs for weeks: keep no edit history
    place(logEdit, LogEditRect, AnchorTop | AnchorRight | AnchorBottom);

    statusBar = new QStatusBar(this);
    statusBar->setObjectName(QStringLiteral("statusBar"));
    statusBar->setSizeGripEnabled(true);
    statusBar->setFont(QFont());
    place(statusBar, StatusBarRect, AnchorLeft | AnchorRight | AnchorBottom);

    browserView = browser;
    browserView->setParent(this);
    browserView->setObjectName(QStringLiteral("browserView"));
    browserView->setFocusPolicy(Qt::StrongFocus);
    place(browserView, BrowserViewRect, AnchorLeft | AnchorTop | AnchorRight | AnchorBottom);

    fragmentEdit = new QPlainTextEdit(this);
    fragmentEdit->setObjectName(QStringLiteral("fragmentEdit"));
    fragmentEdit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    fragmentEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fragmentEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fragmentEdit->setUndoRedoEnabled(false);
    place(fragmentEdit, FragmentEditRect, AnchorRight | AnchorBottom);

    fakeTimeEdit = new QLineEdit(this);
    fakeTimeEdit->setObjectName(QStringLiteral("fakeTimeEdit"));
    place(fakeTimeEdit, FakeTimeEditRect, AnchorRight | AnchorBottom);

    forceGrabBox = new QCheckBox(QLatin1String(ForceGrabBoxCaption), this);
    forceGrabBox->setObjectName(QStringLiteral("forceGrabBox"));
    place(forceGrabBox, ForceGrabBoxRect, AnchorRight | AnchorBottom);

    refreshButton = new QPushButton(QLatin1String(RefreshButtonDesignCaption), this);
    refreshButton->setObjectName(QStringLiteral("refreshButton"));
    place(refreshButton, RefreshButtonRect, AnchorRight | AnchorBottom);

    // Tab order: log, browser, button, fragment, fake time, force grab; the status bar takes none.
    statusBar->setFocusPolicy(Qt::NoFocus);
    setTabOrder(logEdit, browserView);
    setTabOrder(browserView, refreshButton);
    setTabOrder(refreshButton, fragmentEdit);
    setTabOrder(fragmentEdit, fakeTimeEdit);
    setTabOrder(fakeTimeEdit, forceGrabBox);
    logEdit->setFocus();
}

void WindowControls::place(QWidget* control, const QRect& design, unsigned anchors) {
    control->setGeometry(design);
    anchored_.push_back({control, design, anchors});
}

void WindowControls::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    for (const AnchoredControl& c : anchored_)
        c.control->setGeometry(
            anchoredGeometry(c.design, c.anchors, QSize(WindowClientWidth, WindowClientHeight), event->size()));
}

void WindowControls::showProgress(int progress, int progressMax) {
    statusBar->showMessage(QString::fromStdString(intToText(progress) + ProgressSeparator + intToText(progressMax)));
}
