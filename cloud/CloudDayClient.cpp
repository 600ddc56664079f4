#include "cloud/CloudDayClient.h"

#include <QJsonDocument>
#include <QTimer>

#include "cloud/CloudFailure.h"

CloudDayClient::CloudDayClient(CloudHttpSettings settings)
    : http_(std::move(settings)), waits_(std::make_unique<QObject>()) {}

CloudDayClient::~CloudDayClient() = default;

void CloudDayClient::fetchDay(const std::vector<std::string>& users, QDate localDay, PersonDone onPersonDone) {
    abort();
    window_ = localDayWindow(localDay);
    onPersonDone_ = std::move(onPersonDone);
    people_.assign(users.size(), {});
    remaining_ = users.size();
    for (std::size_t i = 0; i < users.size(); ++i) people_[i].user = users[i];
    // Started from the event loop, so that no outcome is reported inside fetchDay().
    const std::uint64_t grab = grab_;
    QTimer::singleShot(0, waits_.get(), [this, grab] {
        for (std::size_t i = 0; i < people_.size(); ++i)
            if (alive(i, grab)) askPage(i, firstPage(i));
    });
}

void CloudDayClient::abort() {
    ++grab_;
    http_.abort();
    waits_ = std::make_unique<QObject>();
    grabEnded();
    remaining_ = 0;
}

void CloudDayClient::askPage(std::size_t index, const QUrl& url) {
    const std::uint64_t grab = grab_;
    auto sendPage = [this, index, url, grab] {
        if (!alive(index, grab)) return;
        send(index, pageRequest(url, people_[index].token),
             [this, index, url](const CloudResponse& response) { onPage(index, url, response); });
    };
    // The person's later pages and retries carry the token their first request had.
    if (!people_[index].token.isEmpty()) return sendPage();
    withToken(index, std::move(sendPage));
}

void CloudDayClient::onPage(std::size_t index, const QUrl& url, const CloudResponse& response) {
    Person& person = people_[index];
    if (!response.failure.empty()) return fail(index, response.failure);
    if (throttled(index, response, [this, index, url] { askPage(index, url); })) return;
    if (response.status == 401 && !person.renewed) {
        person.renewed = true;
        dropToken(index);
        person.token.clear();
        return askPage(index, url);
    }
    if (response.status < 200 || response.status > 299) return fail(index, httpFailure(response.status, response.body));
    const QJsonDocument answer = QJsonDocument::fromJson(response.body);
    if (!answer.isObject()) return fail(index, std::string(CloudNotJson) + " (HTTP " + std::to_string(response.status) + ")");
    const Page page = readPage(index, answer.object());
    if (!page.failure.empty()) return fail(index, page.failure);
    if (page.next) return askPage(index, *page.next);
    report(index, {true, dayOf(person.events), {}});
}

void CloudDayClient::send(std::size_t index, CloudRequest request, std::function<void(const CloudResponse&)> then) {
    const std::uint64_t grab = grab_;
    http_.send(std::move(request), [this, index, grab, then = std::move(then)](CloudResponse response) {
        if (alive(index, grab)) then(response);
    });
}

bool CloudDayClient::throttled(std::size_t index, const CloudResponse& response, std::function<void()> again,
                               std::string_view prefix) {
    if ((response.status != 429 && response.status != 503) || !response.retryAfterSeconds) return false;
    Person& person = people_[index];
    if (++person.throttled >= CloudMaxTries) {
        fail(index, std::string(prefix) + httpFailure(response.status, response.body) + ", still after " +
                        std::to_string(CloudMaxTries) + " tries");
        return true;
    }
    const std::uint64_t grab = grab_;
    QTimer::singleShot(*response.retryAfterSeconds * 1000, waits_.get(), [this, index, grab, again = std::move(again)] {
        if (alive(index, grab)) again();
    });
    return true;
}

void CloudDayClient::fail(std::size_t index, std::string reason) { report(index, {false, {}, std::move(reason)}); }

void CloudDayClient::report(std::size_t index, CloudDayResult result) {
    Person& person = people_[index];
    if (person.done) return;
    person.done = true;
    person.events = {};
    --remaining_;
    onPersonDone_(index, std::move(result));
}

TokenAnswer readTokenAnswer(const CloudResponse& response) {
    const std::string prefix(CloudTokenPrefix);
    if (!response.failure.empty()) return {{}, 0, prefix + response.failure};
    if (response.status < 200 || response.status > 299) return {{}, 0, prefix + httpFailure(response.status, response.body)};
    const QJsonObject answer = QJsonDocument::fromJson(response.body).object();
    const QByteArray token = answer.value("access_token").toString().toUtf8();
    const QJsonValue expiresIn = answer.value("expires_in");
    const std::int64_t seconds = expiresIn.isString() ? expiresIn.toString().toLongLong() : expiresIn.toInteger();
    if (token.isEmpty() || seconds <= 0)
        return {{}, 0, prefix + std::string(CloudNotJson) + " (HTTP " + std::to_string(response.status) + ")"};
    return {token, seconds, {}};
}
