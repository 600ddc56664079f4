// What the wall data costs on its request path: the JSON of a board of PEOPLE rows rendered alone,
// and whole GET /board.json requests over loopback (connect, request, the JSON, the access line,
// close) against the same board served as the program serves it; prints the CPU time of both per
// request (the process's, client included, so the share is a lower bound) and the JSON's share.
//   quorvane_wall_data_bench [PEOPLE [REQUESTS]]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>

#include "app/BoardSite.h"
#include "pages/BoardJson.h"

namespace {

class NullLog final : public LogWriter {
public:
    void log(const std::string&, bool) override {}
};

SharedSnapshot workingDay(int people, Instant now) {
    auto board = std::make_shared<BoardSnapshot>();
    board->dataTime = board->lastGrabTime = now - std::chrono::minutes(4);
    board->lastGrabOk = true;
    for (int i = 0; i < people; ++i) {
        PersonRow row;
        row.name = "Person " + std::to_string(i + 1);
        row.status.state = i % 3 ? PersonState::Note : PersonState::Meeting;
        if (i % 3 == 0) row.status.meetings.push_back({{"Budget review (Room 4)", "Budget review (Room 4)"}, now + std::chrono::minutes(30)});
        if (i % 3 != 2) row.status.notes.push_back({{"Early finish 15:00", "Early finish 15:00"}, NoteKind::Early});
        board->people.push_back(std::move(row));
    }
    return board;
}

bool get(std::uint16_t port, const std::string& request) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
              send(fd, request.data(), request.size(), 0) == static_cast<ssize_t>(request.size());
    char buffer[65536];
    std::size_t got = 0;
    for (ssize_t n; ok && (n = recv(fd, buffer, sizeof buffer, 0)) > 0;) got += static_cast<std::size_t>(n);
    close(fd);
    return ok && got > 0;
}

// CPU time of the whole process (every thread), in microseconds.
double cpuMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

}  // namespace

int main(int argc, char** argv) {
    const int people = argc > 1 ? std::stoi(argv[1]) : 25;
    const int requests = argc > 2 ? std::stoi(argv[2]) : 5000;
    const SystemClock clock;
    NullLog log;
    const Instant now = instantOfLocal(clock.now());
    const SharedSnapshot board = workingDay(people, now);

    std::size_t bytes = 0;
    double start = cpuMicroseconds();
    for (int i = 0; i < requests; ++i) bytes += buildBoardJson(*board, false, now).size();
    const double json = (cpuMicroseconds() - start) / requests;

    BoardSite site(ServerSettings{0, {"127.0.0.1"}, 0}, PageSettings{true, "", false}, clock, log);
    site.publish(board);
    const std::string request = "GET /board.json HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    for (int i = 0; i < 200; ++i) get(site.port(), request);  // warm-up
    start = cpuMicroseconds();
    int answered = 0;
    for (int i = 0; i < requests; ++i) answered += get(site.port(), request);
    const double whole = (cpuMicroseconds() - start) / requests;

    std::printf("%d people, %zu bytes of JSON: %.1f us CPU to render, %.1f us CPU per request (%d answered): %.1f%%\n",
                people, bytes / static_cast<std::size_t>(requests), json, whole, answered, 100.0 * json / whole);
    return 0;
}
