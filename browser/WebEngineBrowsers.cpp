#include "browser/WebEngineBrowsers.h"

#include <QQuickWindow>
#include <QSGRendererInterface>

#include "browser/WebEngineControl.h"

namespace quorvane {

namespace {

class WebEngineBrowsers final : public BrowserEngine {
public:
    EngineBrowser makeBrowser(const CalendarTrust& trust) override {
        // Loaded after the application object, the engine has not chosen its scene graph's API
        // itself: the first view must find OpenGL set, as a linked engine would have set it.
        static const bool graphicsSet = [] {
            const auto api = QQuickWindow::graphicsApi();
            if (api != QSGRendererInterface::OpenGL && api != QSGRendererInterface::Vulkan &&
                api != QSGRendererInterface::Metal && api != QSGRendererInterface::Direct3D11)
                QQuickWindow::setGraphicsApi(QSGRendererInterface::OpenGL);
            return true;
        }();
        (void)graphicsSet;
        auto control = std::make_unique<WebEngineControl>(nullptr, trust);
        QWidget* view = control->view();
        return EngineBrowser{std::move(control), view};
    }
};

}  // namespace

BrowserEngine& webEngineBrowsers() {
    static WebEngineBrowsers engine;
    return engine;
}

}  // namespace quorvane
