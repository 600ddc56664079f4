// quorvane-fakecloud: fake Microsoft 365 (identity + Graph) and Google Workspace (token +
// Calendar) services on one loopback port, for the tests, the benchmarks and the demo. Prints
// the port on standard output, then one line per request on standard error; SIGTERM or SIGINT
// ends it.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>

#include <algorithm>

#include <cstdio>
#include <stdexcept>

#include "tools/fakecloud/FakeCloud.h"

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Fake Microsoft Graph and Google Calendar services on loopback.");
    parser.addHelpOption();
    parser.addOptions({{"port", "Port to listen on (0: any free one).", "N", "0"},
                       {"data", "Folder with fake.json, graph/USER.json and google/USER.json.", "DIR"},
                       {"page-size", "Events per page.", "N", "2"},
                       {"token-lifetime", "expires_in of every token, in seconds.", "S", "3599"},
                       {"retry-after", "Retry-After of throttled answers, in seconds.", "S", "1"},
                       {"throttle", "The first N calendar requests of USER get a 429.", "USER:N"},
                       {"forbid", "USER's calendar answers 403.", "USER"},
                       {"delay-ms", "Wait this long before each answer.", "MS", "0"},
                       {"recorded-at", "When the recordings were made (UTC, yyyy-MM-ddTHH:mm); answers are moved by the time "
                                       "since then, so they read as today's.", "TIME"},
                       {"quiet", "No line per request."}});
    parser.process(application);
    FakeCloudOptions options;
    options.dataDir = parser.value("data");
    options.pageSize = std::max(1, parser.value("page-size").toInt());
    options.tokenLifetime = parser.value("token-lifetime").toInt();
    options.retryAfter = parser.value("retry-after").toInt();
    for (const QString& item : parser.values("throttle")) options.throttle[item.section(':', 0, 0)] = item.section(':', 1).toInt();
    for (const QString& user : parser.values("forbid")) options.forbid.insert(user);
    if (parser.isSet("recorded-at")) {
        options.recordedAt = QDateTime::fromString(parser.value("recorded-at") + ":00Z", Qt::ISODate);
        if (!options.recordedAt.isValid()) {
            std::fprintf(stderr, "quorvane-fakecloud: --recorded-at wants yyyy-MM-ddTHH:mm\n");
            return 2;
        }
    }
    const bool quiet = parser.isSet("quiet");
    try {
        FakeCloud cloud(options, [quiet](const QString& line) {
            if (!quiet || line.startsWith("fakecloud:")) std::fprintf(stderr, "%s\n", qPrintable(line));
        });
        FakeHttp* server = nullptr;
        FakeHttp http(
            [&cloud, &server](const FakeRequest& request) {
                FakeResponse response = cloud.handle(request);
                // The statistics add the most requests the server has held at once.
                if (request.path == "/fake/stats")
                    response.body.insert(1, "\"mostInFlight\":" + QByteArray::number(server->mostInFlight()) + ",");
                return response;
            },
            parser.value("delay-ms").toInt());
        server = &http;
        const quint16 port = http.listen(static_cast<quint16>(parser.value("port").toUInt()));
        if (port == 0) {
            std::fprintf(stderr, "quorvane-fakecloud: cannot listen on port %s\n", qPrintable(parser.value("port")));
            return 1;
        }
        std::printf("%u\n", static_cast<unsigned>(port));
        std::fflush(stdout);
        return QCoreApplication::exec();
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "quorvane-fakecloud: %s\n", error.what());
        return 1;
    }
}
