// A day's grab of 100 Microsoft 365 people and of 100 Google Workspace people through
// quorvane-fakecloud (each answer held back a few milliseconds, as a stand-in for the service's
// own time), against the same requests made one after another by one curl process (connection
// kept; the Google assertions signed by the same code, inside the timing). Prints the medians of a few rounds, the ratio grab / curl and the parallel speed-up
// (curl / grab); exits 1 when a ratio is above the target.
//   quorvane_cloud_grab_bench [DELAY_MS]   the fake's delay per answer (default 20)
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QUrlQuery>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "bench/BenchTiming.h"
#include "cloud/GoogleAssertion.h"
#include "cloud/GoogleCalendarClient.h"
#include "cloud/GraphCalendarClient.h"

using namespace quorvane;

namespace {

constexpr int People = 100;
constexpr int Rounds = 5;
constexpr double TargetRatio = 1.5;
const QString Data = QStringLiteral(QUORVANE_TEST_DATA "/cloud");

QByteArray readFile(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& text, bool ownerOnly = false) {
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(text);
    file.close();
    if (ownerOnly) chmod(path.toLocal8Bit().constData(), 0600);
}

// The grab, through the client's own event loop; returns the people read.
int grab(CloudDayClient& client, const std::vector<std::string>& users, QDate day) {
    QEventLoop loop;
    int ok = 0;
    std::size_t reported = 0;
    client.fetchDay(users, day, [&](std::size_t, CloudDayResult result) {
        if (!result.ok) std::fprintf(stderr, "CloudGrabBench: %s\n", result.failure.c_str());
        ok += result.ok ? 1 : 0;
        if (++reported == users.size()) loop.quit();
    });
    loop.exec();
    return ok;
}

// One curl process over a config file; returns what it wrote.
QByteArray curl(const QString& config) {
    QProcess process;
    process.start("curl", {"-s", "-K", config});
    process.waitForFinished(120000);
    return process.readAllStandardOutput();
}

QString quoted(const QString& text) { return '"' + QString(text).replace('\\', "\\\\").replace('"', "\\\"") + '"'; }

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QString delay = argc > 1 ? QString(argv[1]) : QString("20");
    QTemporaryDir dir;
    const QDir data(dir.path());
    data.mkpath("graph");
    data.mkpath("google");
    for (const char* name : {"fake.json", "test-key.pub.pem"}) writeFile(data.filePath(name), readFile(Data + "/" + name));
    std::vector<std::string> users;
    for (int i = 0; i < People; ++i) {
        const QString user = QString("person%1@example.org").arg(i, 3, 10, QChar('0'));
        users.push_back(user.toStdString());
        writeFile(data.filePath("graph/" + user + ".json"), readFile(Data + "/graph/ann@example.org.json"));
        writeFile(data.filePath("google/" + user + ".json"), readFile(Data + "/google/gail@example.org.json"));
    }

    QProcess fake;
    fake.start(QUORVANE_FAKECLOUD, {"--data", dir.path(), "--quiet", "--page-size", "250", "--delay-ms", delay});
    if (!fake.waitForReadyRead(10000)) {
        std::fprintf(stderr, "CloudGrabBench: quorvane-fakecloud did not start\n");
        return 2;
    }
    const QString base = QString("http://127.0.0.1:%1").arg(fake.readLine().trimmed().toUShort());
    const QDate day(2025, 3, 12);
    const DayWindow window = localDayWindow(day);

    // The identities, as the program reads them.
    const QString credentials = data.filePath("m365.credentials");
    writeFile(credentials, readFile(Data + "/m365.credentials"), true);
    const QString keyFile = data.filePath("key.json");
    writeFile(keyFile, readFile(Data + "/google-service-account.json").replace("https://oauth2.googleapis.com/token", (base + "/token").toUtf8()),
              true);
    GraphSettings graphSettings;
    graphSettings.credentials = readM365Credentials(credentials.toStdString());
    graphSettings.loginUrl = graphSettings.graphUrl = QUrl(base);
    GoogleSettings googleSettings;
    googleSettings.account = readGoogleServiceAccount(keyFile.toStdString());
    googleSettings.apiUrl = QUrl(base);
    const M365Credentials& m365 = graphSettings.credentials;
    const RsaSigner signer(googleSettings.account.privateKeyPem);

