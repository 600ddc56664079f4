#pragma once
// One off-screen QApplication for the widget tests of a binary.
#include <QApplication>
#include <cstdlib>

inline QApplication& qtTestApp() {
    static int argc = 1;
    static char name[] = "quorvane-test";
    static char* argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// A first base or member that makes sure the application exists before any widget.
struct QtAppFirst {
    QtAppFirst() { qtTestApp(); }
};
