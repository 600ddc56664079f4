#pragma once
// The engine on Qt WebEngine, for code linked with it: the plugin hands it out, and a test binary
// linked with the engine provides it in-process (provideBrowserEngine).
#include "browser/BrowserEngine.h"

namespace quorvane {

BrowserEngine& webEngineBrowsers();

}  // namespace quorvane
