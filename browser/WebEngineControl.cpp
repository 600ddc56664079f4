#include "browser/WebEngineControl.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QFile>
#include <QLoggingCategory>
#include <QTimer>
#include <QUrl>
#include <QWebEngineCertificateError>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <cstdlib>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "browser/BrowserConstants.h"
#include "browser/MarkupScript.h"
#include "browser/WebEngineConstants.h"
#include "text/Errors.h"

bool TCalendarTrust::Accepts(const QString& url, const QList<QSslCertificate>& chain) const {
    if (Host.isEmpty() || Certificates.isEmpty()) return false;
    const QUrl address(url);
    if (address.host().compare(Host, Qt::CaseInsensitive) != 0) return false;
    if (address.port(HttpsDefaultPort) != Port) return false;
    for (const QSslCertificate& presented : chain)
        if (Certificates.contains(presented)) return true;
    return false;
}

TCalendarTrust LoadCalendarTrust(const std::string& calendarHost, const std::string& pemFile) {
    TCalendarTrust trust;
    const QUrl hostUrl(QStringLiteral("https://") + QString::fromStdString(calendarHost));
    trust.Host = hostUrl.host();
    trust.Port = hostUrl.port(HttpsDefaultPort);
    QFile file(QString::fromStdString(pemFile));
    if (!file.open(QIODevice::ReadOnly)) throw EQuorvaneError("Cannot read the certificate file \"" + pemFile + "\"");
    trust.Certificates = QSslCertificate::fromData(file.readAll(), QSsl::Pem);
    if (trust.Certificates.isEmpty())
        throw EQuorvaneError("The certificate file \"" + pemFile + "\" holds no PEM certificate");
    return trust;
}

std::string PrepareWebEngineProcess() {
    if (geteuid() == 0) {
        std::string flags = RootChromiumFlags;
        if (const char* user = std::getenv(ChromiumFlagsVariable); user && *user) flags = std::string(user) + " " + flags;
        setenv(ChromiumFlagsVariable, flags.c_str(), 1);
    }
    if (!std::getenv(LoggingRulesVariable)) setenv(LoggingRulesVariable, QuietLoggingRules, 1);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

    // Qt wants a runtime directory private to the user; make one when there is none.
    const char* runtime = std::getenv(RuntimeDirVariable);
    struct stat info {};
    if (runtime && *runtime && stat(runtime, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid() &&
        (info.st_mode & 0777) == 0700)
        return {};
    std::string dir = RuntimeDirTemplate;
    if (!mkdtemp(dir.data())) return {};  // mkdtemp makes it 0700
    setenv(RuntimeDirVariable, dir.c_str(), 1);
    return dir;
}

TWebEngineControl::TWebEngineControl(QWidget* parent, TCalendarTrust trust) : trust_(std::move(trust)) {
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
        if (OnDocumentComplete) OnDocumentComplete();
        // The pass ends with the document: a meta-refresh redirect completes its second document
        // 10-50 ms after the first, and a full pass would swallow both.
        if (passLoop_) passLoop_->quit();
    });
    connect(page_, &QWebEnginePage::loadProgress, this, [this](int percent) {
        if (OnProgressChange) OnProgressChange(percent, ProgressMaximum);
    });
    connect(page_, &QWebEnginePage::certificateError, this, &TWebEngineControl::OnCertificateError);
}

TWebEngineControl::~TWebEngineControl() {
    // The page must go before the profile, and the view before the page.
    delete view_.data();
    delete page_;
    delete profile_;
}

void TWebEngineControl::OnCertificateError(const QWebEngineCertificateError& error) {
    QWebEngineCertificateError decision = error;
    if (trust_.Accepts(error.url().toString(), error.certificateChain()))
        decision.acceptCertificate();
    else
        decision.rejectCertificate();
}

void TWebEngineControl::Navigate(const std::string& url) {
    page_->load(QUrl(QString::fromUtf8(url.data(), qsizetype(url.size()))));
}

std::string TWebEngineControl::LocationURL() const {
    const QUrl url = page_->url();
    if (showsEngineErrorPage_ || url.isEmpty() || url.toString() == QLatin1String(BlankPageUrl)) return {};
    return url.toString(QUrl::FullyEncoded).toStdString();
}

TVariant TWebEngineControl::DocumentElementInnerHTML() {
    // The answer arrives through the event loop; the pass waiting for it ends as soon as it does.
    struct TPendingMarkup {
        std::optional<QString> Value;
        QPointer<QEventLoop> Loop;
    };
    auto pending = std::make_shared<TPendingMarkup>();
    std::weak_ptr<TPendingMarkup> slot = pending;
    page_->runJavaScript(QString::fromUtf8(MarkupSerializerScript), QWebEngineScript::ApplicationWorld,
                         [slot](const QVariant& value) {
                             const auto target = slot.lock();
                             if (!target) return;
                             target->Value = value.toString();
                             if (target->Loop) target->Loop->quit();
                         });
    for (int pass = 0; pass < MarkupReadPassLimit && !pending->Value; ++pass) {
        QEventLoop loop;
        pending->Loop = &loop;
        RunPass(loop);
        pending->Loop = nullptr;
    }
    if (!pending->Value) return {};
    return TVariant{pending->Value->toUtf8().toStdString()};
}

void TWebEngineControl::RunWaitPass() {
    QEventLoop loop;
    RunPass(loop);
}

void TWebEngineControl::RunPass(QEventLoop& loop) {
    QElapsedTimer elapsed;
    elapsed.start();
    QTimer::singleShot(WaitPassMilliseconds, &loop, &QEventLoop::quit);
    QPointer<QEventLoop> outer = passLoop_;
    passLoop_ = &loop;
    const int result = loop.exec();
    passLoop_ = outer;
    if (result >= 0) return;
    // The application is quitting and its event loops no longer run: keep the pass's cadence
    // by sleeping out the rest of it and handling what is waiting.
    const qint64 left = WaitPassMilliseconds - elapsed.elapsed();
    if (left > 0) QThread::msleep(static_cast<unsigned long>(left));
    QCoreApplication::processEvents();
}
