#pragma once
// Buffered line and block input and buffered output over one connection.
#include <memory>
#include <string>
#include <string_view>

#include "webserver/Transport.h"

namespace quorvane {

class BufferedStream {
public:
    explicit BufferedStream(std::unique_ptr<Transport> connection);

    // One line up to its LF; one CR before the LF is dropped. Raises LineTooLongError when
    // more than maxLength bytes come before the LF, ConnectionClosedError when input ends first.
    std::string readLine(std::size_t maxLength);
    // The bytes the last readLine took from the input, its CR and LF included.
    std::size_t lastLineBytes() const { return lastLineBytes_; }
    // Exactly count bytes.
    std::string readBytes(std::size_t count);
    // Everything until the peer closes; BodyTooLargeError beyond maxBytes.
    std::string readToClose(std::size_t maxBytes);

    // Output is collected and sent by Flush (one block per response).
    void write(std::string_view text);
    void flush();
    // Drops unsent output and closes the connection; never raises.
    void close() noexcept;

    Transport& connection() { return *connection_; }

private:
    // Appends one received block to the input buffer; false at end of input.
    bool fill();

    std::unique_ptr<Transport> connection_;
    std::string input_;
    std::size_t start_ = 0;  // first unread byte of input_
    std::size_t lastLineBytes_ = 0;
    std::string output_;
};

}  // namespace quorvane
