#include "cloud/CloudHttp.h"

#include <QDateTime>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QTimer>

#include <algorithm>

namespace {

QString hostKey(const QUrl& url) {
    const int defaultPort = url.scheme().toLower() == u"https" ? 443 : 80;
    return url.host().toLower() + u':' + QString::number(url.port(defaultPort));
}

}  // namespace

bool isAllowedCloudAddress(const QUrl& url) {
    if (!url.isValid() || url.host().isEmpty()) return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == u"https") return true;
    if (scheme != u"http") return false;
    const QString host = url.host().toLower();
    return host == u"localhost" || QHostAddress(host).isLoopback();
}

std::optional<int> retryAfterSeconds(const QByteArray& header) {
    const QByteArray text = header.trimmed();
    if (text.isEmpty()) return std::nullopt;
    bool number = false;
    long long seconds = text.toLongLong(&number);
    if (!number) {
        // An HTTP date ends in "GMT", which Qt's RFC 2822 reading wants as an offset.
        QString date = QString::fromLatin1(text);
        if (date.endsWith(u"GMT")) date = date.chopped(3) + QStringLiteral("+0000");
        const QDateTime when = QDateTime::fromString(date, Qt::RFC2822Date);
        if (!when.isValid()) return std::nullopt;
        seconds = QDateTime::currentDateTimeUtc().secsTo(when);
    }
    return static_cast<int>(std::clamp<long long>(seconds, 0, CloudMaxRetryAfterSeconds));
}

CloudHttp::CloudHttp(CloudHttpSettings settings)
    : settings_(std::move(settings)), context_(std::make_unique<QObject>()) {}

CloudHttp::~CloudHttp() { abort(); }

void CloudHttp::send(CloudRequest request, Done done) {
    if (!isAllowedCloudAddress(request.url))
        return failSoon(std::move(done), "refused to send to " + request.url.toString(QUrl::RemoveUserInfo | QUrl::RemoveQuery).toStdString() +
                                             ": neither HTTPS nor a loopback address");
    const QString host = hostKey(request.url);
    hosts_[host].waiting.push_back({std::move(request), std::move(done)});
    pump(host);
}

void CloudHttp::abort() {
    hosts_.clear();
    // The contexts go first, so that aborting a reply cannot call back into this object.
    std::map<std::uint64_t, Running> running = std::move(running_);
    running_.clear();
    for (auto& [id, job] : running) {
        job.context.reset();
        job.reply->abort();
        job.reply->deleteLater();
    }
    context_ = std::make_unique<QObject>();
}

void CloudHttp::failSoon(Done done, std::string reason) {
    QTimer::singleShot(0, context_.get(), [done = std::move(done), reason = std::move(reason)] {
        CloudResponse response;
        response.failure = reason;
        done(std::move(response));
    });
}

void CloudHttp::pump(const QString& host) {
    HostQueue& queue = hosts_[host];
    while (queue.active < settings_.requestsPerHost && !queue.waiting.empty()) {
        Pending pending = std::move(queue.waiting.front());
        queue.waiting.pop_front();
        ++queue.active;
        start(host, std::move(pending));
    }
}

void CloudHttp::start(const QString& host, Pending pending) {
    // Made at the first request, in the thread that runs the event loop.
    if (!manager_) manager_ = std::make_unique<QNetworkAccessManager>();
    const CloudRequest& request = pending.request;
    QNetworkRequest network(request.url);
    // A redirect would carry the Authorization header somewhere unchecked: it ends the request.
    network.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    network.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    network.setHeader(QNetworkRequest::UserAgentHeader, QByteArray("Quorvane"));
    for (const auto& [name, value] : request.headers) network.setRawHeader(name, value);
    if (!settings_.extraCa.isEmpty() && request.url.scheme().toLower() == u"https") {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.addCaCertificates(settings_.extraCa);
        network.setSslConfiguration(tls);
    }

    const std::uint64_t id = nextId_++;
    Running& job = running_[id];
    job.host = host;
    job.done = std::move(pending.done);
    job.context = std::make_unique<QObject>();
    QObject* context = job.context.get();
    job.reply = request.method == "GET" ? manager_->get(network)
                                        : manager_->sendCustomRequest(network, request.method, request.body);
    QNetworkReply* reply = job.reply;
    auto* timer = new QTimer(context);
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, context, [this, id] { finish(id, {0, {}, {}, std::string(CloudTimedOut)}); });
    QObject::connect(reply, &QNetworkReply::metaDataChanged, context, [this, id, reply] {
        bool known = false;
        const qint64 length = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
        if (known && length > settings_.maxBytes) finish(id, {0, {}, {}, std::string(CloudTooLarge)});
    });
    QObject::connect(reply, &QNetworkReply::readyRead, context, [this, id, reply] {
        QByteArray& data = running_[id].data;
        data += reply->readAll();
        if (data.size() > settings_.maxBytes) finish(id, {0, {}, {}, std::string(CloudTooLarge)});
    });
    QObject::connect(reply, &QNetworkReply::finished, context, [this, id, reply] {
        CloudResponse response;
        response.body = running_[id].data + reply->readAll();
        if (response.body.size() > settings_.maxBytes) return finish(id, {0, {}, {}, std::string(CloudTooLarge)});
        response.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (response.status == 0) response.failure = "unreachable (" + reply->errorString().toStdString() + ")";
        response.retryAfterSeconds = retryAfterSeconds(reply->rawHeader("Retry-After"));
        finish(id, std::move(response));
    });
    timer->start(settings_.timeoutMs);
}

void CloudHttp::finish(std::uint64_t id, CloudResponse response) {
    auto found = running_.find(id);
    if (found == running_.end()) return;
    Running job = std::move(found->second);
    running_.erase(found);
    job.context.reset();
    job.reply->abort();
    job.reply->deleteLater();
    --hosts_[job.host].active;
    pump(job.host);
    job.done(std::move(response));
}
