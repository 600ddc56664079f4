#pragma once
// What the embedded engine needs of the process before the application object exists. The
// engine itself is loaded later, from its plugin, and only when a day view is to be read or a
// window shows it; these settings cost nothing until then.
#include <string>

namespace quorvane {

// Sets, before the application object exists, what Chromium needs here: no sandbox as root
// (keeping flags the user set), quiet logging, a private runtime directory, shared GL contexts.
// Returns the runtime directory it created, or an empty text.
std::string prepareWebEngineProcess();

}  // namespace quorvane
