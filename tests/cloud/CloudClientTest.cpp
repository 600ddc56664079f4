// Both clients against quorvane-fakecloud, which checks every request's shape: paging, a
// throttled person arriving after the wait without holding up the others, a refused person,
// tokens reused across grabs and renewed once when refused, at most six requests at once, the
// time and size limits, abort, addresses and page links refused, and no secret in any reason.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QTimer>

#include "cloud/GoogleCalendarClient.h"
#include "cloud/GraphCalendarClient.h"
#include "tests/calendar/ZoneScope.h"
#include "tests/cloud/CloudShown.h"

using namespace quorvane;

namespace {

const QString Data = QStringLiteral(QUORVANE_TEST_DATA "/cloud");
const QDate Day(2025, 3, 12);
constexpr const char* Secret = "test-secret~0123456789abcdef";

QCoreApplication& application() {
    static int argc = 1;
    static char name[] = "CloudTest";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    return app ? *app : *QCoreApplication::instance();
}

// quorvane-fakecloud on a free loopback port, its refusals on the test's standard error.
class FakeCloudProcess {
public:
    explicit FakeCloudProcess(const QStringList& options = {}) {
        application();
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QUORVANE_FAKECLOUD, QStringList{"--data", Data, "--quiet"} + options);
        if (process_.waitForReadyRead(10000)) port_ = process_.readLine().trimmed().toUShort();
    }
    ~FakeCloudProcess() {
        process_.terminate();
        if (!process_.waitForFinished(3000)) process_.kill();
        process_.waitForFinished(3000);
    }
    QUrl base() const { return QUrl(QString("http://127.0.0.1:%1").arg(port_)); }
    QJsonObject stats() const { return QJsonDocument::fromJson(call("GET", "/fake/stats")).object(); }
    void expireTokens() const { call("POST", "/fake/expire-tokens"); }

private:
    QByteArray call(const QByteArray& method, const QString& path) const {
        QNetworkAccessManager manager;
        QNetworkReply* reply = manager.sendCustomRequest(QNetworkRequest(QUrl(base().toString() + path)), method);
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        reply->deleteLater();
        return reply->readAll();
    }

    QProcess process_;
    quint16 port_ = 0;
};

// A copy of a fixture readable by its owner only, as the readers demand.
QString ownerOnlyCopy(const QTemporaryDir& dir, const QString& name, const QByteArray& from = {}, const QByteArray& to = {}) {
    QFile in(Data + "/" + name);
    in.open(QIODevice::ReadOnly);
    QByteArray text = in.readAll();
    if (!from.isEmpty()) text.replace(from, to);
    const QString path = dir.filePath(name);
    QFile out(path);
    out.open(QIODevice::WriteOnly);
    out.write(text);
    out.close();
    chmod(path.toLocal8Bit().constData(), 0600);
    return path;
}

GraphSettings graphSettings(const FakeCloudProcess& fake, const QByteArray& secret = Secret) {
    QTemporaryDir dir;
    GraphSettings settings;
    settings.credentials = readM365Credentials(ownerOnlyCopy(dir, "m365.credentials", Secret, secret).toStdString());
    settings.loginUrl = settings.graphUrl = fake.base();
    settings.http.timeoutMs = 10000;
    return settings;
}

GoogleSettings googleSettings(const FakeCloudProcess& fake) {
    QTemporaryDir dir;
    GoogleSettings settings;
    settings.account = readGoogleServiceAccount(ownerOnlyCopy(dir, "google-service-account.json", "https://oauth2.googleapis.com/token",
                                                              fake.base().toString().toUtf8() + "/token")
                                                    .toStdString());
    settings.apiUrl = fake.base();
    settings.http.timeoutMs = 10000;
    return settings;
}

struct Grab {
    std::vector<std::string> shown;  // cloudShown() of each day, or "! reason"
    std::vector<std::size_t> order;  // people in the order they were reported
    std::vector<qint64> ms;          // when each was reported
    qint64 totalMs = 0;
};

Grab grab(CloudDayClient& client, const std::vector<std::string>& users, QDate day = Day) {
    Grab out;
    out.shown.resize(users.size());
    out.ms.resize(users.size());
    QEventLoop loop;
    QElapsedTimer clock;
    clock.start();
    client.fetchDay(users, day, [&](std::size_t index, CloudDayResult result) {
        out.shown[index] = result.ok ? cloudShown(result.day) : "! " + result.failure;
        out.order.push_back(index);
        out.ms[index] = clock.elapsed();
        if (out.order.size() == users.size()) loop.quit();
    });
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    if (!users.empty()) loop.exec();
    out.totalMs = clock.elapsed();
    return out;
}

