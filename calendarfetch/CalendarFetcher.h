#pragma once
// Fetches the calendars of many people at once over HTTP(S): each address is asked as a CalDAV
// collection (REPORT calendar-query for the local day) and, when that does not answer with a
// multi-status, read as an iCalendar feed (GET). Requests run in parallel, at most a few per
// host, on the thread's event loop; each person's result is handed on as soon as it is known.
#include <QDate>
#include <QList>
#include <QSslCertificate>
#include <QString>
#include <QUrl>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "calendarfetch/CalendarFetchConstants.h"
#include "calendarfetch/Netrc.h"

class QNetworkAccessManager;
class QNetworkReply;
class QObject;
class QTimer;

namespace quorvane {

struct FetchTarget {
    int person = -1;  // the caller's index of the person
    QString address;  // as written in people.txt
};

struct CalendarFetchResult {
    int person = -1;
    bool ok = false;
    std::vector<std::string> calendars;  // on success: one per CalDAV item, or the one feed
    std::string failure;                 // otherwise: a one-line reason
};

struct CalendarFetchSettings {
    int timeoutMs = RequestTimeoutMs;  // per request, redirects included
    std::int64_t maxBytes = MaxAnswerBytes;
    qint64 readBufferBytes = ReplyReadBufferBytes;  // what a reply may hold unread; 0: no bound
    int requestsPerHost = MaxRequestsPerHost;
    int maxRedirects = MaxRedirects;
    Netrc netrc;                          // HTTP Basic credentials per host
    QList<QSslCertificate> extraCa;       // trusted besides the system's store, for every host
};

class CalendarFetcher {
public:
    explicit CalendarFetcher(CalendarFetchSettings settings = {});
    ~CalendarFetcher();
    CalendarFetcher(const CalendarFetcher&) = delete;
    CalendarFetcher& operator=(const CalendarFetcher&) = delete;

    // Starts fetching every target for the local day; returns at once. Needs a Qt application
    // object and its event loop in this thread. A fetch still running is stopped first (its
    // people fail with "stopped").
    void start(const std::vector<FetchTarget>& targets, QDate day);
    bool finished() const { return remaining_ == 0; }
    // One result per target, in target order; complete once finished().
    const std::vector<CalendarFetchResult>& results() const { return results_; }
    // Ends every unfinished request at once; their people fail with "stopped".
    void abort();

    // Called with each person's result as it is known (a refused address during start itself).
    std::function<void(const CalendarFetchResult&)> onResult;

private:
    enum class Phase { Report, Feed };
    struct Job {
        QUrl address;
        QString host;  // host:port the request counts against
        Phase phase = Phase::Report;
        QByteArray method;
        QByteArray body;
        QUrl current;  // the address asked now (after redirects)
        int redirects = 0;
        QNetworkReply* reply = nullptr;
        std::unique_ptr<QObject> context;  // owns the reply's connections and the timer
        QTimer* timer = nullptr;           // the request's limit, a child of context
        QByteArray data;
        bool done = false;
    };
    struct HostQueue {
        int active = 0;
        std::deque<std::size_t> waiting;
        bool abandoned = false;  // timed out or stopped: nothing more is sent to it this grab
    };

    void pump(const QString& host);
    void beginPhase(std::size_t index, Phase phase);
    void send(std::size_t index, bool restartTimer);
    void onReadyRead(std::size_t index);
    void onMetaData(std::size_t index);
    void onFinished(std::size_t index);
    void onTimeout(std::size_t index);
    void succeed(std::size_t index, std::vector<std::string> calendars);
    void fail(std::size_t index, std::string reason);
    void finish(std::size_t index);
    void dropReply(Job& job);

    CalendarFetchSettings settings_;
    std::unique_ptr<QNetworkAccessManager> manager_;
    QByteArray queryBody_;
    std::vector<Job> jobs_;
    std::vector<CalendarFetchResult> results_;
    std::map<QString, HostQueue> hosts_;
    std::size_t remaining_ = 0;
};

}  // namespace quorvane
