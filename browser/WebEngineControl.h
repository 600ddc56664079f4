#pragma once
// The embedded browser on Qt WebEngine: navigation that returns at once, one document-complete
// event per finished load, load progress, the location, the root element's markup, one profile
// (and so one cookie jar) for the control's life, and HTTPS trust for the calendar host from
// extra certificates.
#include <QList>
#include <QObject>
#include <QEventLoop>
#include <QPointer>
#include <QSslCertificate>
#include <QWebEngineView>
#include <QString>
#include <optional>
#include <string>

#include "browser/BrowserControl.h"

class QEventLoop;
class QWebEngineCertificateError;
class QWebEnginePage;
class QWebEngineProfile;

class QWidget;

// The certificates trusted, beyond the system's store, for one host (and port).
struct TCalendarTrust {
    QString Host;        // empty: no extra trust
    int Port = 0;        // the HTTPS port the host is reached on
    QList<QSslCertificate> Certificates;

    // Whether a certificate error for url with this presented chain is to be accepted.
    bool Accepts(const QString& url, const QList<QSslCertificate>& chain) const;
};
// "host[:port]" and the PEM file's certificates; raises EQuorvaneError when the file holds none
// or cannot be read.
TCalendarTrust LoadCalendarTrust(const std::string& calendarHost, const std::string& pemFile);

// Sets, before the application object exists, what Chromium needs here: no sandbox as root
// (keeping flags the user set), quiet logging, a private runtime directory, shared GL contexts.
// Returns the runtime directory it created, or an empty text.
std::string PrepareWebEngineProcess();

class TWebEngineControl final : public QObject, public TBrowserControl {
    Q_OBJECT
public:
    explicit TWebEngineControl(QWidget* parent, TCalendarTrust trust = {});
    ~TWebEngineControl() override;

    void Navigate(const std::string& url) override;
    // The current document's address; empty before any navigation and while the engine shows
    // its own error page (no answer from the server).
    std::string LocationURL() const override;
    TVariant DocumentElementInnerHTML() override;
    void RunWaitPass() override;

    QWebEngineView* View() const { return view_; }
    QWebEnginePage* Page() const { return page_; }

private:
    // Runs loop for one pass (less when something quits it first).
    void RunPass(QEventLoop& loop);
    void OnCertificateError(const QWebEngineCertificateError& error);

    TCalendarTrust trust_;
    QWebEngineProfile* profile_;
    QWebEnginePage* page_;
    QPointer<QWebEngineView> view_;
    bool showsEngineErrorPage_ = false;  // the last load failed before the server answered
    QPointer<QEventLoop> passLoop_;  // the pass running now, ended early by a completed document
};
