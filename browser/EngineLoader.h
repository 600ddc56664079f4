#pragma once
// The embedded engine, loaded from its plugin the first time it is asked for and kept for the
// program's life. A plugin that is missing or does not load is no crash: the caller gets the
// reason in one line and a browser that fails every load with it (unavailableBrowser).
#include <memory>
#include <string>
#include <vector>

#include "browser/BrowserEngine.h"

namespace quorvane {

struct EngineLoad {
    BrowserEngine* engine = nullptr;  // null when it could not be loaded
    std::string failure;              // then: why, in one line
};

// Loads the plugin on the first call (each later call answers the same).
EngineLoad loadBrowserEngine();
// An engine linked into this process (a test binary): loadBrowserEngine answers it and looks for
// no plugin.
void provideBrowserEngine(BrowserEngine* engine);

// Every directory the plugin is looked for in, in order.
std::vector<std::string> enginePluginDirectories();

// A browser for when the engine cannot be had: each load ends at once on an error page ("browser
// engine not loaded"), each pass and markup read at once with nothing.
std::unique_ptr<BrowserControl> unavailableBrowser();

}  // namespace quorvane
