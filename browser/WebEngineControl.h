#pragma once
// The embedded browser on Qt WebEngine: navigation that returns at once, one document-complete
// event per finished load, load progress, the location, the root element's markup, one profile
// (and so one cookie jar) for the control's life, and HTTPS trust for the calendar host from
// extra certificates.
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSslCertificate>
#include <QWebEngineView>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "browser/BrowserControl.h"

class QWebEngineCertificateError;
class QWebEnginePage;
class QWebEngineProfile;

class QWidget;

// The certificates trusted, beyond the system's store, for one host (and port).
struct CalendarTrust {
    QString host;        // empty: no extra trust
    int port = 0;        // the HTTPS port the host is reached on
    QList<QSslCertificate> certificates;

    // Whether a certificate error for url with this presented chain is to be accepted.
    bool accepts(const QString& url, const QList<QSslCertificate>& chain) const;
};
// The trust for "host[:port]" in the given certificates (read by calendarfetch's loadCalendarCa).
CalendarTrust calendarTrust(const std::string& calendarHost, QList<QSslCertificate> certificates);

// Sets, before the application object exists, what Chromium needs here: no sandbox as root
// (keeping flags the user set), quiet logging, a private runtime directory, shared GL contexts.
// Returns the runtime directory it created, or an empty text.
std::string prepareWebEngineProcess();

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
