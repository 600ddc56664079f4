#include "browser/WebEngineControl.h"

#include <QLoggingCategory>
#include <QTimer>
#include <QUrl>
#include <QWebEngineCertificateError>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <memory>

#include "browser/BrowserConstants.h"
#include "browser/MarkupScript.h"
#include "browser/WebEngineConstants.h"

namespace quorvane {

// One markup read: answered once, by the page, by its limit or by a stop, whichever comes first.
struct WebEngineControl::MarkupRead {
    std::function<void(std::optional<std::string>)> done;
    QTimer limit;
    void answer(std::optional<std::string> markup)
    {
        if (!done) return;
        auto call = std::move(done);
        done = nullptr;
        limit.stop();
        call(std::move(markup));
    }
};

WebEngineControl::WebEngineControl(QWidget* parent, CalendarTrust trust) : trust_(std::move(trust)) {
    // The engine reports its set-up on first use; rules given in the environment still win.
    static const bool quiet = [] {
        QLoggingCategory::setFilterRules(QString::fromLatin1(QuietLoggingRules).replace(QLatin1Char(';'), QLatin1Char('\n')));
        return true;
    }();
    (void)quiet;
    // An off-the-record profile keeps its cookies in memory for as long as it lives.
    profile_ = new QWebEngineProfile(this);
    page_ = new QWebEnginePage(profile_, nullptr);
    view_ = new QWebEngineView(parent);
    view_->setPage(page_);
    // A load that ends in a page (the server's or the engine's own error page) is a completed
    // document; one cut short by a newer navigation is not.
    connect(page_, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
        if (info.status() != QWebEngineLoadingInfo::LoadSucceededStatus &&
            info.status() != QWebEngineLoadingInfo::LoadFailedStatus)
            return;
        // The engine's own error page (server unreachable, refused, bad certificate) is no
        // document of the server's: it shows no location, so a capture keeps the page it had.
        showsEngineErrorPage_ = info.status() == QWebEngineLoadingInfo::LoadFailedStatus &&
                                info.errorDomain() != QWebEngineLoadingInfo::HttpStatusCodeDomain;
        errorPageReason_.clear();
        if (showsEngineErrorPage_) {
            errorPageReason_ = refusedCertificate_.empty()
                                   ? "calendar unreachable (" + info.errorString().toStdString() + ")"
                                   : "certificate refused (" + refusedCertificate_ + ")";
        }
        if (onDocumentComplete) onDocumentComplete();
        // The pass ends with the document: a meta-refresh redirect completes its second document
        // 10-50 ms after the first, and a full pass would swallow both.
        if (passTimer_.isActive()) passTimer_.start(0);
    });
    connect(page_, &QWebEnginePage::loadProgress, this, [this](int percent) {
        if (onProgressChange) onProgressChange(percent, ProgressMaximum);
    });
    connect(page_, &QWebEnginePage::certificateError, this, &WebEngineControl::onCertificateError);
    passTimer_.setSingleShot(true);
    connect(&passTimer_, &QTimer::timeout, this, [this] {
        if (onPassEnd) onPassEnd();
    });
}

WebEngineControl::~WebEngineControl() {
    // A read the page answers while it goes must not call back into its owner.
    if (markupRead_) markupRead_->done = nullptr;
    // The page must go before the profile, and the view before the page.
    delete view_.data();
    delete page_;
    delete profile_;
}

void WebEngineControl::onCertificateError(const QWebEngineCertificateError& error) {
    QWebEngineCertificateError decision = error;
    if (trust_.accepts(error.url().toString(), error.certificateChain()))
        decision.acceptCertificate();
    else {
        refusedCertificate_ = error.description().toStdString();
        if (refusedCertificate_.empty()) refusedCertificate_ = "not trusted";
        decision.rejectCertificate();
    }
}

void WebEngineControl::abortWaits() {
    aborted_ = true;
    page_->triggerAction(QWebEnginePage::Stop);
    if (passTimer_.isActive()) passTimer_.start(0);
    if (markupRead_) {
        // Answered from the event loop, as every read is.
        std::shared_ptr<MarkupRead> read = markupRead_;
        QTimer::singleShot(0, this, [read] { read->answer(std::nullopt); });
    }
}

void WebEngineControl::navigate(const std::string& url) {
    refusedCertificate_.clear();
    page_->load(QUrl(QString::fromUtf8(url.data(), qsizetype(url.size()))));
}

std::string WebEngineControl::locationUrl() const {
    const QUrl url = page_->url();
    if (showsEngineErrorPage_ || url.isEmpty() || url.toString() == QLatin1String(BlankPageUrl)) return {};
    return url.toString(QUrl::FullyEncoded).toStdString();
}

void WebEngineControl::readMarkup(std::function<void(std::optional<std::string>)> done) {
    auto read = std::make_shared<MarkupRead>();
    read->done = std::move(done);
    markupRead_ = read;
    if (aborted_) {
        QTimer::singleShot(0, this, [read] { read->answer(std::nullopt); });
        return;
    }
    read->limit.setSingleShot(true);
    connect(&read->limit, &QTimer::timeout, this, [weak = std::weak_ptr<MarkupRead>(read)] {
        if (const auto target = weak.lock()) target->answer(std::nullopt);
    });
    read->limit.start(MarkupReadLimitMs);
    // The answer arrives through the event loop; one that comes after the limit finds the read
    // answered already.
    page_->runJavaScript(QString::fromUtf8(MarkupSerializerScript), QWebEngineScript::ApplicationWorld,
                         [read](const QVariant& value) { read->answer(value.toString().toUtf8().toStdString()); });
}

void WebEngineControl::startPass() {
    passTimer_.start(aborted_ ? 0 : WaitPassMilliseconds);
}

}  // namespace quorvane
