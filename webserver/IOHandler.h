#pragma once
// Buffered line and block input and buffered output over one connection.
#include <memory>
#include <string>
#include <string_view>

#include "webserver/Connection.h"

class TIdIOHandler {
public:
    explicit TIdIOHandler(std::unique_ptr<TIdConnection> connection);

    // One line up to its LF; one CR before the LF is dropped. Raises EIdMaxLineLengthExceeded when
    // more than maxLength bytes come before the LF, EIdConnClosedGracefully when input ends first.
    std::string ReadLine(std::size_t maxLength);
    // Exactly count bytes.
    std::string ReadBytes(std::size_t count);
    // Everything until the peer closes; EIdHTTPBodyTooLarge beyond maxBytes.
    std::string ReadToClose(std::size_t maxBytes);

    // Output is collected and sent by Flush (one block per response).
    void Write(std::string_view text);
    void WriteLn(std::string_view text);
    void Flush();
    // Drops unsent output and closes the connection; never raises.
    void Close() noexcept;

    TIdConnection& Connection() { return *connection_; }

private:
    // Appends one received block to the input buffer; false at end of input.
    bool Fill();

    std::unique_ptr<TIdConnection> connection_;
    std::string input_;
    std::size_t start_ = 0;  // first unread byte of input_
    std::string output_;
};
