#pragma once
// The client area of the operator window, laid out by Qt layouts: the browser on the left; on the
// right a column of fixed width with the log, the refresh button (over the fake-time box) beside
// the force-grab box, and the board fragment box; the status bar along the bottom. On a resize
// the browser takes the width and the log the height.
#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;

namespace quorvane {

class WindowControls final : public QWidget {
    Q_OBJECT
public:
    // browser: the embedded browser's widget, taken as a child and placed as browserView.
    explicit WindowControls(QWidget* browser, QWidget* parent = nullptr);

    QPlainTextEdit* logEdit;
    QStatusBar* statusBar;
    QWidget* browserView;
    QPlainTextEdit* fragmentEdit;
    QLineEdit* fakeTimeEdit;
    QCheckBox* forceGrabBox;
    QPushButton* refreshButton;
    // In the status bar, hidden unless people's own statuses are on: opens the operator's window onto them.
    QPushButton* ownStatusButton;

    // The status bar's text for a progress event: "progress / max".
    void showProgress(int progress, int progressMax);

    // None: the window may be shrunk at will, as it always could, and asks the platform for no
    // size limit (the off-screen platform of a headless run warns on standard error at each one).
    QSize minimumSizeHint() const override { return {0, 0}; }

private:
    void layOut();
};

}  // namespace quorvane
