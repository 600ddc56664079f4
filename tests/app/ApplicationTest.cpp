// The application object: an error escaping an event handler is reported with the title and
// the full-stop rule (on standard error without a screen) and the event loop goes on.
#include <gtest/gtest.h>

#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "app/Application.h"
#include "text/Errors.h"

using namespace quorvane;

namespace {

TEST(ApplicationTest, ErrorsEscapingHandlersAreReportedAndTheLoopGoesOn) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "quorvane-app-test";
    static char* argv[] = {name, nullptr};
    Application app(argc, argv, true);

    const std::string capture = (std::filesystem::temp_directory_path() /
                                 ("quorvane-app-stderr-" + std::to_string(getpid()))).string();
    std::fflush(stderr);
    const int saved = dup(fileno(stderr));
    ASSERT_NE(std::freopen(capture.c_str(), "w", stderr), nullptr);

    bool after = false;
    QTimer::singleShot(0, [] { throw ConvertError("'31/02/26' is not a valid date and time"); });
    QTimer::singleShot(5, [] { throw StringListError("List index out of bounds (2)"); });
    QTimer::singleShot(10, [&] {
        after = true;
        QCoreApplication::quit();
    });
    EXPECT_EQ(app.exec(), 0);

    std::fflush(stderr);
    dup2(saved, fileno(stderr));
    close(saved);
    std::ifstream in(capture);
    std::stringstream text;
    text << in.rdbuf();
    std::filesystem::remove(capture);

    EXPECT_TRUE(after);
    EXPECT_EQ(text.str(),
              "Quorvane by Orrin Vask: '31/02/26' is not a valid date and time.\n"
              "Quorvane by Orrin Vask: List index out of bounds (2)\n");
}

}  // namespace
