#include "app/Application.h"

#include <QMessageBox>
#include <cstdio>
#include <cstdint>
#include <sstream>
#include <iomanip>

#include "app/AppConstants.h"
#include "board/FormConstants.h"
#include "text/Errors.h"

std::string ErrorBoxText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.'))
        return message + ".";
    return message;
}

std::string FatalErrorText(const std::string& className, const std::string& message, const void* address) {
    std::ostringstream text;
    text << "Exception " << className << " in module " << ProgramName << " at " << std::uppercase << std::hex
         << std::setw(8) << std::setfill('0') << reinterpret_cast<std::uintptr_t>(address) << ".\n"
         << message << "\n";
    return text.str();
}

TApplication::TApplication(int& argc, char** argv, bool headless) : QApplication(argc, argv), headless_(headless) {
    setApplicationName(QLatin1String(ProgramName));
    // The title goes on the error boxes only: as the display name, X11 would append it to every
    // window's caption.
    setQuitOnLastWindowClosed(false);  // the main window quits when its close is accepted
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowException(error);
    } catch (...) {
        ShowException(std::runtime_error("Unknown error"));
    }
    return false;
}

void TApplication::ShowException(const std::exception& error) { ShowBox(ApplicationTitle, ErrorBoxText(error.what())); }

void TApplication::ShowFatal(const std::exception& error) {
    const auto* known = dynamic_cast<const EQuorvaneError*>(&error);
    ShowBox(FatalErrorTitle, FatalErrorText(known ? known->ClassName() : "Exception", error.what(), &error));
}

void TApplication::ShowBox(const std::string& title, const std::string& text) {
    if (headless_) {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
        std::fflush(stderr);
        return;
    }
    QMessageBox::critical(nullptr, QString::fromStdString(title), QString::fromStdString(text));
}
