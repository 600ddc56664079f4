#include "cloud/GoogleCalendarClient.h"

#include <QDateTime>
#include <QUrlQuery>

#include "cloud/GoogleAssertion.h"
#include "cloud/GoogleEvents.h"

namespace {

QString text(std::string_view value) { return QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())); }

}  // namespace

GoogleCalendarClient::GoogleCalendarClient(GoogleSettings settings)
    : CloudDayClient(settings.http), settings_(std::move(settings)), signer_(settings_.account.privateKeyPem) {}

void GoogleCalendarClient::withToken(std::size_t index, std::function<void()> then) {
    Person& person = people_[index];
    const auto kept = tokens_.find(person.user);
    if (kept != tokens_.end() && kept->second.age.elapsed() < kept->second.usableMs) {
        person.token = kept->second.value;
        return then();
    }
    ++tokenRequests_;
    CloudRequest request;
    request.url = QUrl(QString::fromStdString(settings_.account.tokenUri));
    request.method = "POST";
    request.headers = {{"Content-Type", "application/x-www-form-urlencoded"}, {"Accept", "application/json"}};
    const QByteArray assertion =
        googleAssertion(settings_.account, signer_, person.user, QDateTime::currentSecsSinceEpoch());
    request.body = "grant_type=" + QUrl::toPercentEncoding(text(JwtBearerGrant)) + "&assertion=" + assertion;
    send(index, std::move(request), [this, index, then = std::move(then)](const CloudResponse& response) {
        const TokenAnswer answer = readTokenAnswer(response);
        if (!answer.failure.empty()) {
            if (!throttled(index, response, [this, index, then] { withToken(index, then); }, CloudTokenPrefix))
                fail(index, answer.failure);
            return;
        }
        Token& token = tokens_[people_[index].user];
        token.value = answer.token;
        token.age.start();
        token.usableMs = (answer.expiresIn - TokenRenewMarginSeconds) * 1000;
        people_[index].token = answer.token;
        then();
    });
}

void GoogleCalendarClient::dropToken(std::size_t index) { tokens_.erase(people_[index].user); }

QUrl GoogleCalendarClient::firstPage(std::size_t index) const {
    QUrl url(settings_.apiUrl.toString(QUrl::StripTrailingSlash) + QStringLiteral("/calendar/v3/calendars/") +
             QString::fromLatin1(QUrl::toPercentEncoding(QString::fromStdString(people_[index].user), "@")) + QStringLiteral("/events"));
    QUrlQuery query;
    query.addQueryItem("timeMin", window_.start.toString(Qt::ISODate));
    query.addQueryItem("timeMax", window_.end.toString(Qt::ISODate));
    query.addQueryItem("singleEvents", "true");
    query.addQueryItem("orderBy", "startTime");
    query.addQueryItem("maxResults", text(GoogleMaxResults));
    url.setQuery(query);
    return url;
}

CloudRequest GoogleCalendarClient::pageRequest(const QUrl& url, const QByteArray& token) const {
    CloudRequest request;
    request.url = url;
    request.headers = {{"Authorization", "Bearer " + token}, {"Accept", "application/json"}};
    return request;
}

CloudDayClient::Page GoogleCalendarClient::readPage(std::size_t index, const QJsonObject& answer) {
    const QJsonValue events = answer.value("items");
    if (!events.isArray()) return {std::string(CloudNotJson) + " (HTTP 200)", std::nullopt};
    for (const QJsonValue& event : events.toArray()) people_[index].events.append(event);
    const QString next = answer.value("nextPageToken").toString();
    if (next.isEmpty()) return {};
    QUrl url = firstPage(index);
    QUrlQuery query(url);
    query.addQueryItem("pageToken", next);
    url.setQuery(query);
    return {{}, url};
}

CalendarDay GoogleCalendarClient::dayOf(const QJsonArray& events) const { return googleCalendarDay(events, window_); }
