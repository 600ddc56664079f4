#include "browser/EngineLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QObject>
#include <QPluginLoader>
#include <QTimer>

#include "browser/WebEngineConstants.h"

namespace quorvane {

namespace {

BrowserEngine* provided = nullptr;

std::string oneLine(QString text) {
    return text.replace(QLatin1Char('\n'), QLatin1Char(' ')).toStdString();
}

EngineLoad loadPlugin() {
    const std::vector<std::string> directories = enginePluginDirectories();
    std::string looked;
    for (const std::string& directory : directories) {
        const QString path = QDir(QString::fromStdString(directory)).filePath(QLatin1String(EnginePluginName));
        if (!QFileInfo::exists(path)) {
            looked += (looked.empty() ? "" : ", ") + directory;
            continue;
        }
        // Kept loaded for the program's life: the browsers it made run its code.
        static QPluginLoader loader;
        loader.setFileName(path);
        QObject* instance = loader.instance();
        if (!instance) return {nullptr, oneLine(loader.errorString())};
        if (auto* engine = qobject_cast<BrowserEngine*>(instance)) return {engine, {}};
        return {nullptr, path.toStdString() + " is not the browser engine's plugin"};
    }
    return {nullptr, std::string("no ") + EnginePluginName + " in " + looked};
}

// Ends each load at once on an error page, and every pass and read with nothing, from the event
// loop as a real engine would.
class UnavailableBrowser final : public BrowserControl {
public:
    explicit UnavailableBrowser(std::string reason) : reason_(std::move(reason)) {}
    void navigate(const std::string&) override {
        QTimer::singleShot(0, &guard_, [this] {
            if (onDocumentComplete) onDocumentComplete();
        });
    }
    void show(const std::string&) override {}
    std::string locationUrl() const override { return {}; }
    void readMarkup(std::function<void(std::optional<std::string>)> done) override {
        QTimer::singleShot(0, &guard_, [done = std::move(done)] { done(std::nullopt); });
    }
    void startPass() override {
        QTimer::singleShot(0, &guard_, [this] {
            if (onPassEnd) onPassEnd();
        });
    }
    std::string errorPageReason() const override { return reason_; }

private:
    std::string reason_;
    QObject guard_;  // what is still queued goes with the browser
};

}  // namespace

std::vector<std::string> enginePluginDirectories() {
    const QString programDir = QCoreApplication::applicationDirPath();
    std::vector<std::string> directories{programDir.toStdString()};
    const QString relative = QDir::cleanPath(programDir + QLatin1String("/../" QUORVANE_LIBDIR "/") +
                                             QLatin1String(EnginePluginSubdirectory));
    directories.push_back(relative.toStdString());
    const std::string installed = std::string(QUORVANE_FULL_LIBDIR "/") + EnginePluginSubdirectory;
    if (installed != directories.back()) directories.push_back(installed);
    return directories;
}

EngineLoad loadBrowserEngine() {
    if (provided) return {provided, {}};
    static const EngineLoad loaded = loadPlugin();
    return loaded;
}

void provideBrowserEngine(BrowserEngine* engine) { provided = engine; }

std::unique_ptr<BrowserControl> unavailableBrowser() {
    return std::make_unique<UnavailableBrowser>(EngineUnavailableReason);
}

}  // namespace quorvane
