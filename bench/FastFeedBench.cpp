// A calendar answer sent faster than the board reads it: a loopback server streams a chunked
// answer without end, as fast as the socket takes it, and one CalendarFetcher reads it. Prints
// the failure reason, the time it took, and the peak RSS of the process. --unbounded gives the
// reply an unbounded read buffer (Qt's default, how the fetcher read before) for the figure to
// compare with.
#include <QCoreApplication>
#include <QElapsedTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "calendarfetch/CalendarFetcher.h"

using namespace quorvane;

namespace {

// Accepts one connection, reads its request head, then sends 1 MiB chunks until the peer goes.
void serveEndlessFeed(int listener, std::atomic<long long>& sent) {
    const int client = accept(listener, nullptr, nullptr);
    if (client < 0) return;
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos) {
        const ssize_t n = recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) return;
        head.append(buffer, static_cast<std::size_t>(n));
    }
    const std::string start = "HTTP/1.1 200 OK\r\nContent-Type: text/calendar\r\nTransfer-Encoding: chunked\r\n\r\n";
    send(client, start.data(), start.size(), MSG_NOSIGNAL);
    std::string chunk = "100000\r\n" + std::string(1 << 20, 'x') + "\r\n";
    std::memcpy(chunk.data() + 8, "BEGIN:VCALENDAR\r\n", 17);
    for (;;) {
        const ssize_t n = send(client, chunk.data(), chunk.size(), MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += n;
        std::memcpy(chunk.data() + 8, "xxxxxxxxxxxxxxxxx", 17);
    }
    close(client);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool unbounded = app.arguments().contains("--unbounded");

    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, 1) != 0) return 1;
    socklen_t length = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    std::atomic<long long> sent{0};
    std::thread server(serveEndlessFeed, listener, std::ref(sent));

    CalendarFetchSettings settings;
    if (unbounded) settings.readBufferBytes = 0;
    CalendarFetcher fetcher(std::move(settings));
    QElapsedTimer clock;
    clock.start();
    fetcher.onResult = [&](const CalendarFetchResult&) { app.quit(); };
    fetcher.start({{0, QString("http://127.0.0.1:%1/feed.ics").arg(ntohs(address.sin_port))}}, QDate(2026, 12, 7));
    if (!fetcher.finished()) app.exec();
    const qint64 elapsed = clock.elapsed();
    shutdown(listener, SHUT_RDWR);
    close(listener);
    server.join();

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("mode=%s result=%s ms=%lld sent_mb=%lld peak_rss_mb=%ld\n", unbounded ? "unbounded" : "bounded",
                fetcher.results()[0].ok ? "ok" : fetcher.results()[0].failure.c_str(), static_cast<long long>(elapsed),
                sent.load() >> 20, usage.ru_maxrss / 1024);
    return 0;
}
