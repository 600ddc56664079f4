#pragma once
// The embedded browser on Qt WebEngine: navigation that returns at once, one document-complete
// event per finished load, load progress, the location, the root element's markup, one profile
// (and so one cookie jar) for the control's life, and HTTPS trust for the calendar host from
// extra certificates.
#include <QObject>
#include <QPointer>
#include <QWebEngineView>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "browser/BrowserControl.h"
#include "browser/CalendarTrust.h"
#include "browser/EngineProcess.h"

class QWebEngineCertificateError;
class QWebEnginePage;
class QWebEngineProfile;
class QWidget;

namespace quorvane {

class WebEngineControl final : public QObject, public BrowserControl {
    Q_OBJECT
public:
    explicit WebEngineControl(QWidget* parent, CalendarTrust trust = {});
    ~WebEngineControl() override;

    void navigate(const std::string& url) override;
    // The current document's address; empty before any navigation and while the engine shows
    // its own error page (no answer from the server).
    std::string locationUrl() const override;
    void readMarkup(std::function<void(std::optional<std::string>)> done) override;
    void startPass() override;
    std::string errorPageReason() const override { return errorPageReason_; }
    void abortWaits() override;

    QWebEngineView* view() const { return view_; }
    QWebEnginePage* page() const { return page_; }

private:
    struct MarkupRead;
    void onCertificateError(const QWebEngineCertificateError& error);

    CalendarTrust trust_;
    QWebEngineProfile* profile_;
    QWebEnginePage* page_;
    QPointer<QWebEngineView> view_;
    bool showsEngineErrorPage_ = false;  // the last load failed before the server answered
    std::string errorPageReason_;        // why, when it did
    std::string refusedCertificate_;     // the certificate refused during the load under way
    bool aborted_ = false;               // the program is stopping: every pass ends at once
    QTimer passTimer_;                   // the pass under way; a completed document ends it early
    std::shared_ptr<MarkupRead> markupRead_;  // the markup read under way, if any
};

}  // namespace quorvane