    // curl: the M365 token, then the 100 calendar views with it.
    const QString tokenConfig = data.filePath("m365-token.cfg"), graphConfig = data.filePath("graph.cfg");
    writeFile(tokenConfig, ("url = " + quoted(base + "/" + QString::fromStdString(m365.tenant) + "/oauth2/v2.0/token") +
                            "\ndata = " + quoted("client_id=" + QString::fromStdString(m365.clientId) + "&client_secret=" +
                                                 QString::fromStdString(m365.clientSecret) + "&scope=" +
                                                 QUrl::toPercentEncoding(base + "/.default") + "&grant_type=client_credentials") + "\n")
                               .toUtf8());
    const auto graphUrl = [&](const std::string& user) {
        QUrl url(base + "/v1.0/users/" + QString::fromStdString(user) + "/calendarView");
        QUrlQuery query;
        query.addQueryItem("startDateTime", window.start.toString(Qt::ISODate));
        query.addQueryItem("endDateTime", window.end.toString(Qt::ISODate));
        query.addQueryItem("$select", "subject,location,start,end,showAs,sensitivity,isAllDay,isCancelled,responseStatus");
        url.setQuery(query);
        return url.toString(QUrl::FullyEncoded);
    };
    const auto googleUrl = [&](const std::string& user) {
        return base + "/calendar/v3/calendars/" + QString::fromStdString(user) + "/events?timeMin=" +
               window.start.toString(Qt::ISODate) + "&timeMax=" + window.end.toString(Qt::ISODate) +
               "&singleEvents=true&orderBy=startTime&maxResults=250";
    };
    const auto curlGraph = [&] {
        const QByteArray token = QJsonDocument::fromJson(curl(tokenConfig)).object().value("access_token").toString().toUtf8();
        QString config = "header = " + quoted("Authorization: Bearer " + token) + "\nheader = " +
                         quoted("Prefer: outlook.timezone=\"UTC\"") + "\n";
        for (const std::string& user : users) config += "url = " + quoted(graphUrl(user)) + "\noutput = \"/dev/null\"\n";
        writeFile(graphConfig, config.toUtf8());
        curl(graphConfig);
    };
    // curl: a token per person (their assertions signed beforehand), then their events.
    const auto curlGoogle = [&](const QString& tokensConfig) {
        const QByteArray answers = curl(tokensConfig);
        QString config;
        int i = 0;
        for (const QByteArray& answer : answers.split('\n')) {
            if (answer.isEmpty()) continue;
            const QString token = QJsonDocument::fromJson(answer).object().value("access_token").toString();
            config += (i ? "next\n" : "") + QString("url = ") + quoted(googleUrl(users[static_cast<std::size_t>(i)])) +
                      "\nheader = " + quoted("Authorization: Bearer " + token) + "\noutput = \"/dev/null\"\n";
            ++i;
        }
        writeFile(data.filePath("google.cfg"), config.toUtf8());
        curl(data.filePath("google.cfg"));
        return i;
    };

    std::vector<double> graphGrab, graphCurl, googleGrab, googleCurl;
    int graphRead = 0, googleRead = 0, googleTokens = 0;
    for (int round = 0; round < Rounds; ++round) {
        // A new client each round, so that each grab asks its tokens as the curl run does.
        graphGrab.push_back(elapsedMs([&] {
            GraphCalendarClient client(graphSettings);
            graphRead = grab(client, users, day);
        }));
        graphCurl.push_back(elapsedMs(curlGraph));
        googleGrab.push_back(elapsedMs([&] {
            GoogleCalendarClient client(googleSettings);
            googleRead = grab(client, users, day);
        }));
        // The assertions are signed inside the timing, as the grab signs its own.
        googleCurl.push_back(elapsedMs([&] {
            QString tokens;
            const std::int64_t now = QDateTime::currentSecsSinceEpoch();
            for (const std::string& user : users)
                tokens += (tokens.isEmpty() ? "" : "next\n") + QString("url = ") + quoted(base + "/token") + "\ndata = " +
                          quoted("grant_type=urn%3Aietf%3Aparams%3Aoauth%3Agrant-type%3Ajwt-bearer&assertion=" +
                                 googleAssertion(googleSettings.account, signer, user, now)) + "\nwrite-out = \"\\n\"\n";
            writeFile(data.filePath("tokens.cfg"), tokens.toUtf8());
            googleTokens = curlGoogle(data.filePath("tokens.cfg"));
        }));
    }
    fake.terminate();
    fake.waitForFinished(3000);

    const double graphMs = medianOf(graphGrab), graphCurlMs = medianOf(graphCurl);
    const double googleMs = medianOf(googleGrab), googleCurlMs = medianOf(googleCurl);
    std::printf("fake services answering after %s ms; medians of %d rounds\n", qPrintable(delay), Rounds);
    std::printf("M365:   grab of %d people (%d read) %.1f ms; curl one after another (1 token + %d views) %.1f ms; "
                "ratio %.2fx (target <= %.1fx); parallel speed-up %.1fx\n",
                People, graphRead, graphMs, People, graphCurlMs, graphMs / graphCurlMs, TargetRatio, graphCurlMs / graphMs);
    std::printf("Google: grab of %d people (%d read) %.1f ms; curl one after another (%d tokens + %d lists) %.1f ms; "
                "ratio %.2fx (target <= %.1fx); parallel speed-up %.1fx\n",
                People, googleRead, googleMs, googleTokens, People, googleCurlMs, googleMs / googleCurlMs, TargetRatio,
                googleCurlMs / googleMs);
    const bool good = graphRead == People && googleRead == People && googleTokens == People &&
                      graphMs / graphCurlMs <= TargetRatio && googleMs / googleCurlMs <= TargetRatio;
    return good ? 0 : 1;
}
