// The least a thread-per-connection HTTP server can do, as the floor of the board's own design:
// accept, create a detached thread, read to the blank line, write one fixed response, close.
// No request parsing, no log, no limits; an anchor for bench/serve_anchors.sh, never a server.
//   quorvane_minimal_server PORT PAGE-FILE     (127.0.0.1 only; prints "ready <port>")
#include <arpa/inet.h>
#include <netinet/in.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string response;  // header and page, written whole to every connection

void* serve(void* argument) {
    const int fd = static_cast<int>(reinterpret_cast<std::intptr_t>(argument));
    char buffer[4096];
    std::size_t held = 0;
    // Read until the request's blank line (or the peer stops sending).
    while (held < sizeof buffer) {
        const ssize_t n = recv(fd, buffer + held, sizeof buffer - held, 0);
        if (n <= 0) break;
        held += static_cast<std::size_t>(n);
        if (memmem(buffer, held, "\r\n\r\n", 4) != nullptr) {
            send(fd, response.data(), response.size(), MSG_NOSIGNAL);
            break;
        }
    }
    close(fd);
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s PORT PAGE-FILE\n", argv[0]);
        return 2;
    }
    std::ifstream file(argv[2], std::ios::binary);
    const std::string page((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    response = "HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
               std::to_string(page.size()) + "\r\n\r\n" + page;
    std::signal(SIGPIPE, SIG_IGN);

    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    const int one = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(std::atoi(argv[1])));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, 511) != 0) {
        std::perror("minimal server: bind/listen");
        return 1;
    }
    std::printf("ready %s\n", argv[1]);
    std::fflush(stdout);

    pthread_attr_t detached;
    pthread_attr_init(&detached);
    pthread_attr_setdetachstate(&detached, PTHREAD_CREATE_DETACHED);
    for (;;) {
        const int fd = accept(listener, nullptr, nullptr);
        if (fd < 0) continue;
        pthread_t thread;
        if (pthread_create(&thread, &detached, serve, reinterpret_cast<void*>(static_cast<std::intptr_t>(fd))) != 0)
            close(fd);
    }
}
