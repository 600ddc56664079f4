#pragma once
// The request engine both cloud calendar clients share, on QNetworkAccessManager: at most a few
// requests per host at once (the rest wait in order), a time limit per request, answers capped
// in size as they arrive, only HTTPS or a loopback address, extra trusted certificates. Nothing
// blocks: each request's outcome comes back by its callback from the event loop.
#include <QByteArray>
#include <QList>
#include <QSslCertificate>
#include <QUrl>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cloud/CloudConstants.h"

class QNetworkAccessManager;
class QNetworkReply;
class QObject;
class QTimer;

struct CloudHttpSettings {
    int timeoutMs = CloudRequestTimeoutMs;
    std::int64_t maxBytes = CloudMaxAnswerBytes;
    int requestsPerHost = CloudRequestsPerHost;
    QList<QSslCertificate> extraCa;  // trusted besides the system's store, for every host
};

struct CloudRequest {
    QUrl url;
    QByteArray method = "GET";
    QByteArray body;
    std::vector<std::pair<QByteArray, QByteArray>> headers;
};

struct CloudResponse {
    int status = 0;                          // 0 when no answer came (see failure)
    QByteArray body;
    std::optional<int> retryAfterSeconds;    // a Retry-After header, capped
    std::string failure;                     // one line when no answer came: refused, timed out...
};

// Whether requests may go to this address: HTTPS, or plain HTTP to a loopback address where
// nothing crosses a network.
bool isAllowedCloudAddress(const QUrl& url);
// The Retry-After header in seconds (a number or an HTTP date), capped at the longest wait.
std::optional<int> retryAfterSeconds(const QByteArray& header);

class CloudHttp {
public:
    using Done = std::function<void(CloudResponse)>;

    explicit CloudHttp(CloudHttpSettings settings = {});
    ~CloudHttp();
    CloudHttp(const CloudHttp&) = delete;
    CloudHttp& operator=(const CloudHttp&) = delete;

    // Queues the request; done is called once from the event loop, never from inside send().
    // Needs a Qt application object in this thread.
    void send(CloudRequest request, Done done);
    // Ends every queued and running request at once; their callbacks are never called.
    void abort();

private:
    struct Pending {
        CloudRequest request;
        Done done;
    };
    struct Running {
        QString host;
        QNetworkReply* reply = nullptr;
        std::unique_ptr<QObject> context;  // owns the reply's connections and the time limit
        QByteArray data;
        Done done;
    };
    struct HostQueue {
        int active = 0;
        std::deque<Pending> waiting;
    };

    void pump(const QString& host);
    void start(const QString& host, Pending pending);
    void finish(std::uint64_t id, CloudResponse response);
    void failSoon(Done done, std::string reason);

    CloudHttpSettings settings_;
    std::unique_ptr<QNetworkAccessManager> manager_;
    std::unique_ptr<QObject> context_;  // owns the zero-delay callbacks; replaced by abort()
    std::map<QString, HostQueue> hosts_;
    std::map<std::uint64_t, Running> running_;
    std::uint64_t nextId_ = 0;
};
