#include "calendarfetch/CalendarFetcher.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QTimer>

#include "calendarfetch/CalDavQuery.h"
#include "calendarfetch/CalendarRequest.h"

namespace quorvane {

namespace {

QString hostKey(const QUrl& url) {
    const int defaultPort = url.scheme().toLower() == u"https" ? 443 : 80;
    return url.host().toLower() + u':' + QString::number(url.port(defaultPort));
}

QByteArray bytes(std::string_view text) { return QByteArray(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

CalendarFetcher::CalendarFetcher(CalendarFetchSettings settings) : settings_(std::move(settings)) {}

CalendarFetcher::~CalendarFetcher() {
    for (Job& job : jobs_) dropReply(job);
}

void CalendarFetcher::start(const std::vector<FetchTarget>& sources, QDate day) {
    abort();
    // Made at the first grab, in the thread that runs the event loop (a board with no calendar
    // addresses never makes one).
    if (!manager_) {
        manager_ = std::make_unique<QNetworkAccessManager>();
        // Redirects are followed here, to bound them and to decide the method and credentials
        // of every step; nothing is cached between grabs.
        manager_->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    }
    jobs_.clear();
    hosts_.clear();
    results_.assign(sources.size(), {});
    jobs_.resize(sources.size());
    queryBody_ = calendarQueryBody(localDayRange(day));
    remaining_ = sources.size();

    for (std::size_t i = 0; i < sources.size(); ++i) {
        results_[i].person = sources[i].person;
        Job& job = jobs_[i];
        job.address = QUrl(sources[i].address.trimmed(), QUrl::StrictMode);
        if (!isReadableAddress(job.address)) {
            fail(i, "not an http or https address");
            continue;
        }
        if (carriesCredentials(job.address)) {
            fail(i, std::string(FailCredentialsInAddress));
            continue;
        }
        job.host = hostKey(job.address);
        job.phase = looksLikeFeed(job.address) ? Phase::Feed : Phase::Report;
        hosts_[job.host].waiting.push_back(i);
    }
    for (auto& [host, state] : hosts_) pump(host);
}

void CalendarFetcher::abort() {
    for (auto& [host, state] : hosts_) state.abandoned = true;
    for (std::size_t i = 0; i < jobs_.size(); ++i)
        if (!jobs_[i].done) fail(i, std::string(FailStopped));
}

void CalendarFetcher::pump(const QString& host) {
    HostQueue& state = hosts_[host];
    while (!state.abandoned && state.active < settings_.requestsPerHost && !state.waiting.empty()) {
        std::size_t index = state.waiting.front();
        state.waiting.pop_front();
        if (jobs_[index].done) continue;
        ++state.active;
        beginPhase(index, jobs_[index].phase);
    }
}

void CalendarFetcher::beginPhase(std::size_t index, Phase phase) {
    Job& job = jobs_[index];
    job.phase = phase;
    job.method = phase == Phase::Report ? bytes(CalDavReportMethod) : QByteArray("GET");
    job.body = phase == Phase::Report ? queryBody_ : QByteArray();
    job.current = job.address;
    job.redirects = 0;
    send(index, true);
}

void CalendarFetcher::send(std::size_t index, bool restartTimer) {
    Job& job = jobs_[index];
    QTimer* oldTimer = job.timer;
    int remainingMs = oldTimer && !restartTimer ? std::max(0, oldTimer->remainingTime()) : settings_.timeoutMs;
    dropReply(job);
    job.data.clear();

    QNetworkRequest request(job.current);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArray("Quorvane"));
    if (job.method == bytes(CalDavReportMethod)) {
        request.setRawHeader("Depth", bytes(CalDavDepth));
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("application/xml; charset=utf-8"));
    } else {
        request.setRawHeader("Accept", "text/calendar, */*;q=0.5");
    }
    // Decided again at every redirect step: a move to plain HTTP or to another host must not
    // take the first host's password along.
    // A host reached only through a redirect gets a machine entry naming it, never the default
    // entry meant for the hosts the roster names. The header is set here for every request, so
    // Qt's own credential cache is never filled.
    const Netrc::Entries entries =
        sameHost(job.current, job.address) ? Netrc::Entries::WithDefault : Netrc::Entries::MachineOnly;
    if (mayCarryCredentials(job.current))
        if (std::optional<NetrcCredentials> credentials = settings_.netrc.find(job.current.host().toStdString(), entries))
            request.setRawHeader("Authorization", basicAuthorization(credentials->login, credentials->password));
    if (!settings_.extraCa.isEmpty() && job.current.scheme().toLower() == u"https") {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.addCaCertificates(settings_.extraCa);
        request.setSslConfiguration(tls);
    }

    job.context = std::make_unique<QObject>();
    QObject* context = job.context.get();
    job.reply = job.method == "GET" ? manager_->get(request)
                                    : manager_->sendCustomRequest(request, job.method, job.body);
    job.reply->setReadBufferSize(settings_.readBufferBytes);
    job.timer = new QTimer(context);
    job.timer->setSingleShot(true);
    QObject::connect(job.timer, &QTimer::timeout, context, [this, index] { onTimeout(index); });
    QObject::connect(job.reply, &QNetworkReply::readyRead, context, [this, index] { onReadyRead(index); });
    QObject::connect(job.reply, &QNetworkReply::metaDataChanged, context, [this, index] { onMetaData(index); });
    QObject::connect(job.reply, &QNetworkReply::finished, context, [this, index] { onFinished(index); });
    job.timer->start(remainingMs);
}

void CalendarFetcher::onReadyRead(std::size_t index) {
    Job& job = jobs_[index];
    // Checked before the bytes are taken: an answer over the cap is dropped with at most one
    // read buffer beyond it.
    if (job.data.size() + job.reply->bytesAvailable() > settings_.maxBytes)
        return fail(index, std::string(FailTooLarge));
    job.data += job.reply->readAll();
}

void CalendarFetcher::onMetaData(std::size_t index) {
    Job& job = jobs_[index];
    bool known = false;
    const qint64 length = job.reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
    if (known && length > settings_.maxBytes) fail(index, std::string(FailTooLarge));
}

void CalendarFetcher::onFinished(std::size_t index) {
    Job& job = jobs_[index];
    QNetworkReply* reply = job.reply;
    job.data += reply->readAll();
    if (job.data.size() > settings_.maxBytes) return fail(index, std::string(FailTooLarge));
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == 0)
        return fail(index, "unreachable (" + reply->errorString().toStdString() + ")");

