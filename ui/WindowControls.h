#pragma once
// The client area of the operator window: the log, the status bar, the browser, the board
// fragment box, the fake-time box, the force-grab box and the refresh button, at their design
// positions, kept at their distances to the anchored edges when the area is resized.
#include <QRect>
#include <QWidget>
#include <vector>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;

enum Anchor : unsigned { AnchorLeft = 1, AnchorTop = 2, AnchorRight = 4, AnchorBottom = 8 };

// A child's design geometry against a design client size, and the edges it keeps its distance to.
struct AnchoredControl {
    QWidget* control;
    QRect design;
    unsigned anchors;
};
// The geometry of an anchored control in a client area of the given size.
QRect anchoredGeometry(const QRect& design, unsigned anchors, QSize designClient, QSize client);

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

    // The status bar's text for a progress event: "progress / max".
    void showProgress(int progress, int progressMax);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void place(QWidget* control, const QRect& design, unsigned anchors);
    std::vector<AnchoredControl> anchored_;
};
