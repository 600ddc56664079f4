#include "tools/fakecloud/FakeCloud.h"

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include <stdexcept>

namespace quorvane {

namespace {

QByteArray json(const QJsonObject& object) { return QJsonDocument(object).toJson(QJsonDocument::Compact); }

QByteArray graphError(const QString& code, const QString& message) {
    return json({{"error", QJsonObject{{"code", code}, {"message", message}}}});
}

QByteArray googleError(int code, const QString& status, const QString& reason, const QString& message) {
    QJsonObject error{{"code", code}, {"message", message}, {"errors", QJsonArray{QJsonObject{{"reason", reason}}}}};
    if (!status.isEmpty()) error["status"] = status;
    return json({{"error", error}});
}

QByteArray oauthError(const QString& code, const QString& description) {
    return json({{"error", code}, {"error_description", description}});
}

// The form fields of a urlencoded body; false when a field repeats.
bool formFields(const QByteArray& body, QMap<QString, QString>& fields) {
    for (const QByteArray& pair : body.split('&')) {
        const qsizetype equals = pair.indexOf('=');
        QByteArray key = pair.left(equals), value = equals < 0 ? QByteArray() : pair.mid(equals + 1);
        key.replace('+', ' ');
        value.replace('+', ' ');
        const QString name = QString::fromUtf8(QByteArray::fromPercentEncoding(key));
        if (fields.contains(name)) return false;
        fields[name] = QString::fromUtf8(QByteArray::fromPercentEncoding(value));
    }
    return true;
}

// An instant written as the services take it: yyyy-MM-ddTHH:mm:ssZ (UTC).
QDateTime utcInstant(const QString& text) {
    static const QRegularExpression shape("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ$");
    return shape.match(text).hasMatch() ? QDateTime::fromString(text, Qt::ISODate) : QDateTime();
}

// A local day: 23 to 25 hours.
bool isDaySpan(const QDateTime& start, const QDateTime& end) {
    const qint64 seconds = start.secsTo(end);
    return start.isValid() && end.isValid() && seconds >= 23 * 3600 && seconds <= 25 * 3600;
}

QString onlyKeys(const QUrlQuery& query, const QStringList& allowed) {
    for (const auto& [key, value] : query.queryItems(QUrl::FullyDecoded))
        if (!allowed.contains(key)) return "unexpected query parameter " + key;
    return {};
}

}  // namespace

FakeCloud::FakeCloud(FakeCloudOptions options, Log log) : options_(std::move(options)), log_(std::move(log)), data_(options_.dataDir) {
    QFile file(data_.filePath("fake.json"));
    if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read " + file.fileName().toStdString());
    const QJsonObject identities = QJsonDocument::fromJson(file.readAll()).object();
    m365_ = identities.value("m365").toObject();
    google_ = identities.value("google").toObject();
    verifier_ = std::make_unique<FakeJwtVerifier>(data_.filePath(google_.value("publicKey").toString()).toStdString());
    clock_.start();
}

FakeResponse FakeCloud::handle(const FakeRequest& request) {
    static const QRegularExpression m365TokenPath("^/([^/]+)/oauth2/v2\\.0/token$");
    static const QRegularExpression graphPath("^/v1\\.0/users/([^/]+)/calendarView$");
    static const QRegularExpression googlePath("^/calendar/v3/calendars/([^/]+)/events$");
    const QString path = QString::fromUtf8(request.path);
    log_(QString::fromLatin1(request.method) + ' ' + path);
    if (path == u"/fake/stats") return stats();
    if (path == u"/fake/expire-tokens" && request.method == "POST") {
        expiredBeforeMs_ = clock_.elapsed();
        return {200, "{}", {}};
    }
    if (path == u"/token") return googleToken(request);
    if (auto match = m365TokenPath.match(path); match.hasMatch()) return m365Token(request, match.captured(1));
    if (auto match = graphPath.match(path); match.hasMatch()) return graphEvents(request, match.captured(1));
    if (auto match = googlePath.match(path); match.hasMatch()) return googleEvents(request, match.captured(1));
    return refuse(404, graphError("BadRequest", "Resource not found for the segment."), "unknown path " + path);
}

FakeResponse FakeCloud::refuse(int status, const QByteArray& body, const QString& why) {
    ++counts_["refused"];
    log_("fakecloud: refused: " + why);
    return {status, body, {}};
}

QString FakeCloud::origin(const FakeRequest& request) const { return "http://" + QString::fromLatin1(request.headers.value("host")); }

QString FakeCloud::issue(const QString& kind, const QString& user) {
    const QString value = kind + "-token-" + QString::number(tokens_.size() + 1) + "-" +
                          QString::number(QDateTime::currentMSecsSinceEpoch() % 100000);
    tokens_[value] = {kind, user, clock_.elapsed()};
    return value;
}

bool FakeCloud::expired(const Token& token) const {
    return token.issuedMs <= expiredBeforeMs_ || clock_.elapsed() - token.issuedMs > options_.tokenLifetime * 1000LL;
}

const FakeCloud::Token* FakeCloud::bearer(const FakeRequest& request, const QString& kind) const {
    const QByteArray header = request.headers.value("authorization");
    if (!header.startsWith("Bearer ")) return nullptr;
    auto found = tokens_.find(QString::fromLatin1(header.mid(7)));
    return found != tokens_.end() && found->kind == kind ? &*found : nullptr;
}

QJsonObject FakeCloud::recorded(const QString& service, const QString& user) const {
    QFile file(data_.filePath(service + "/" + user + ".json"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

QJsonObject FakeCloud::retimed(QJsonObject event) const {
    if (!options_.recordedAt.isValid()) return event;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const qint64 seconds = options_.recordedAt.secsTo(now) / 60 * 60;
    const qint64 days = options_.recordedAt.date().daysTo(now.date());
    const bool graphAllDay = event.value("isAllDay").toBool();
    for (const char* key : {"start", "end"}) {
        QJsonObject time = event.value(QLatin1String(key)).toObject();
        if (time.contains("date")) {
            time["date"] = QDate::fromString(time.value("date").toString(), Qt::ISODate).addDays(days).toString(Qt::ISODate);
        } else if (time.value("timeZone") == "UTC" && time.value("dateTime").toString().size() > 19) {
            // Graph's form: seven decimals, the zone beside it.
            const QString text = time.value("dateTime").toString();
            QDateTime at = QDateTime::fromString(text.left(19) + 'Z', Qt::ISODate);
            at = graphAllDay ? at.addDays(days) : at.addSecs(seconds);
            time["dateTime"] = at.toString("yyyy-MM-ddTHH:mm:ss") + text.mid(19);
        } else {
            const QDateTime at = QDateTime::fromString(time.value("dateTime").toString(), Qt::ISODate);
            time["dateTime"] = at.addSecs(seconds).toOffsetFromUtc(at.offsetFromUtc()).toString(Qt::ISODate);
        }
        event[QLatin1String(key)] = time;
    }
    return event;
}

FakeResponse FakeCloud::m365Token(const FakeRequest& request, const QString& tenant) {
    ++counts_["m365TokenRequests"];
    if (request.method != "POST") return refuse(405, oauthError("invalid_request", "POST only"), "token: method");
    if (!request.headers.value("content-type").startsWith("application/x-www-form-urlencoded"))
        return refuse(400, oauthError("invalid_request", "form body expected"), "token: content type");
    if (tenant != m365_.value("tenant").toString())
        return refuse(400, oauthError("invalid_tenant", "Tenant not found."), "token: tenant " + tenant);
    QMap<QString, QString> form;
    if (!formFields(request.body, form) || form.size() != 4) return refuse(400, oauthError("invalid_request", "fields"), "token: fields");
    if (form.value("grant_type") != u"client_credentials")
        return refuse(400, oauthError("unsupported_grant_type", "grant"), "token: grant_type");
    if (form.value("client_id") != m365_.value("clientId").toString())
        return refuse(400, oauthError("unauthorized_client", "Application not found."), "token: client_id");
    if (form.value("client_secret") != m365_.value("clientSecret").toString())
        return refuse(401, oauthError("invalid_client", "Invalid client secret provided."), "token: client_secret");
    if (form.value("scope") != origin(request) + "/.default")
        return refuse(400, oauthError("invalid_scope", "scope"), "token: scope " + form.value("scope"));
    return {200, json({{"token_type", "Bearer"}, {"expires_in", options_.tokenLifetime}, {"ext_expires_in", options_.tokenLifetime},
                       {"access_token", issue("m365", {})}}), {}};
}

FakeResponse FakeCloud::googleToken(const FakeRequest& request) {
    ++counts_["googleTokenRequests"];
    if (request.method != "POST") return refuse(405, oauthError("invalid_request", "POST only"), "google token: method");
    if (!request.headers.value("content-type").startsWith("application/x-www-form-urlencoded"))
        return refuse(400, oauthError("invalid_request", "form body expected"), "google token: content type");
    QMap<QString, QString> form;
    if (!formFields(request.body, form) || form.size() != 2 ||
        form.value("grant_type") != u"urn:ietf:params:oauth:grant-type:jwt-bearer")
        return refuse(400, oauthError("unsupported_grant_type", "Invalid grant_type."), "google token: fields");
    const VerifiedJwt jwt = verifier_->verify(form.value("assertion").toLatin1(), google_.value("privateKeyId").toString());
    if (!jwt.failure.empty()) return refuse(400, oauthError("invalid_grant", "Invalid JWT Signature."), "google token: " + QString::fromStdString(jwt.failure));
    const QJsonObject& claims = jwt.claims;
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const qint64 iat = claims.value("iat").toInteger(), exp = claims.value("exp").toInteger();
    QString wrong;
    if (claims.size() != 6) wrong = "claims other than iss, sub, scope, aud, iat, exp";
    else if (claims.value("iss").toString() != google_.value("clientEmail").toString()) wrong = "iss";
    else if (claims.value("scope") != "https://www.googleapis.com/auth/calendar.readonly") wrong = "scope";
    else if (claims.value("aud").toString() != origin(request) + "/token") wrong = "aud";
    else if (claims.value("sub").toString().isEmpty()) wrong = "sub";
    else if (iat > now + 60 || iat < now - 300 || exp <= now || exp - iat > 3600) wrong = "iat/exp";
    if (!wrong.isEmpty()) return refuse(400, oauthError("invalid_grant", "Invalid JWT: " + wrong), "google token: claim " + wrong);
    return {200, json({{"access_token", issue("google", claims.value("sub").toString())}, {"expires_in", options_.tokenLifetime},
                       {"token_type", "Bearer"}}), {}};
}

FakeResponse FakeCloud::graphEvents(const FakeRequest& request, const QString& user) {
    ++counts_["graphRequests"];
    const Token* token = bearer(request, "m365");
    if (!token) return refuse(401, graphError("InvalidAuthenticationToken", "Access token is empty."), "graph: no token");
    if (expired(*token)) return {401, graphError("InvalidAuthenticationToken", "Access token has expired or is not yet valid."), {}};
    if (request.headers.value("prefer") != "outlook.timezone=\"UTC\"")
        return refuse(400, graphError("BadRequest", "Prefer"), "graph: Prefer header");
    const QUrlQuery& query = request.query;
    QString wrong = onlyKeys(query, {"startDateTime", "endDateTime", "$select", "$skiptoken"});
    if (wrong.isEmpty() && !isDaySpan(utcInstant(query.queryItemValue("startDateTime", QUrl::FullyDecoded)),
                                      utcInstant(query.queryItemValue("endDateTime", QUrl::FullyDecoded))))
        wrong = "startDateTime/endDateTime";
    if (wrong.isEmpty() && query.queryItemValue("$select", QUrl::FullyDecoded) !=
                               u"subject,location,start,end,showAs,sensitivity,isAllDay,isCancelled,responseStatus")
        wrong = "$select";
    if (!wrong.isEmpty()) return refuse(400, graphError("BadRequest", wrong), "graph: " + wrong);
    if (options_.forbid.contains(user)) return {403, graphError("ErrorAccessDenied", "Access is denied. Check credentials and try again."), {}};
    if (throttled_[user] < options_.throttle.value(user)) {
        ++throttled_[user];
        return {429, graphError("TooManyRequests", "Too many requests."), {{"Retry-After", QByteArray::number(options_.retryAfter)}}};
    }
    const QJsonObject calendar = recorded("graph", user);
    if (calendar.isEmpty()) return {404, graphError("ErrorInvalidUser", "The requested user is invalid."), {}};

    const QJsonArray events = calendar.value("value").toArray();
    const int skip = query.queryItemValue("$skiptoken").toInt();
    QJsonObject page{{"@odata.context", "fake"}, {"value", QJsonArray()}};
    QJsonArray slice;
    for (int i = skip; i < events.size() && i < skip + options_.pageSize; ++i) slice.append(retimed(events[i].toObject()));
    page["value"] = slice;
    if (skip + options_.pageSize < events.size()) {
        QUrlQuery next(query);
        next.removeAllQueryItems("$skiptoken");
        next.addQueryItem("$skiptoken", QString::number(skip + options_.pageSize));
        // Like the real service, the link names the service's own host, however it was addressed.
        const QString own = "http://127.0.0.1:" + QString::fromLatin1(request.headers.value("host")).section(':', -1);
        page["@odata.nextLink"] = own + "/v1.0/users/" + user + "/calendarView?" + next.query(QUrl::FullyEncoded);
    }
    return {200, json(page), {}};
}

FakeResponse FakeCloud::googleEvents(const FakeRequest& request, const QString& user) {
    ++counts_["googleRequests"];
    const Token* token = bearer(request, "google");
    if (!token) return refuse(401, googleError(401, "UNAUTHENTICATED", "authError", "Invalid Credentials"), "google: no token");
    if (expired(*token)) return {401, googleError(401, "UNAUTHENTICATED", "authError", "Invalid Credentials"), {}};
    // Delegation gives the token the person's own calendar, no one else's.
    if (token->user != user) return refuse(403, googleError(403, "PERMISSION_DENIED", "forbidden", "Forbidden"), "google: token of another person");
    const QUrlQuery& query = request.query;
    QString wrong = onlyKeys(query, {"timeMin", "timeMax", "singleEvents", "orderBy", "maxResults", "pageToken"});
    if (wrong.isEmpty() && !isDaySpan(utcInstant(query.queryItemValue("timeMin", QUrl::FullyDecoded)),
                                      utcInstant(query.queryItemValue("timeMax", QUrl::FullyDecoded))))
        wrong = "timeMin/timeMax";
    if (wrong.isEmpty() && (query.queryItemValue("singleEvents") != u"true" || query.queryItemValue("orderBy") != u"startTime" ||
                            query.queryItemValue("maxResults") != u"250"))
        wrong = "singleEvents/orderBy/maxResults";
    if (!wrong.isEmpty()) return refuse(400, googleError(400, "INVALID_ARGUMENT", "badRequest", wrong), "google: " + wrong);
    if (options_.forbid.contains(user)) return {403, googleError(403, "PERMISSION_DENIED", "forbidden", "Not allowed"), {}};
    if (throttled_[user] < options_.throttle.value(user)) {
        ++throttled_[user];
        return {429, googleError(429, "RESOURCE_EXHAUSTED", "rateLimitExceeded", "Rate Limit Exceeded"),
                {{"Retry-After", QByteArray::number(options_.retryAfter)}}};
    }
    const QJsonObject calendar = recorded("google", user);
    // The API's own 404 names no status, only the reason.
    if (calendar.isEmpty()) return {404, googleError(404, {}, "notFound", "Not Found"), {}};

    const QJsonArray events = calendar.value("items").toArray();
    const QString pageToken = query.queryItemValue("pageToken");
    const int skip = pageToken.isEmpty() ? 0 : pageToken.mid(5).toInt();
    QJsonArray slice;
    for (int i = skip; i < events.size() && i < skip + options_.pageSize; ++i) slice.append(retimed(events[i].toObject()));
    QJsonObject page{{"kind", "calendar#events"}, {"summary", user}, {"items", slice}};
    if (skip + options_.pageSize < events.size()) page["nextPageToken"] = "page-" + QString::number(skip + options_.pageSize);
    return {200, json(page), {}};
}

FakeResponse FakeCloud::stats() const {
    QJsonObject object;
    for (const char* key : {"m365TokenRequests", "googleTokenRequests", "graphRequests", "googleRequests", "refused"})
        object[QLatin1String(key)] = counts_.value(QLatin1String(key));
    return {200, json(object), {}};
}

}  // namespace quorvane
