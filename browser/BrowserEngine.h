#pragma once
// The embedded engine as the program sees it: something that makes browsers. The program does
// not link Qt WebEngine; the engine comes from a plugin (quorvane-webengine.so) loaded the first
// time a browser is needed (see EngineLoader), so a board that never reads a day view never maps
// the engine's libraries.
#include <QtPlugin>
#include <memory>

#include "browser/BrowserControl.h"
#include "browser/CalendarTrust.h"

class QWidget;

namespace quorvane {

// A browser and the widget that shows its page (no parent yet; the control deletes it unless
// whoever places it deletes it first).
struct EngineBrowser {
    std::unique_ptr<BrowserControl> control;
    QWidget* view = nullptr;
};

class BrowserEngine {
public:
    virtual ~BrowserEngine() = default;
    // A browser of its own (its own profile and so its own cookies) trusting trust.
    virtual EngineBrowser makeBrowser(const CalendarTrust& trust) = 0;
};

}  // namespace quorvane

#define QuorvaneBrowserEngineIid "org.quorvane.BrowserEngine/1"
Q_DECLARE_INTERFACE(quorvane::BrowserEngine, QuorvaneBrowserEngineIid)
