#pragma once
// The byte pipe under one HTTP exchange: a socket in the server, a memory buffer in tests and the
// fuzzer. BufferedStream adds the input buffer, line reading and the output buffer on top.
#include <cstddef>
#include <string>
#include <string_view>

namespace quorvane {

class Transport {
public:
    virtual ~Transport() = default;
    // Up to size bytes into buffer; 0 when the peer has closed its sending side. Raises
    // ReadTimeoutError when the read deadline passes, SocketError on any other failure.
    virtual std::size_t receive(char* buffer, std::size_t size) = 0;
    // All of data, or SocketError.
    virtual void send(std::string_view data) = 0;
    // Shuts down the sending direction and releases the connection; repeated calls do nothing.
    virtual void close() = 0;
    virtual std::string peerAddress() const = 0;
};

// A connection fed from memory: input is delivered in chunks of at most chunkSize bytes, then
// end of input; everything sent is collected.
class MemoryTransport final : public Transport {
public:
    explicit MemoryTransport(std::string input, std::size_t chunkSize = 4096,
                                 std::string peerAddress = "127.0.0.1");
    std::size_t receive(char* buffer, std::size_t size) override;
    void send(std::string_view data) override;
    void close() override;
    std::string peerAddress() const override { return peer_; }

    const std::string& output() const { return output_; }
    bool closed() const { return closed_; }

private:
    std::string input_;
    std::size_t position_ = 0;
    std::size_t chunk_;
    std::string peer_;
    std::string output_;
    bool closed_ = false;
};

}  // namespace quorvane
