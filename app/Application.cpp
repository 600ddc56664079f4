#include "app/Application.h"

#include <QMessageBox>
#include <cstdio>
#include <cstdint>
#include <sstream>
#include <iomanip>

#include "app/AppConstants.h"
#include "app/MainWindowConstants.h"
#include "log/JournalStream.h"
#include "text/Errors.h"

namespace quorvane {

std::string errorBoxText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.'))
        return message + ".";
    return message;
}

std::string fatalErrorText(const std::string& className, const std::string& message, const void* address) {
    std::ostringstream text;
    text << "Exception " << className << " in module " << ProgramName << " at " << std::uppercase << std::hex
         << std::setw(8) << std::setfill('0') << reinterpret_cast<std::uintptr_t>(address) << ".\n"
         << message << "\n";
    return text.str();
}

Application::Application(int& argc, char** argv, bool headless) : QApplication(argc, argv), headless_(headless) {
    setApplicationName(QLatin1String(ProgramName));
    // The title goes on the error boxes only: as the display name, X11 would append it to every
    // window's caption.
    setQuitOnLastWindowClosed(false);  // the main window quits when its close is accepted
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        showException(error);
    } catch (...) {
        showException(std::runtime_error("Unknown error"));
    }
    return false;
}

void Application::showException(const std::exception& error) { showBox(ApplicationTitle, errorBoxText(error.what())); }

void Application::showFatal(const std::exception& error) {
    const auto* known = dynamic_cast<const QuorvaneError*>(&error);
    showBox(FatalErrorTitle, fatalErrorText(known ? known->className() : "Exception", error.what(), &error));
}

void Application::showBox(const std::string& title, const std::string& text) {
    if (headless_) {
        writeToStandardError(title + ": " + text, LogSeverity::Error);
        return;
    }
    QMessageBox::critical(nullptr, QString::fromStdString(title), QString::fromStdString(text));
}

}  // namespace quorvane
