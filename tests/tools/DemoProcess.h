#pragma once
// Test helper: runs quorvane-democal as a child process and talks to it over loopback, in plain
// HTTP and in TLS that trusts only the certificate the server wrote.
#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

constexpr int ChildWaitMs = 5000;
constexpr int SocketTimeoutSeconds = 5;

class DemoProcess {
public:
    explicit DemoProcess(std::vector<std::string> args = {}) {
        dir_ = std::filesystem::temp_directory_path() / ("democal-test-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir_);
        args.insert(args.begin(), {QUORVANE_DEMOCAL, "--port", "0", "--cert-out", pem(), "--now", "2026-12-06 10:00"});
        int out[2];
        if (pipe(out) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], 1);
            dup2(open((dir_ / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
            std::vector<char*> argv;
            for (std::string& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(out[1]);
        out_ = out[0];
        std::string line;  // the first line of output is the port
        char c;
        pollfd p{out_, POLLIN, 0};
        while (poll(&p, 1, ChildWaitMs) > 0 && read(out_, &c, 1) == 1 && c != '\n') line += c;
        port_ = line.empty() ? 0 : std::stoi(line);
    }

    ~DemoProcess() {
        if (pid_ > 0 && stop(SIGKILL) < 0) waitpid(pid_, nullptr, 0);
        close(out_);
        std::filesystem::remove_all(dir_);
    }

    int port() const { return port_; }
    std::string pem() const { return (dir_ / "cert.pem").string(); }
    std::string errorOutput() const {
        std::stringstream text;
        text << std::ifstream(dir_ / "stderr").rdbuf();
        return text.str();
    }

    // Sends the signal and waits, bounded, for the exit: the exit status, or -1 when it hung.
    int stop(int signal = SIGTERM) {
        kill(pid_, signal);
        for (int waited = 0; waited < ChildWaitMs; waited += 10) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return -1;
    }

private:
    std::filesystem::path dir_;
    pid_t pid_ = -1;
    int out_ = -1;
    int port_ = 0;
};

inline int connectTo(int port) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    timeval timeout{SocketTimeoutSeconds, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    return fd;
}

// Sends the bytes as they are and reads until the server closes.
inline std::string plainExchange(int port, const std::string& bytes) {
    int fd = connectTo(port);
    send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    std::string reply;
    char buffer[4096];
    for (ssize_t n; (n = recv(fd, buffer, sizeof buffer, 0)) > 0;) reply.append(buffer, static_cast<std::size_t>(n));
    close(fd);
    return reply;
}

inline std::string getRequest(const std::string& target, const std::string& cookie = "") {
    return "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + (cookie.empty() ? "" : "Cookie: " + cookie + "\r\n") + "\r\n";
}

struct TlsReply {
    bool verified = false;  // handshake done, chain and name checked against the PEM
    std::string text;
};

// A TLS exchange that trusts exactly the PEM and checks the server's name (an ip or a host).
inline TlsReply tlsExchange(int port, const std::string& pem, const std::string& name, const std::string& bytes) {
    TlsReply reply;
    SSL_CTX* context = SSL_CTX_new(TLS_client_method());
    SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
    SSL_CTX_load_verify_locations(context, pem.c_str(), nullptr);
    int fd = connectTo(port);
    SSL* ssl = SSL_new(context);
    SSL_set_fd(ssl, fd);
    if (name.find_first_not_of("0123456789.") == std::string::npos)
        X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl), name.c_str());
    else
        X509_VERIFY_PARAM_set1_host(SSL_get0_param(ssl), name.c_str(), 0);
    if (SSL_connect(ssl) == 1 && SSL_get_verify_result(ssl) == X509_V_OK) {
        reply.verified = true;
        SSL_write(ssl, bytes.data(), static_cast<int>(bytes.size()));
        char buffer[4096];
        for (int n; (n = SSL_read(ssl, buffer, sizeof buffer)) > 0;) reply.text.append(buffer, static_cast<std::size_t>(n));
    }
    SSL_free(ssl);
    SSL_CTX_free(context);
    ERR_clear_error();
    close(fd);
    return reply;
}
