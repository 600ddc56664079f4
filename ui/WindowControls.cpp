#include "ui/WindowControls.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>

#include "text/Text.h"
#include "ui/UiConstants.h"

namespace quorvane {

WindowControls::WindowControls(QWidget* browser, QWidget* parent) : QWidget(parent) {
    QFont formFont{QString::fromLatin1(WindowFontFamily)};
    formFont.setPixelSize(WindowFontPixelHeight);
    setFont(formFont);

    // Created in stacking order: a later control lies above an earlier one where they overlap.
    logEdit = new QPlainTextEdit(this);
    logEdit->setObjectName(QStringLiteral("logEdit"));
    logEdit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    logEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    logEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    logEdit->setUndoRedoEnabled(false);  // the log runs for weeks: keep no edit history

    statusBar = new QStatusBar(this);
    statusBar->setObjectName(QStringLiteral("statusBar"));
    statusBar->setSizeGripEnabled(true);
    statusBar->setFont(QFont());

    browserView = browser;
    browserView->setParent(this);
    browserView->setObjectName(QStringLiteral("browserView"));
    browserView->setFocusPolicy(Qt::StrongFocus);

    fragmentEdit = new QPlainTextEdit(this);
    fragmentEdit->setObjectName(QStringLiteral("fragmentEdit"));
    fragmentEdit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    fragmentEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fragmentEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fragmentEdit->setUndoRedoEnabled(false);

    fakeTimeEdit = new QLineEdit(this);
    fakeTimeEdit->setObjectName(QStringLiteral("fakeTimeEdit"));

    forceGrabBox = new QCheckBox(QLatin1String(ForceGrabBoxCaption), this);
    forceGrabBox->setObjectName(QStringLiteral("forceGrabBox"));

    refreshButton = new QPushButton(QLatin1String(RefreshButtonDesignCaption), this);
    refreshButton->setObjectName(QStringLiteral("refreshButton"));

    layOut();

    ownStatusButton = new QPushButton(QLatin1String(OwnStatusButtonCaption), statusBar);
    ownStatusButton->setObjectName(QStringLiteral("ownStatusButton"));
    statusBar->addPermanentWidget(ownStatusButton);
    ownStatusButton->hide();

    // Tab order: log, browser, button, fragment, fake time, force grab; the status bar takes none.
    statusBar->setFocusPolicy(Qt::NoFocus);
    setTabOrder(logEdit, browserView);
    setTabOrder(browserView, refreshButton);
    setTabOrder(refreshButton, fragmentEdit);
    setTabOrder(fragmentEdit, fakeTimeEdit);
    setTabOrder(fakeTimeEdit, forceGrabBox);
    logEdit->setFocus();
    resize(WindowClientWidth, WindowClientHeight);
}

void WindowControls::layOut() {
    logEdit->setFixedWidth(SideColumnWidth);
    fragmentEdit->setFixedSize(SideColumnWidth, FragmentBoxHeight);
    refreshButton->setFixedHeight(RefreshButtonHeight);
    fakeTimeEdit->setFixedWidth(FakeTimeBoxWidth);
    forceGrabBox->setFixedWidth(ForceGrabBoxWidth);

    // The refresh button shares its cell with the fake-time box and, made later, covers it: the
    // box is reached by Tab only, as it always has been.
    auto* refreshRow = new QGridLayout;
    refreshRow->setHorizontalSpacing(ForceGrabBoxGap);
    refreshRow->addWidget(refreshButton, 0, 0);
    refreshRow->addWidget(fakeTimeEdit, 0, 0, Qt::AlignCenter);
    refreshRow->addWidget(forceGrabBox, 0, 1);

    auto* side = new QVBoxLayout;
    side->setSpacing(SideRowGap);
    side->addWidget(logEdit, 1);
    side->addLayout(refreshRow);
    side->addWidget(fragmentEdit);

    auto* columns = new QHBoxLayout;
    columns->setSpacing(ColumnGap);
    columns->setContentsMargins(0, 0, SideColumnRightMargin, 0);
    columns->addWidget(browserView, 1);
    columns->addLayout(side);

    auto* window = new QVBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    window->setSpacing(0);
    window->addLayout(columns, 1);
    window->addWidget(statusBar);
}

void WindowControls::showProgress(int progress, int progressMax) {
    statusBar->showMessage(QString::fromStdString(intToText(progress) + ProgressSeparator + intToText(progressMax)));
}

}  // namespace quorvane
