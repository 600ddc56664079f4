#pragma once
// Microsoft 365 calendars through Microsoft Graph with one app identity (client-credentials
// grant): one token for every person, kept until five minutes before it expires and taken again
// once when Graph refuses it; each person's calendarView of the local day, page after page.
#include <QElapsedTimer>
#include <QUrl>

#include <functional>
#include <utility>
#include <vector>

#include "cloud/CloudDayClient.h"
#include "cloud/M365Credentials.h"

struct GraphSettings {
    M365Credentials credentials;
    QUrl loginUrl = QUrl(QString::fromLatin1(DefaultM365LoginUrl.data(), DefaultM365LoginUrl.size()));
    QUrl graphUrl = QUrl(QString::fromLatin1(DefaultM365GraphUrl.data(), DefaultM365GraphUrl.size()));
    CloudHttpSettings http;
};

class GraphCalendarClient : public CloudDayClient {
public:
    explicit GraphCalendarClient(GraphSettings settings);

    // Token requests sent since the client was made.
    int tokenRequests() const { return tokenRequests_; }

private:
    void withToken(std::size_t index, std::function<void()> then) override;
    void dropToken(std::size_t index) override;
    QUrl firstPage(std::size_t index) const override;
    CloudRequest pageRequest(const QUrl& url, const QByteArray& token) const override;
    Page readPage(std::size_t index, const QJsonObject& answer) override;
    CalendarDay dayOf(const QJsonArray& events) const override;
    void grabEnded() override;

    void requestToken();
    void onToken(const CloudResponse& response);

    GraphSettings settings_;
    QByteArray token_;
    QElapsedTimer tokenAge_;
    std::int64_t tokenUsableMs_ = 0;  // how long after tokenAge_ started the token may be used
    bool asking_ = false;
    // People waiting for the token being asked, with what they do once they have it.
    std::vector<std::pair<std::size_t, std::function<void()>>> waiting_;
    int tokenRequests_ = 0;
};
