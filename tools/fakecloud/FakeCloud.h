#pragma once
// The fake Microsoft identity + Graph and Google token + Calendar services, written from the
// documented request and response shapes. Each request is checked as strictly as the real
// service checks it (a request that fails a check is answered as the service would and counted
// as refused, with the reason on the log); calendars are answered from recorded responses
// (DATA/graph/USER.json, DATA/google/USER.json) in pages.
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonObject>
#include <QMap>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>

#include "tools/fakecloud/FakeHttp.h"
#include "tools/fakecloud/FakeJwt.h"

struct FakeCloudOptions {
    QString dataDir;                 // fake.json (the identities), graph/, google/
    int pageSize = 2;                // events per page
    int tokenLifetime = 3599;        // expires_in of every token, in seconds
    int retryAfter = 1;              // the Retry-After of a throttled answer
    QMap<QString, int> throttle;     // person → how many of their calendar requests get a 429
    QSet<QString> forbid;            // people whose calendars answer 403
    // When the recordings were made (UTC); set, every answer is moved by the time since then
    // (whole minutes; all-day entries by whole days), so the recordings read as today's.
    QDateTime recordedAt;
};

class FakeCloud {
public:
    using Log = std::function<void(const QString& line)>;

    // Raises std::runtime_error when the data folder's fake.json or public key is unusable.
    FakeCloud(FakeCloudOptions options, Log log);

    FakeResponse handle(const FakeRequest& request);

private:
    struct Token {
        QString kind;  // "m365" or "google"
        QString user;  // google: the person it acts as
        qint64 issuedMs = 0;
    };

    FakeResponse m365Token(const FakeRequest& request, const QString& tenant);
    FakeResponse googleToken(const FakeRequest& request);
    FakeResponse graphEvents(const FakeRequest& request, const QString& user);
    FakeResponse googleEvents(const FakeRequest& request, const QString& user);
    FakeResponse stats() const;
    // Answers a failed check and logs why.
    FakeResponse refuse(int status, const QByteArray& body, const QString& why);
    // The token of an "Authorization: Bearer" header when it is one issued here, of that kind.
    const Token* bearer(const FakeRequest& request, const QString& kind) const;
    bool expired(const Token& token) const;
    QString issue(const QString& kind, const QString& user);
    QJsonObject recorded(const QString& service, const QString& user) const;
    // An event moved as recordedAt asks.
    QJsonObject retimed(QJsonObject event) const;
    QString origin(const FakeRequest& request) const;

    FakeCloudOptions options_;
    Log log_;
    QDir data_;
    QJsonObject m365_;
    QJsonObject google_;
    std::unique_ptr<FakeJwtVerifier> verifier_;
    QMap<QString, Token> tokens_;
    QElapsedTimer clock_;
    qint64 expiredBeforeMs_ = -1;  // tokens issued up to then are expired (the control request)
    QMap<QString, int> throttled_;  // throttled answers given per person
    QMap<QString, int> counts_;     // the statistics /fake/stats shows
};
