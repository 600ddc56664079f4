// Many clients at once while the fragment is replaced: every answer is one whole page, and the
// activity log takes every access line, each client's in its order.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <set>
#include <thread>

#include "ServerTestSupport.h"
#include "text/LineList.h"
#include "log/ActivityLog.h"

namespace {

constexpr int Clients = 12;
constexpr int RequestsPerClient = 30;
constexpr int Fragments = 8;

std::string fragmentNumber(int n) {
    // Differing lengths, so a torn read would also show in Content-Length.
    return "<table>" + std::string(200 + 37 * n, static_cast<char>('a' + n)) + "</table>%NOW</body></html>";
}

TEST(ServerConcurrencyTest, WholePagesAndEveryAccessLineInOrder) {
    setLocaleFormats(FormatSettings::fallback());
    FakeClock clock{boardTestTime()};
    StringList lines;
    ActivityLog log(lines, clock);  // this thread is its GUI thread
    std::atomic<int> wakes{0};
    log.onWake = [&] { ++wakes; };
    PublishedBoard fragment;
    fragment.editFragment(fragmentNumber(0));

    std::set<std::string> pages;
    for (int n = 0; n < Fragments; ++n) {
        std::string page = boardHead() + fragmentNumber(n);
        page.replace(page.find("%NOW"), 4, "06/12 17:28");
        pages.insert(page);
    }

    HttpServer server;
    server.setDefaultPort(0);
    server.setHandler([&](const HttpRequest& request, HttpResponse& response) {
        serveBoardPage(fragment.fragment(), clock, log, request, response);
    });
    server.setActive(true);
    const std::uint16_t port = server.boundPort(0);

    std::atomic<int> bad{0}, done{0};
    std::vector<std::thread> clients;
    for (int c = 0; c < Clients; ++c) {
        clients.emplace_back([&, c] {
            for (int r = 0; r < RequestsPerClient; ++r) {
                const ClientResult result =
                    sendRequest(port, "GET /c" + std::to_string(c) + "/r" + std::to_string(r) + " HTTP/1.1\r\n\r\n");
                const std::size_t split = result.bytes.find("\r\n\r\n");
                if (split == std::string::npos || !pages.count(result.bytes.substr(split + 4))) ++bad;
            }
            ++done;
        });
    }
    // The GUI thread's part: replace the fragment and write pending lines until all are served.
    for (int n = 0; done.load() < Clients; n = (n + 1) % Fragments) {
        fragment.editFragment(fragmentNumber(n));
        log.drainPending();
        std::this_thread::yield();
    }
    for (auto& t : clients) t.join();
    server.setActive(false);
    log.drainPending();

    EXPECT_EQ(bad.load(), 0);
    EXPECT_GT(wakes.load(), 0);
    ASSERT_EQ(lines.count(), Clients * RequestsPerClient);
    std::map<int, int> nextOfClient;
    for (int i = 0; i < lines.count(); ++i) {
        const std::string line = lines.get(i);
        ASSERT_EQ(line.rfind("[06/12/26 17:28:43] 127.0.0.1 \"GET /c", 0), 0u) << line;
        int client = -1, request = -1;
        ASSERT_EQ(std::sscanf(line.c_str() + 37, "%d/r%d", &client, &request), 2) << line;
        EXPECT_EQ(request, nextOfClient[client]++) << line;
    }
}

}  // namespace