void expectShown(const Grab& got, const std::vector<std::string>& expected) {
    ASSERT_EQ(got.order.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(got.shown[i], expected[i]) << "person " << i;
        EXPECT_EQ(got.shown[i].find(Secret), std::string::npos);
        EXPECT_EQ(got.shown[i].find("token-"), std::string::npos);
    }
}

const std::vector<std::string> GraphPeople = {"ann@example.org", "ben@example.org", "cem@example.org", "dan@example.org",
                                              "zed@example.org"};
const std::vector<std::string> GraphDays = {
    "0900-1000 Design review (Room 4); 0930-1030 Budget sync T; [Working elsewhere (Harbour Office) W]",
    "1400-1500 Doctor (Clinic) P; [Ben on leave O]",
    "! HTTP 403 (ErrorAccessDenied)",
    "0800-1700 Interviews (Room 2)",
    "! HTTP 404 (ErrorInvalidUser)",
};
const std::vector<std::string> GooglePeople = {"gail@example.org", "hugo@example.org", "ida@example.org", "jon@example.org",
                                               "kim@example.org"};
const std::vector<std::string> GoogleDays = {
    "0900-1000 Sprint planning (Room 7); 1000-1100 Focus time; [Working from home W]",
    "0700-1200 Out of office O; 1300-1400 Dentist P; 1400-1500 Board meeting T; [Office: Amsterdam HQ W]",
    "0800-1100 Workshop",
    "! HTTP 403 (PERMISSION_DENIED)",
    "! HTTP 404 (notFound)",
};

// The throttled person (index 3 of the Graph people, 2 of the Google ones) comes last, after the
// Retry-After second; the others long before.
void expectThrottledLast(const Grab& got, std::size_t throttled) {
    ASSERT_FALSE(got.order.empty());
    EXPECT_EQ(got.order.back(), throttled);
    EXPECT_GE(got.ms[throttled], 950);
    for (std::size_t i = 0; i < got.ms.size(); ++i) {
        if (i == throttled) continue;
        EXPECT_LT(got.ms[i], 900) << "person " << i;
    }
}

TEST(CloudClientTest, GraphGrabsShareOneTokenAndRenewItOnceWhenRefused) {
    ZoneScope zone("UTC");
    FakeCloudProcess fake({"--throttle", "dan@example.org:1", "--forbid", "cem@example.org"});
    GraphCalendarClient client(graphSettings(fake));

    const Grab first = grab(client, GraphPeople);
    expectShown(first, GraphDays);
    expectThrottledLast(first, 3);
    expectShown(grab(client, GraphPeople), GraphDays);
    EXPECT_EQ(fake.stats().value("m365TokenRequests").toInt(), 1);

    fake.expireTokens();
    expectShown(grab(client, {"ann@example.org"}), {GraphDays[0]});
    EXPECT_EQ(client.tokenRequests(), 2);
    EXPECT_EQ(fake.stats().value("m365TokenRequests").toInt(), 2);
    EXPECT_EQ(fake.stats().value("refused").toInt(), 0);
}

TEST(CloudClientTest, GoogleGrabsKeepEachPersonsTokenAndRenewItOnceWhenRefused) {
    ZoneScope zone("UTC");
    FakeCloudProcess fake({"--throttle", "ida@example.org:1", "--forbid", "jon@example.org"});
    GoogleCalendarClient client(googleSettings(fake));

    const Grab first = grab(client, GooglePeople);
    expectShown(first, GoogleDays);
    expectThrottledLast(first, 2);
    expectShown(grab(client, GooglePeople), GoogleDays);
    EXPECT_EQ(fake.stats().value("googleTokenRequests").toInt(), 5);

    fake.expireTokens();
    expectShown(grab(client, {"gail@example.org"}), {GoogleDays[0]});
    EXPECT_EQ(fake.stats().value("googleTokenRequests").toInt(), 6);
    EXPECT_EQ(fake.stats().value("refused").toInt(), 0);
}

// The demo's use: recordings moved to today, times by whole minutes, all-day entries by days.
TEST(CloudClientTest, RecordingsMovedToToday) {
    ZoneScope zone("UTC");
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QDate today = now.date();
    // Recorded as if an hour before now on the recorded day: a recorded 09:00 reads as 10:00 today.
    // In the first hour of a day that hour would fall on the day before, so the recordings are read
    // at their own times then.
    const int lead = now.time().hour() >= 1 ? 1 : 0;
    const QString recordedAt =
        QDateTime(Day, now.time().addSecs(-3600 * lead), QTimeZone::utc()).toString("yyyy-MM-ddTHH:mm");
    // A recorded hour as shown: "HH00".
    const auto at = [lead](int hour) { return QString("%1").arg(hour + lead, 2, 10, QChar('0')).toStdString() + "00"; };
    FakeCloudProcess fake({"--recorded-at", recordedAt});
    GraphCalendarClient graph(graphSettings(fake));
    const Grab got = grab(graph, {"ben@example.org", "dan@example.org"}, today);
    ASSERT_EQ(got.order.size(), 2u);
    EXPECT_EQ(got.shown[0], at(14) + "-" + at(15) + " Doctor (Clinic) P; [Ben on leave O]");
    EXPECT_EQ(got.shown[1], at(8) + "-" + at(17) + " Interviews (Room 2)");
    GoogleCalendarClient google(googleSettings(fake));
    EXPECT_EQ(grab(google, {"gail@example.org"}, today).shown[0],
              at(9) + "-" + at(10) + " Sprint planning (Room 7); " + at(10) + "-" + at(11) +
                  " Focus time; [Working from home W]");
}

