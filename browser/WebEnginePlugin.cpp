// The plugin the program loads at the first browser it needs: Qt WebEngine and everything it
// pulls in (Qt Quick, QML, Chromium's core) are mapped only from then on.
#include <QObject>

#include "browser/BrowserEngine.h"
#include "browser/WebEngineBrowsers.h"

namespace quorvane {

class WebEnginePlugin final : public QObject, public BrowserEngine {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QuorvaneBrowserEngineIid)
    Q_INTERFACES(quorvane::BrowserEngine)
public:
    EngineBrowser makeBrowser(const CalendarTrust& trust) override { return webEngineBrowsers().makeBrowser(trust); }
};

}  // namespace quorvane

#include "WebEnginePlugin.moc"
