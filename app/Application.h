#pragma once
// The application object: every error that escapes an event handler is shown in the error box
// (on standard error when there is no screen) and the program goes on with its next event.
#include <QApplication>
#include <exception>
#include <string>

namespace quorvane {

// The error box's text: the message, with a full stop added when its last character sorts
// after ".".
std::string errorBoxText(const std::string& message);
// The fatal box's text for an error raised while the main window is built.
std::string fatalErrorText(const std::string& className, const std::string& message, const void* address);

class Application final : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv, bool headless);

    bool notify(QObject* receiver, QEvent* event) override;
    // The error box for an error escaping a handler.
    void showException(const std::exception& error);
    // The runtime's box for an error that stops the program.
    void showFatal(const std::exception& error);
    bool headless() const { return headless_; }

private:
    void showBox(const std::string& title, const std::string& text);
    bool headless_;
};

}  // namespace quorvane
