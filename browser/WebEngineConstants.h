#pragma once

namespace quorvane {

// Limits and literals of the Qt WebEngine browser control and its process settings.

// How long a markup read may wait for the page's answer before giving up with no markup (the
// fifty wait passes it was always given).
constexpr int MarkupReadLimitMs = 50 * 100;
// Qt's load progress is a percentage: it is reported as progress out of this maximum.
constexpr int ProgressMaximum = 100;
// The location reported before any page has been asked for.
constexpr const char* BlankPageUrl = "about:blank";
// Standard HTTPS port, for a calendar host given without one.
constexpr int HttpsDefaultPort = 443;

// Chromium settings: as root it refuses to start without leaving its sandbox.
constexpr const char* ChromiumFlagsVariable = "QTWEBENGINE_CHROMIUM_FLAGS";
constexpr const char* RootChromiumFlags = "--no-sandbox --disable-gpu --log-level=3";
constexpr const char* LoggingRulesVariable = "QT_LOGGING_RULES";
constexpr const char* QuietLoggingRules = "qt.webenginecontext=false;qt.webenginecontext.info=false;js=false";
// What the engine says, on the default category, whenever it runs without a GPU context (always
// so off-screen): no fault of the program's, and noise in a service's journal.
constexpr const char* NoGraphicsBackendMessage = "No suitable graphics backend found";
constexpr const char* RuntimeDirVariable = "XDG_RUNTIME_DIR";
constexpr const char* RuntimeDirTemplate = "/tmp/quorvane-runtime-XXXXXX";

// Where the engine's plugin is looked for, in order: beside the program (the build tree), then
// the library directory of the install tree the program sits in (a package unpacked anywhere),
// then the library directory it was built to be installed in.
constexpr const char* EnginePluginName = "quorvane-webengine.so";
constexpr const char* EnginePluginSubdirectory = "quorvane";
// Why a browser cannot be had when the plugin does not load: the log-in fails with this reason.
constexpr const char* EngineUnavailableReason = "browser engine not loaded";

}  // namespace quorvane
