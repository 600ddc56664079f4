#pragma once
// What both cloud calendar clients share: a grab of many people's local day, each person's
// pages asked one after another with a bearer token, throttling waited out by timers, and each
// person's outcome reported by callback as soon as it is known. The services differ only in
// their token, their addresses and their event shapes (the subclasses).
#include <QJsonArray>
#include <QJsonObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cloud/CloudDay.h"
#include "cloud/CloudHttp.h"

class CloudDayClient {
public:
    using PersonDone = std::function<void(std::size_t index, CloudDayResult result)>;

    virtual ~CloudDayClient();
    CloudDayClient(const CloudDayClient&) = delete;
    CloudDayClient& operator=(const CloudDayClient&) = delete;

    // Starts reading each user's local day (users as USER@DOMAIN) and returns at once; needs a
    // Qt application object in this thread. onPersonDone is called once per user, from the event
    // loop, as each one's outcome is known (in any order), never from inside fetchDay(). A grab
    // still running is aborted first.
    void fetchDay(const std::vector<std::string>& users, QDate localDay, PersonDone onPersonDone);
    // Ends every request and every wait at once; no callback of this grab comes after it.
    void abort();
    // People of the grab whose outcome has not been reported yet.
    std::size_t remaining() const { return remaining_; }

protected:
    explicit CloudDayClient(CloudHttpSettings settings);

    struct Person {
        std::string user;
        int throttled = 0;       // 429/503 answers so far this grab
        bool renewed = false;    // the token was taken again after a 401
        bool done = false;
        QByteArray token;        // the bearer token the person's requests carry
        QJsonArray events;       // every page's events so far
    };
    struct Page {
        std::string failure;      // set when the page cannot be used
        std::optional<QUrl> next;  // the next page, when there is one
    };

    // Gives the person a token (person.token), then calls then(); or fails the person.
    virtual void withToken(std::size_t index, std::function<void()> then) = 0;
    // The person's token (still in person.token) was refused with a 401: it must not be used again.
    virtual void dropToken(std::size_t index) = 0;
    virtual QUrl firstPage(std::size_t index) const = 0;
    virtual CloudRequest pageRequest(const QUrl& url, const QByteArray& token) const = 0;
    // Appends the page's events to the person's and says where the next page is.
    virtual Page readPage(std::size_t index, const QJsonObject& answer) = 0;
    virtual CalendarDay dayOf(const QJsonArray& events) const = 0;
    // The grab ends (abort or a new grab): shared waits of the subclass go.
    virtual void grabEnded() {}

    // Sends the person's request; the answer reaches then() only while this grab runs.
    void send(std::size_t index, CloudRequest request, std::function<void(const CloudResponse&)> then);
    // A 429 or 503 with Retry-After: calls again() after the wait (holding up no one else) and
    // returns true; when the person's tries are used up the person fails (reason after prefix)
    // and it returns true too. Any other answer: false.
    bool throttled(std::size_t index, const CloudResponse& response, std::function<void()> again,
                   std::string_view prefix = {});
    void fail(std::size_t index, std::string reason);
    bool alive(std::size_t index, std::uint64_t grab) const { return grab == grab_ && !people_[index].done; }

    CloudHttp http_;
    std::vector<Person> people_;
    DayWindow window_;
    std::uint64_t grab_ = 0;

private:
    void askPage(std::size_t index, const QUrl& url);
    void onPage(std::size_t index, const QUrl& url, const CloudResponse& response);
    void report(std::size_t index, CloudDayResult result);

    PersonDone onPersonDone_;
    std::unique_ptr<QObject> waits_;  // owns the Retry-After timers; replaced when a grab ends
    std::size_t remaining_ = 0;
};

// Reads a token answer ({"access_token": ..., "expires_in": seconds}); the failure reason
// (prefixed "token request: ") when it is not one.
struct TokenAnswer {
    QByteArray token;
    std::int64_t expiresIn = 0;
    std::string failure;
};
TokenAnswer readTokenAnswer(const CloudResponse& response);