TEST(CloudClientTest, ThrottlingTokensAndRefusedAddresses) {
    ZoneScope zone("UTC");
    FakeCloudProcess fake({"--throttle", "dan@example.org:5", "--throttle", "ida@example.org:5", "--retry-after", "0",
                           "--token-lifetime", "200"});
    const std::vector<std::string> dan = {"dan@example.org"}, ida = {"ida@example.org"};
    const char* const tooOften = "HTTP 429 (TooManyRequests), still after 3 tries";

    GraphCalendarClient graph(graphSettings(fake));
    expectShown(grab(graph, dan), {std::string("! ") + tooOften});
    EXPECT_EQ(fake.stats().value("graphRequests").toInt(), 3);
    // A token that expires within five minutes is used by the grab that asked for it only.
    grab(graph, {"ann@example.org"});
    EXPECT_EQ(graph.tokenRequests(), 2);
    GoogleCalendarClient google(googleSettings(fake));
    expectShown(grab(google, ida), {"! HTTP 429 (RESOURCE_EXHAUSTED), still after 3 tries"});

    GraphCalendarClient wrongSecret(graphSettings(fake, "not-the-secret"));
    expectShown(grab(wrongSecret, dan), {"! token request: HTTP 401 (invalid_client)"});

    // Addressed as localhost, the service's page links lead to 127.0.0.1: not followed.
    GraphSettings byName = graphSettings(fake);
    byName.loginUrl = byName.graphUrl = QUrl(fake.base().toString().replace("127.0.0.1", "localhost"));
    GraphCalendarClient named(byName);
    expectShown(grab(named, {"ann@example.org", "ben@example.org"}),
                {"! next page address on another host refused", GraphDays[1]});

    GraphSettings foreignLogin = graphSettings(fake);
    foreignLogin.loginUrl = QUrl("http://192.0.2.1");
    GraphCalendarClient refusedGraph(foreignLogin);
    expectShown(grab(refusedGraph, dan), {"! token request: refused to send to http://192.0.2.1/quorvane-test/oauth2/v2.0/token: "
                                          "neither HTTPS nor a loopback address"});
    GoogleSettings foreignToken = googleSettings(fake);
    foreignToken.account.tokenUri = "http://192.0.2.1/token";
    GoogleCalendarClient refusedGoogle(foreignToken);
    expectShown(grab(refusedGoogle, ida),
                {"! token request: refused to send to http://192.0.2.1/token: neither HTTPS nor a loopback address"});
    EXPECT_EQ(fake.stats().value("refused").toInt(), 1);  // the wrong secret
}

TEST(CloudClientTest, AtMostSixAtOnceLimitsAndAbort) {
    ZoneScope zone("UTC");
    FakeCloudProcess fake({"--delay-ms", "200"});
    GraphCalendarClient client(graphSettings(fake));
    const std::vector<std::string> many(18, "ann@example.org");

    const Grab all = grab(client, many);
    expectShown(all, std::vector<std::string>(18, GraphDays[0]));
    EXPECT_EQ(fake.stats().value("mostInFlight").toInt(), 6);
    // One after another: a token and 18 x 3 pages of 200 ms each, 11 s.
    EXPECT_LT(all.totalMs, 5000);

    GraphSettings impatient = graphSettings(fake);
    impatient.http.timeoutMs = 50;
    GraphCalendarClient slow(impatient);
    expectShown(grab(slow, {"ann@example.org"}), {"! token request: timed out"});
    GraphSettings small = graphSettings(fake);
    small.http.maxBytes = 200;  // the token answer fits, a page does not
    GraphCalendarClient capped(small);
    expectShown(grab(capped, {"ann@example.org"}), {"! too large"});

    int reported = 0;
    client.fetchDay(many, Day, [&](std::size_t, CloudDayResult) { ++reported; });
    QEventLoop loop;
    QTimer::singleShot(100, &loop, [&] { client.abort(); });
    QTimer::singleShot(800, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(reported, 0);
    EXPECT_EQ(client.remaining(), 0u);
    expectShown(grab(client, {"ben@example.org"}), {GraphDays[1]});
}

}  // namespace