    if (isRedirectStatus(status)) {
        std::optional<QUrl> target = redirectTarget(job.current, reply->rawHeader("Location"));
        if (!target) return fail(index, "HTTP " + std::to_string(status) + " without a usable address to go to");
        if (const std::string_view refused = redirectRefusal(job.current, *target); !refused.empty())
            return fail(index, std::string(refused));
        if (++job.redirects > settings_.maxRedirects)
            return fail(index, "too many redirects (more than " + std::to_string(settings_.maxRedirects) + ")");
        if (!redirectKeepsMethod(status, job.method)) {
            job.method = "GET";
            job.body.clear();
        }
        job.current = *target;
        return send(index, false);
    }

    if (job.phase == Phase::Report && job.method != "GET") {
        if (status != MultiStatusCode) return beginPhase(index, Phase::Feed);
        MultiStatus answer = parseMultiStatus(job.data);
        if (!answer.ok) return fail(index, answer.error);
        return succeed(index, std::move(answer.calendars));
    }
    // A feed, or a REPORT a 303 turned into a GET.
    if (status < 200 || status > 299) return fail(index, "HTTP " + std::to_string(status));
    if (!startsAsICalendar(job.data)) return fail(index, std::string(FailNotICalendar));
    succeed(index, {job.data.toStdString()});
}

void CalendarFetcher::onTimeout(std::size_t index) {
    const QString host = jobs_[index].host;
    hosts_[host].abandoned = true;
    fail(index, std::string(FailTimedOut));
    // The host is not answering: the other people on it keep what they had for this grab
    // instead of each waiting out a limit of their own.
    for (std::size_t i = 0; i < jobs_.size(); ++i)
        if (!jobs_[i].done && jobs_[i].host == host)
            fail(i, "skipped (" + host.toStdString() + " timed out for another calendar)");
}

void CalendarFetcher::succeed(std::size_t index, std::vector<std::string> calendars) {
    if (jobs_[index].done) return;
    results_[index].ok = true;
    results_[index].calendars = std::move(calendars);
    finish(index);
}

void CalendarFetcher::fail(std::size_t index, std::string reason) {
    if (jobs_[index].done) return;
    results_[index].ok = false;
    results_[index].calendars.clear();
    results_[index].failure = std::move(reason);
    finish(index);
}

void CalendarFetcher::finish(std::size_t index) {
    Job& job = jobs_[index];
    if (job.done) return;
    job.done = true;
    --remaining_;
    const bool wasActive = job.reply != nullptr;
    dropReply(job);
    if (wasActive && !job.host.isEmpty()) {
        --hosts_[job.host].active;
        pump(job.host);
    }
    if (onResult) onResult(results_[index]);
}

void CalendarFetcher::dropReply(Job& job) {
    // The context goes first, so that aborting cannot call back into this object.
    job.timer = nullptr;
    job.context.reset();
    if (job.reply) {
        job.reply->abort();
        job.reply->deleteLater();
        job.reply = nullptr;
    }
}

}  // namespace quorvane
