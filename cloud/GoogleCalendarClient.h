#pragma once
// Google Workspace calendars through the Calendar API with one service account and domain-wide
// delegation: a token per person (an RS256-signed assertion naming them), kept until five
// minutes before it expires and taken again once when the API refuses it; each person's primary
// calendar for the local day, page after page.
#include <QElapsedTimer>
#include <QUrl>

#include <map>
#include <string>

#include "cloud/CloudDayClient.h"
#include "cloud/GoogleServiceAccount.h"
#include "cloud/RsaSigner.h"

struct GoogleSettings {
    GoogleServiceAccount account;
    QUrl apiUrl = QUrl(QString::fromLatin1(DefaultGoogleApiUrl.data(), DefaultGoogleApiUrl.size()));
    CloudHttpSettings http;
};

class GoogleCalendarClient : public CloudDayClient {
public:
    // Raises CloudCredentialsError when the account's private key cannot sign.
    explicit GoogleCalendarClient(GoogleSettings settings);

    int tokenRequests() const { return tokenRequests_; }

private:
    struct Token {
        QByteArray value;
        QElapsedTimer age;
        std::int64_t usableMs = 0;
    };

    void withToken(std::size_t index, std::function<void()> then) override;
    void dropToken(std::size_t index) override;
    QUrl firstPage(std::size_t index) const override;
    CloudRequest pageRequest(const QUrl& url, const QByteArray& token) const override;
    Page readPage(std::size_t index, const QJsonObject& answer) override;
    CalendarDay dayOf(const QJsonArray& events) const override;

    GoogleSettings settings_;
    RsaSigner signer_;
    std::map<std::string, Token> tokens_;  // by person
    int tokenRequests_ = 0;
};
