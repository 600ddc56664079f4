// Qt's messages in journal mode: each at its priority, the browser engine's at debug, handed to
// the sink (the echo) when there is one and never to the program's log.
#include <gtest/gtest.h>

#include <QLoggingCategory>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "log/QtMessageRoute.h"

using namespace quorvane;

namespace {

Q_LOGGING_CATEGORY(engineContext, "qt.webenginecontext")
Q_LOGGING_CATEGORY(pageConsole, "js")
Q_LOGGING_CATEGORY(network, "qt.network.ssl")

TEST(QtMessageRouteTest, EachMessageReachesTheSinkAtItsPriorityTheEnginesAtDebug) {
    unsetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    routeQtMessages(true);
    // The engine's own processes are kept to fatal errors.
    ASSERT_NE(std::getenv("QTWEBENGINE_CHROMIUM_FLAGS"), nullptr);
    EXPECT_STREQ(std::getenv("QTWEBENGINE_CHROMIUM_FLAGS"), "--log-level=3");

    std::vector<std::pair<std::string, LogSeverity>> seen;
    setQtMessageSink([&](const std::string& text, LogSeverity severity) { seen.emplace_back(text, severity); });
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=true"));
    qWarning("WebEngineContext used before QtWebEngineCore::initialize() or OpenGL context creation failed.");
    qCInfo(engineContext) << "GL Type: disabled";
    qWarning("No suitable graphics backend found\n");
    qCWarning(pageConsole) << "Uncaught TypeError";
    qCWarning(network) << "certificate refused";
    qCritical("Cannot open the state file");
    qInfo("Session bus up");
    qDebug("quiet detail");
    setQtMessageSink(nullptr);

    const std::vector<std::pair<std::string, LogSeverity>> expected = {
        {"WebEngineContext used before QtWebEngineCore::initialize() or OpenGL context creation failed.", LogSeverity::Debug},
        {"GL Type: disabled", LogSeverity::Debug},
        {"No suitable graphics backend found", LogSeverity::Debug},
        {"Uncaught TypeError", LogSeverity::Debug},
        {"certificate refused", LogSeverity::Warning},
        {"Cannot open the state file", LogSeverity::Error},
        {"Session bus up", LogSeverity::Info},
        {"quiet detail", LogSeverity::Debug},
    };
    EXPECT_EQ(seen, expected);
}

}  // namespace
