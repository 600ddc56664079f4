#pragma once
// The one application object of an in-process WebEngine test binary: offscreen, the engine's
// process set up once (its private runtime directory removed at exit), the engine linked in
// provided to whatever would load its plugin.
#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "browser/EngineLoader.h"
#include "browser/WebEngineBrowsers.h"
#include "browser/WebEngineControl.h"

namespace quorvane {

namespace e2e {

inline QApplication& webEngineTestApp() {
    static int argc = 1;
    static char name[] = "quorvane-webengine-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static const std::string runtime = prepareWebEngineProcess();
        std::atexit([] {
            if (!runtime.empty()) std::filesystem::remove_all(runtime);
        });
        provideBrowserEngine(&webEngineBrowsers());
        return new QApplication(argc, argv);
    }();
    return *app;
}

}  // namespace e2e

}  // namespace quorvane
