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

enum TAnchor : unsigned { AnchorLeft = 1, AnchorTop = 2, AnchorRight = 4, AnchorBottom = 8 };

// A child's design geometry against a design client size, and the edges it keeps its distance to.
struct TAnchoredControl {
    QWidget* Control;
    QRect Design;
    unsigned Anchors;
};
// The geometry of an anchored control in a client area of the given size.
QRect AnchoredGeometry(const QRect& design, unsigned anchors, QSize designClient, QSize client);

class TFormClient final : public QWidget {
    Q_OBJECT
public:
    // browser: the embedded browser's widget, taken as a child and placed as WebBrowser1.
    explicit TFormClient(QWidget* browser, QWidget* parent = nullptr);

    QPlainTextEdit* memoLog;
    QStatusBar* StatusBar1;
    QWidget* WebBrowser1;
    QPlainTextEdit* memoHTML;
    QLineEdit* txtDateTime;
    QCheckBox* cbForceGrab;
    QPushButton* Button1;

    // The status bar's text for a progress event: "progress / max".
    void WebBrowser1ProgressChange(int progress, int progressMax);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Place(QWidget* control, const QRect& design, unsigned anchors);
    std::vector<TAnchoredControl> anchored_;
};
