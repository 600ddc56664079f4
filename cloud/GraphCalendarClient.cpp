#include "cloud/GraphCalendarClient.h"

#include <QUrlQuery>

#include "cloud/GraphEvents.h"

namespace {

QString text(std::string_view value) { return QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())); }

QByteArray formValue(const std::string& value) { return QUrl::toPercentEncoding(QString::fromStdString(value)); }

QString base(const QUrl& url) { return url.toString(QUrl::StripTrailingSlash); }

int portOf(const QUrl& url) { return url.port(url.scheme().toLower() == u"https" ? 443 : 80); }

bool sameOrigin(const QUrl& a, const QUrl& b) {
    return a.scheme().toLower() == b.scheme().toLower() && a.host().toLower() == b.host().toLower() && portOf(a) == portOf(b);
}

}  // namespace

GraphCalendarClient::GraphCalendarClient(GraphSettings settings)
    : CloudDayClient(settings.http), settings_(std::move(settings)) {}

void GraphCalendarClient::withToken(std::size_t index, std::function<void()> then) {
    if (!token_.isEmpty() && tokenAge_.isValid() && tokenAge_.elapsed() < tokenUsableMs_) {
        people_[index].token = token_;
        return then();
    }
    waiting_.emplace_back(index, std::move(then));
    if (!asking_) requestToken();
}

void GraphCalendarClient::dropToken(std::size_t index) {
    // Only the token the person was refused: several people refused at once renew it once.
    if (people_[index].token == token_) token_.clear();
}

void GraphCalendarClient::requestToken() {
    asking_ = true;
    ++tokenRequests_;
    const M365Credentials& credentials = settings_.credentials;
    CloudRequest request;
    request.url = QUrl(base(settings_.loginUrl) + u'/' + QString::fromStdString(credentials.tenant) + QStringLiteral("/oauth2/v2.0/token"));
    request.method = "POST";
    request.headers = {{"Content-Type", "application/x-www-form-urlencoded"}, {"Accept", "application/json"}};
    request.body = "client_id=" + formValue(credentials.clientId) + "&client_secret=" + formValue(credentials.clientSecret) +
                   "&scope=" + QUrl::toPercentEncoding(base(settings_.graphUrl) + QStringLiteral("/.default")) +
                   "&grant_type=client_credentials";
    http_.send(std::move(request), [this](CloudResponse response) { onToken(response); });
}

void GraphCalendarClient::onToken(const CloudResponse& response) {
    asking_ = false;
    auto waiting = std::move(waiting_);
    waiting_.clear();
    const TokenAnswer answer = readTokenAnswer(response);
    if (!answer.failure.empty()) {
        for (auto& [index, then] : waiting) {
            if (people_[index].done) continue;
            auto again = [this, index, then] { withToken(index, then); };
            if (!throttled(index, response, again, CloudTokenPrefix)) fail(index, answer.failure);
        }
        return;
    }
    token_ = answer.token;
    tokenAge_.start();
    tokenUsableMs_ = (answer.expiresIn - TokenRenewMarginSeconds) * 1000;
    // The people who asked use it even when it is too short-lived to keep.
    for (auto& [index, then] : waiting) {
        if (people_[index].done) continue;
        people_[index].token = token_;
        then();
    }
}

void GraphCalendarClient::grabEnded() {
    asking_ = false;
    waiting_.clear();
}

QUrl GraphCalendarClient::firstPage(std::size_t index) const {
    QUrl url(base(settings_.graphUrl) + QStringLiteral("/v1.0/users/") +
             QString::fromLatin1(QUrl::toPercentEncoding(QString::fromStdString(people_[index].user), "@")) +
             QStringLiteral("/calendarView"));
    QUrlQuery query;
    query.addQueryItem("startDateTime", window_.start.toString(Qt::ISODate));
    query.addQueryItem("endDateTime", window_.end.toString(Qt::ISODate));
    query.addQueryItem("$select", text(GraphEventFields));
    url.setQuery(query);
    return url;
}

CloudRequest GraphCalendarClient::pageRequest(const QUrl& url, const QByteArray& token) const {
    CloudRequest request;
    request.url = url;
    request.headers = {{"Authorization", "Bearer " + token},
                       {"Prefer", QByteArray(GraphUtcPreference.data(), GraphUtcPreference.size())},
                       {"Accept", "application/json"}};
    return request;
}

CloudDayClient::Page GraphCalendarClient::readPage(std::size_t index, const QJsonObject& answer) {
    const QJsonValue events = answer.value("value");
    if (!events.isArray()) return {std::string(CloudNotJson) + " (HTTP 200)", std::nullopt};
    for (const QJsonValue& event : events.toArray()) people_[index].events.append(event);
    const QString next = answer.value("@odata.nextLink").toString();
    if (next.isEmpty()) return {};
    const QUrl url(next, QUrl::StrictMode);
    // The link carries the person's token along: it may lead only to Graph itself.
    if (!url.isValid() || !sameOrigin(url, settings_.graphUrl)) return {std::string(CloudForeignNextLink), std::nullopt};
    return {{}, url};
}

CalendarDay GraphCalendarClient::dayOf(const QJsonArray& events) const { return graphCalendarDay(events, window_); }
